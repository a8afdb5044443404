#include "emu/runner/wait_deadline.h"
#include "emu/mainloop.h"

namespace runner {

WaitDeadline::~WaitDeadline() { stop(); }

void WaitDeadline::start(int seconds, std::function<void()> expired) {
    stop();
    timer = mainloop().addTimer(seconds * 1000, [this, expired] {
        timer = 0;  // fired: the loop has dropped it
        expired();
    }, false);
}

void WaitDeadline::stop() {
    if (timer) mainloop().removeTimer(timer);
    timer = 0;
}

}  // namespace runner
