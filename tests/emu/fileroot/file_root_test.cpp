#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include "emu/file_root.h"
#include "tests/support/box_root.h"

// Each test's box paths resolve in its own root.
class FileRoot : public ::testing::Test {
protected:
    BoxRoot box;
};

TEST(FileRootRule, OnlyBoxDirectoriesGetTheRootAndOnlyOnce) {
    struct Case { const char *root, *path, *resolved; };
    const Case cases[] = {
        {"/tmp/r", "/var/tmp/rss.tmp", "/tmp/r/var/tmp/rss.tmp"}, {"/tmp/r", "/media/hdd/x", "/tmp/r/media/hdd/x"},
        {"/tmp/r", "/mnt/usb", "/tmp/r/mnt/usb"}, {"/tmp/r", "/var", "/tmp/r/var"}, {"/tmp/r", "/media", "/tmp/r/media"},
        // Look-alikes, relative paths and the rest of the system stay.
        {"/tmp/r", "/variable/x", "/variable/x"}, {"/tmp/r", "/mntx", "/mntx"}, {"/tmp/r", "var/tmp/x", "var/tmp/x"},
        {"/tmp/r", "/usr/share/fonts", "/usr/share/fonts"}, {"/tmp/r", "/tmp/x", "/tmp/x"}, {"/tmp/r", "", ""},
        {"", "/var/tmp/x", "/var/tmp/x"},
        // A root below /var is not applied twice.
        {"/var/box", "/var/tmp/x", "/var/box/var/tmp/x"}, {"/var/box", "/var/box/var/tmp/x", "/var/box/var/tmp/x"},
        // ".." and "." are resolved first: no way out of the root.
        {"/tmp/r", "/var/tmp/../../../../tmp/x/", "/tmp/r/tmp/x/"}, {"/tmp/r", "/var/./tmp//rss.tmp", "/tmp/r/var/tmp/rss.tmp"},
        {"/tmp/r", "/media/hdd/..", "/tmp/r/media/"}, {"/tmp/r", "/tmp/../var/keys/c.cfg", "/tmp/r/var/keys/c.cfg"},
        {"/tmp/r", "/tmp/r/var/tmp/../a", "/tmp/r/var/a"}, {"/tmp/r", "/usr/../tmp/x", "/usr/../tmp/x"},
    };
    for (const Case& c : cases) EXPECT_EQ(emu::resolveBoxPath(c.root, c.path), c.resolved) << c.root << " " << c.path;
}

TEST_F(FileRoot, FopenWritesAndReadsBelowTheRoot) {
    FILE* out = fopen("/var/tmp/lumen-probe.tmp", "w");
    ASSERT_NE(out, nullptr);
    fputs("first line\nsecond line\n", out);
    fclose(out);
    EXPECT_EQ(box.read("/var/tmp/lumen-probe.tmp"), "first line\nsecond line\n");

    FILE* in = fopen("/var/tmp/lumen-probe.tmp", "r");
    ASSERT_NE(in, nullptr);
    std::string text(64, '\0');
    text.resize(fread(text.data(), 1, text.size(), in));
    EXPECT_EQ(text, "first line\nsecond line\n");
    fclose(in);
}

TEST_F(FileRoot, OpenWithCreatePassesTheMode) {
    int fd = open("/var/keys/created", O_WRONLY | O_CREAT | O_EXCL, 0640);
    ASSERT_GE(fd, 0) << strerror(errno);
    close(fd);
    struct stat st {};
    ASSERT_EQ(stat(box.path("/var/keys/created").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u & ~[] { mode_t m = umask(0); umask(m); return m; }());

    fd = openat(AT_FDCWD, "/var/keys/created", O_RDONLY);
    EXPECT_GE(fd, 0);
    if (fd >= 0) close(fd);
}

TEST_F(FileRoot, UnlinkRenameAndRemoveActBelowTheRoot) {
    box.write("/var/tmp/a.tmp", "A");
    box.write("/var/tmp/b.tmp", "B");
    box.write("/var/tmp/c.tmp", "C");
    ASSERT_EQ(rename("/var/tmp/a.tmp", "/var/tmp/renamed.tmp"), 0);
    EXPECT_EQ(box.read("/var/tmp/renamed.tmp"), "A");
    EXPECT_FALSE(box.exists("/var/tmp/a.tmp"));
    EXPECT_EQ(unlink("/var/tmp/b.tmp"), 0);
    EXPECT_FALSE(box.exists("/var/tmp/b.tmp"));
    EXPECT_EQ(remove("/var/tmp/c.tmp"), 0);
    EXPECT_FALSE(box.exists("/var/tmp/c.tmp"));
    EXPECT_EQ(unlink("/var/tmp/b.tmp"), -1);
    EXPECT_EQ(errno, ENOENT);
}

// opendir: LoadedModulesAreRedirected.
TEST_F(FileRoot, MkdirStatAndAccessSeeTheRoot) {
    ASSERT_EQ(mkdir("/media", 0755), 0);
    ASSERT_EQ(mkdir("/media/hdd", 0755), 0);
    EXPECT_TRUE(box.exists("/media/hdd"));
    box.write("/media/hdd/movie.ts", "x");
    struct stat st {};
    ASSERT_EQ(stat("/media/hdd/movie.ts", &st), 0);
    EXPECT_EQ(st.st_size, 1);
    EXPECT_EQ(lstat("/media/hdd", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(access("/var/tuxbox/plugins", W_OK), 0);
    EXPECT_EQ(access("/mnt/nothing-here", F_OK), -1);
}

TEST_F(FileRoot, LoadedModulesAreRedirected) {
    void* module = dlopen(PROBE_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto write = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(module, "probe_write"));
    auto count = reinterpret_cast<int (*)(const char*)>(dlsym(module, "probe_count_entries"));
    ASSERT_TRUE(write && count);
    EXPECT_EQ(write("/var/tmp/shout.tmp", "from the module"), 0);
    EXPECT_EQ(box.read("/var/tmp/shout.tmp"), "from the module");
    EXPECT_EQ(count("/var/tmp"), 1);
    dlclose(module);
}

TEST_F(FileRoot, NothingIsRedirectedWithoutARoot) {
    box.write("/var/tmp/only-in-root.tmp", "x");
    ASSERT_EQ(access("/var/tmp/only-in-root.tmp", F_OK), 0);
    emu::setFileRoot("");
    EXPECT_EQ(emu::resolveBoxPath("/var/tmp/only-in-root.tmp"), "/var/tmp/only-in-root.tmp");
    // Only a lookup on the machine's own /var: the name exists just in the root.
    EXPECT_EQ(access("/var/tmp/only-in-root.tmp", F_OK), -1);
    EXPECT_EQ(errno, ENOENT);
    emu::setFileRoot(box.dir());
}

TEST_F(FileRoot, OverlongPathFailsWithNameTooLong) {
    std::string longPath = "/var/" + std::string(PATH_MAX - 6, 'x');
    EXPECT_EQ(fopen(longPath.c_str(), "r"), nullptr);
    EXPECT_EQ(errno, ENAMETOOLONG);
}
