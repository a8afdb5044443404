// Only open/write/close/rename/unlink touch the disk, so that the runner's
// root redirection (emu/file_root.h) applies to every step.
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <string>
#include "host/ehttp.h"

namespace {
// Two downloads to one target in one process must not share a file.
unsigned nextSerial = 0;
}

eHTTPDownload::eHTTPDownload(eHTTPConnection*, const char* filename) : target(filename ? filename : "") {
    temporary = target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(++nextSerial);
    if (!target.empty()) fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    writeFailed = fd < 0;
}

eHTTPDownload::~eHTTPDownload() {
    if (fd < 0) return;
    // Never finished: the transfer was abandoned.
    ::close(fd);
    ::unlink(temporary.c_str());
}

void eHTTPDownload::haveData(const void* data, int length) {
    if (writeFailed || fd < 0 || length <= 0) return;
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        ssize_t written = ::write(fd, bytes, static_cast<size_t>(length));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            writeFailed = true;
            ::close(fd);
            fd = -1;
            ::unlink(temporary.c_str());
            return;
        }
        bytes += written;
        length -= static_cast<int>(written);
    }
}

void eHTTPDownload::finished(int code) {
    if (fd < 0) return;  // already finished, or nothing was ever written
    bool closed = ::close(fd) == 0;  // a late write error shows up here
    fd = -1;
    if (code == 0 && !writeFailed) {
        if (closed && ::rename(temporary.c_str(), target.c_str()) == 0) return;
        writeFailed = true;
    }
    ::unlink(temporary.c_str());
}
