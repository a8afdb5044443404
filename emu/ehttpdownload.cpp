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
// The usual longest file name. The temporary name is cut to fit it, so that
// a long target name fails (or not) on its own, at the rename.
constexpr size_t kNameMax = 255;

std::string temporaryFor(const std::string& target) {
    std::string suffix = eHTTPDownload::partialMarker + std::to_string(getpid()) + "-" + std::to_string(++nextSerial);
    size_t nameStart = target.rfind('/') + 1;  // 0 without a slash
    std::string name = target.substr(nameStart);
    if (name.size() + suffix.size() > kNameMax) name.resize(kNameMax - suffix.size());
    return target.substr(0, nameStart) + name + suffix;
}
}  // namespace

eHTTPDownload::eHTTPDownload(eHTTPConnection*, const char* filename) : target(filename ? filename : "") {
    temporary = temporaryFor(target);
    if (!target.empty()) fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        writeFailed = true;
        failureErrno = target.empty() ? ENOENT : errno;
    }
}

eHTTPDownload::~eHTTPDownload() {
    if (fd < 0) return;
    // Never finished: the transfer was abandoned.
    ::close(fd);
    ::unlink(temporary.c_str());
}

int eHTTPDownload::failureCode() const {
    if (!writeFailed) return eHTTPConnection::errorNone;
    return failureErrno == ENAMETOOLONG ? eHTTPConnection::errorNameTooLong : eHTTPConnection::errorSink;
}

void eHTTPDownload::fail(int error) {
    writeFailed = true;
    failureErrno = error;
    if (fd >= 0) ::close(fd);
    fd = -1;
    ::unlink(temporary.c_str());
}

void eHTTPDownload::haveData(const void* data, int length) {
    if (writeFailed || fd < 0 || length <= 0) return;
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        ssize_t written = ::write(fd, bytes, static_cast<size_t>(length));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            fail(written < 0 ? errno : ENOSPC);
            return;
        }
        bytes += written;
        length -= static_cast<int>(written);
    }
}

void eHTTPDownload::finished(int code) {
    if (fd < 0) return;  // already finished, or nothing was ever written
    int closeErrno = ::close(fd) == 0 ? 0 : errno;  // a late write error shows up here
    fd = -1;
    if (code != 0 || writeFailed) {
        ::unlink(temporary.c_str());
        return;
    }
    if (closeErrno == 0 && ::rename(temporary.c_str(), target.c_str()) == 0) return;
    fail(closeErrno ? closeErrno : errno);
}
