#include "server/files_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace srv {

namespace {

constexpr mode_t fileMode = 0644;
constexpr mode_t folderMode = 0755;
constexpr size_t copyChunk = 64 * 1024;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

std::string why() { return std::strerror(errno); }

bool copyAll(int from, int to) {
    char buf[copyChunk];
    ssize_t n = 0;
    while ((n = ::read(from, buf, sizeof buf)) > 0) {
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(to, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            done += w;
        }
    }
    return n == 0;
}

}  // namespace

int64_t addToFilesFolder(const std::string& source, const std::string& folder, const std::string& name) {
    // O_NONBLOCK: a FIFO given as the source must not hang the tool.
    Descriptor in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.fd < 0) {
        if (errno == ELOOP) throw FileAddError(source + " is a symbolic link; give the file itself");
        throw FileAddError("cannot read " + source + ": " + why());
    }
    struct stat from {};
    if (::fstat(in.fd, &from) != 0 || !S_ISREG(from.st_mode)) throw FileAddError(source + " is not a regular file");

    if (::mkdir(folder.c_str(), folderMode) != 0 && errno != EEXIST)
        throw FileAddError("cannot make the files folder " + folder + ": " + why());
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.fd < 0) throw FileAddError("cannot open the files folder " + folder + " (a symbolic link?): " + why());

    struct stat there {};
    if (::fstatat(dir.fd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && there.st_dev == from.st_dev &&
        there.st_ino == from.st_ino)
        throw FileAddError(source + " is already in the files folder; give a copy from elsewhere");

    // The name starts with a dot, which no listed file may, and is unique.
    std::string temporary = "." + name + ".adding-" + std::to_string(::getpid());
    Descriptor out(::openat(dir.fd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, fileMode));
    if (out.fd < 0) throw FileAddError("cannot write into " + folder + ": " + why());
    // The file is whole on disk before it gets its name, and its row is
    // committed after that.
    bool copied = copyAll(in.fd, out.fd) && ::fsync(out.fd) == 0;
    if (!copied || ::renameat(dir.fd, temporary.c_str(), dir.fd, name.c_str()) != 0) {
        std::string cause = why();
        ::unlinkat(dir.fd, temporary.c_str(), 0);
        throw FileAddError("cannot copy " + source + " into " + folder + ": " + cause);
    }
    ::fsync(dir.fd);
    return static_cast<int64_t>(from.st_size);
}

}  // namespace srv
