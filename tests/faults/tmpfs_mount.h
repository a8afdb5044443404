// A small tmpfs mounted over a directory of a test's box root, for full and
// read-only disks. The process first moves into a mount namespace of its
// own, so that nothing of it outlives the test process, even a crashed one;
// lumenhost, started afterwards, shares that namespace. Needs root; when
// the mount cannot be made, ok() is false and why() says why.
#pragma once
#include <string>

class TmpfsMount {
public:
    TmpfsMount(const std::string& directory, int kilobytes);
    ~TmpfsMount();  // unmounts
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool ok() const { return mounted; }
    const std::string& why() const { return reason; }

    bool remountReadOnly();
    // Writes a file of zeros into the mount until the disk is full.
    bool fill(const std::string& name) const;

private:
    std::string directory;
    bool mounted = false;
    std::string reason;
};
