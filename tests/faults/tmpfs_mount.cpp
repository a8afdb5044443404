#include "tests/faults/tmpfs_mount.h"
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Once per process: a private copy of the mount table.
bool ownNamespace(std::string& reason) {
    static int result = -1;
    static std::string why;
    if (result < 0) {
        if (geteuid() != 0) {
            why = "not running as root";
            result = 0;
        } else if (unshare(CLONE_NEWNS) != 0) {
            why = std::string("unshare(CLONE_NEWNS): ") + strerror(errno);
            result = 0;
        } else if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            why = std::string("making / private: ") + strerror(errno);
            result = 0;
        } else {
            result = 1;
        }
    }
    reason = why;
    return result == 1;
}

}  // namespace

TmpfsMount::TmpfsMount(const std::string& directory, int kilobytes) : directory(directory) {
    if (!ownNamespace(reason)) return;
    std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0755";
    if (mount("tmpfs", directory.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        reason = "mount -t tmpfs on " + directory + ": " + strerror(errno);
        return;
    }
    mounted = true;
}

TmpfsMount::~TmpfsMount() {
    if (mounted) umount2(directory.c_str(), MNT_DETACH);
}

bool TmpfsMount::remountReadOnly() {
    return mounted && mount(nullptr, directory.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool TmpfsMount::fill(const std::string& name) const {
    int fd = open((directory + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::vector<char> block(4096, 0);
    bool full = false;
    for (;;) {
        ssize_t written = write(fd, block.data(), block.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) {
            full = errno == ENOSPC;
            break;
        }
        if (written == 0) break;
    }
    // Partial blocks: one byte at a time until nothing fits.
    while (full && write(fd, block.data(), 1) == 1) {
    }
    close(fd);
    return full;
}
