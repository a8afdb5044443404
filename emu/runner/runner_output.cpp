#include "emu/runner/runner_output.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace runner {

DumpOutput::~DumpOutput() {
    if (owned && file) fclose(file);
}

bool DumpOutput::open(const std::string& path, std::string& error) {
    if (path.empty() || path == "-") {
        file = stdout;
        return true;
    }
    file = fopen(path.c_str(), "w");
    if (!file) {
        error = "cannot write the dump file " + path + ": " + strerror(errno);
        return false;
    }
    owned = true;
    return true;
}

void DumpOutput::write(const std::string& dump) {
    if (!file) file = stdout;
    fputs(dump.c_str(), file);
    if (!dump.empty() && dump.back() != '\n') fputc('\n', file);
    fflush(file);
}

void DumpOutput::flush() {
    if (file) fflush(file);
}

ShotDirectory::~ShotDirectory() {
    if (fd >= 0) close(fd);
}

bool ShotDirectory::open(const std::string& dir, std::string& error) {
    name = dir;
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        error = "cannot create the screenshot directory " + dir + ": " + strerror(errno);
        return false;
    }
    fd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open the screenshot directory " + dir + ": " + strerror(errno);
        return false;
    }
    return true;
}

std::string ShotDirectory::nextPath() {
    ++count;
    char file[32];
    snprintf(file, sizeof file, "shot-%03d.png", count);
    // Through the descriptor: never redirected by the box root.
    return "/proc/self/fd/" + std::to_string(fd) + "/" + file;
}

std::string ShotDirectory::lastName() const {
    char file[32];
    snprintf(file, sizeof file, "shot-%03d.png", count);
    return name + "/" + file;
}

}  // namespace runner
