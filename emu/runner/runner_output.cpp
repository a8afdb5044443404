#include "emu/runner/runner_output.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <streambuf>
#include "emu/screen.h"

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

namespace {

// An output stream onto a C stream, so that the dump goes out as it is made.
class FileBuffer : public std::streambuf {
public:
    explicit FileBuffer(FILE* file) : file(file) {}

protected:
    int_type overflow(int_type c) override {
        return traits_type::eq_int_type(c, traits_type::eof()) ? traits_type::not_eof(c) : std::fputc(c, file);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        return static_cast<std::streamsize>(std::fwrite(bytes, 1, static_cast<size_t>(count), file));
    }

private:
    FILE* file;
};

}  // namespace

void DumpOutput::writeScreen() {
    if (!file) file = stdout;
    FileBuffer buffer(file);
    std::ostream out(&buffer);
    emu::dumpScreen(out);  // ends with a line feed
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
