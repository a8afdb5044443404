// The settings reader on any file a person may have edited.
#include "fuzz_support.h"
#include "settings/paths.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::useBoxRoot();
    fuzzing::writeFile(paths::settingsFile, data, size);
    retrieveConfig();
    // The defaults hold whatever the file said.
    if (CORLANG == 0 || CORDDIR.empty() || CORNICK.empty()) std::abort();
    return 0;
}
