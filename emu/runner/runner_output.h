// Where lumenhost writes: the dump output and the screenshot directory.
// Both are opened before the box root is set, so their paths are the
// machine's own even below /var, /media or /mnt.
#pragma once
#include <cstdio>
#include <string>

namespace runner {

class DumpOutput {
public:
    DumpOutput() = default;
    ~DumpOutput();
    DumpOutput(const DumpOutput&) = delete;
    DumpOutput& operator=(const DumpOutput&) = delete;

    // "-" is stdout, "" means none chosen (final dumps then go to stdout).
    bool open(const std::string& path, std::string& error);
    void writeScreen();  // appends a screen dump, flushed at once
    void flush();

private:
    FILE* file = nullptr;
    bool owned = false;
};

class ShotDirectory {
public:
    ShotDirectory() = default;
    ~ShotDirectory();
    ShotDirectory(const ShotDirectory&) = delete;
    ShotDirectory& operator=(const ShotDirectory&) = delete;

    // Creates the directory if it is missing (not its parents).
    bool open(const std::string& dir, std::string& error);
    bool isOpen() const { return fd >= 0; }
    // The next shot-NNN.png: the path to write to and the name to report.
    std::string nextPath();
    std::string lastName() const;

private:
    int fd = -1;
    int count = 0;
    std::string name;
};

}  // namespace runner
