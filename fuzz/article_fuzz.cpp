// The article extraction on any page.
#include <unistd.h>
#include "fuzz_support.h"
#include "news/Selchoice1.h"
#include "settings/paths.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::useBoxRoot();
    CORLANG = 1 + (size % 3);
    fuzzing::writeFile(paths::articleFile, data, size);
    eString text = Selchoice1();
    if (access(paths::articleFile, F_OK) == 0) std::abort();  // always deleted
    if (text.size() > 65536 + 4096) std::abort();  // the budget plus the header
    return 0;
}
