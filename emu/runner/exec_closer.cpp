#include "emu/runner/exec_closer.h"
#include "emu/screen.h"

namespace runner {

bool ExecCloser::closeInnermost() {
    const auto& stack = emu::execStack();
    if (stack.empty() || exhausted()) return false;
    ++closes;
    stack.back()->close(-1);
    return true;
}

}  // namespace runner
