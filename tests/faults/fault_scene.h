// A box for one end-to-end fault run: a private root with the logos, a
// settings file that sends downloads to /media/hdd/, an older copy of the
// file that the download would replace, and lumenhost run against a given
// connect-to. Afterwards it tells which files the run left or changed.
#pragma once
#include <string>
#include <vector>
#include "tests/support/box_root.h"
#include "tests/support/lumenhost_run.h"

namespace faults {

class FaultScene {
public:
    FaultScene();

    LumenhostResult run(const std::string& keys, const std::string& connectTo,
                        std::vector<std::string> extra = {}) const;

    BoxRoot root;
    const std::string settings = "lang=1\ndown=/media/hdd/\nnick=Guest\n";
    const std::string oldDownload = "the copy from last week\n";

    std::string downloadPath() const;  // box path of the download target
    // Names of the regular files in a box directory, sorted.
    std::vector<std::string> filesIn(const std::string& boxDir) const;
    // Every file below the root whose name holds ".part", as paths.
    std::vector<std::string> partFiles() const;
};

// The innermost modal window of `dump` is a message box with `message`,
// `caption` and (unless "") `flags`.
void expectBox(const std::string& dump, const std::string& message, const std::string& caption,
               const std::string& flags = "");

// Whether this build runs under AddressSanitizer (its memory figures mean
// nothing then).
constexpr bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

}  // namespace faults
