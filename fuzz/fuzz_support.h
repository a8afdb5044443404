// What the fuzz targets share: a private root for the box's paths, a file
// written there, and message boxes answered so that modal runs end.
#pragma once
#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include "emu/file_root.h"
#include "tests/support/message_box_answerer.h"

namespace fuzzing {

// Activates a private root once per process, removed when the process ends.
inline void useBoxRoot() {
    static bool done = false;
    if (done) return;
    static char pattern[] = "/tmp/lumen-fuzz-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root) std::abort();
    emu::setFileRoot(root);
    // Registered after the first setFileRoot, so that it runs before the
    // root's own storage is destroyed at exit.
    std::atexit([] {
        emu::setFileRoot("");
        std::error_code ignored;
        std::filesystem::remove_all(pattern, ignored);
    });
    std::string base = root;
    for (const char* dir : {"/var", "/var/tmp", "/var/keys"}) mkdir((base + dir).c_str(), 0755);
    done = true;
}

// A file of the target's own in that private directory.
inline std::string scratchFile(const char* name) {
    useBoxRoot();
    return emu::fileRoot() + "/" + name;
}

inline void writeFile(const char* path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path, "wb");
    if (!file) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
}

// A reply as a stream, for the readers that take an open file.
inline FILE* memoryFile(const uint8_t* data, size_t size) {
    // fmemopen refuses an empty buffer; an empty reply is a stream at its end.
    static const char nothing[1] = {0};
    return size ? fmemopen(const_cast<uint8_t*>(data), size, "r") : fmemopen(const_cast<char*>(nothing), 1, "r");
}

inline MessageBoxAnswerer& answerBoxes() {
    static MessageBoxAnswerer answerer;
    answerer.clear();
    return answerer;
}

}  // namespace fuzzing
