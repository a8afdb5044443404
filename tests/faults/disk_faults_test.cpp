// A download into a full or read-only download directory, and a settings
// save into a full or read-only /var/keys: the old files stay as they were,
// no partial file is left, and a box says what happened. Full disks are
// small tmpfs mounts (root only); read-only ones are tmpfs mounts remounted
// read-only, or for other users a directory without write permission.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <memory>
#include <string>
#include "settings/lang.h"
#include "settings/paths.h"
#include "tests/faults/fault_cases.h"
#include "tests/faults/fault_scene.h"
#include "tests/faults/tmpfs_mount.h"
#include "tests/support/demo_server.h"
#include "tests/support/dump_match.h"

using namespace faults;

namespace {

constexpr int kDiskKb = 64;
const char* const kKeysDir = "/var/keys";
// To the first file of the first category, then Download.
const char* const kDownloadKeys = "1 ok wait ok wait ok wait dump ok wait dump";
// Settings: French chosen, down past both fields to Save, Save.
const char* const kSaveKeys = "6 ok down ok down down down ok wait dump ok wait dump";

// A directory of the box that cannot be written: a tmpfs remounted
// read-only as root, a directory without write permission otherwise.
class ReadOnlyDirectory {
public:
    explicit ReadOnlyDirectory(std::string path) : path(std::move(path)) {}
    ~ReadOnlyDirectory() {
        if (chmodded) chmod(path.c_str(), 0755);
    }
    // Puts `files` (name, content) in and makes the directory read-only.
    bool make(const std::vector<std::pair<std::string, std::string>>& files, std::string& why) {
        auto putFiles = [&] {
            for (const auto& [name, content] : files) {
                FILE* f = std::fopen((path + "/" + name).c_str(), "w");
                if (!f) return false;
                std::fputs(content.c_str(), f);
                std::fclose(f);
            }
            return true;
        };
        if (geteuid() != 0) {
            chmodded = putFiles() && chmod(path.c_str(), 0555) == 0;
            why = "chmod failed";
            return chmodded;
        }
        disk = std::make_unique<TmpfsMount>(path, kDiskKb);
        why = disk->why();
        return disk->ok() && putFiles() && disk->remountReadOnly();
    }

private:
    std::string path;
    bool chmodded = false;
    std::unique_ptr<TmpfsMount> disk;
};

class DiskFaults : public ::testing::Test {
protected:
    // The download failed with the sink's code; the details are back, the
    // old file is whole and nothing half-written remains.
    void expectFailedDownload(const LumenhostResult& result, const std::vector<std::string>& others) {
        ASSERT_EQ(result.exitCode, 0) << result.err;
        auto dumps = dumpmatch::splitDumps(result.out);
        ASSERT_GE(dumps.size(), 2u) << result.out;
        expectBox(dumps[0], "Error -7", "User Abort");
        auto window = dumpmatch::innermost(dumps[1]);
        ASSERT_FALSE(window.empty());
        EXPECT_EQ(window.front()["title"], kDetailTitle);
        EXPECT_TRUE(dumpmatch::find(window, "eLabel", LangT(1, 1))) << dumps[1];
        EXPECT_EQ(scene.root.read(scene.downloadPath()), scene.oldDownload);
        std::vector<std::string> expected = others;
        expected.push_back(kDownloadName);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(scene.filesIn(kDownloadDir), expected);
        EXPECT_EQ(scene.partFiles(), std::vector<std::string>{});
    }
    // The save was refused with a box; the window stays open for another
    // try and the settings file is the old one.
    void expectFailedSave(const LumenhostResult& result, const std::vector<std::string>& files) {
        ASSERT_EQ(result.exitCode, 0) << result.err;
        auto dumps = dumpmatch::splitDumps(result.out);
        ASSERT_GE(dumps.size(), 2u) << result.out;
        expectBox(dumps[0], "The settings could not be saved.", "Warning");
        EXPECT_EQ(dumpmatch::innermost(dumps[1]).front()["title"], LangT(27, 1)) << dumps[1];
        EXPECT_EQ(scene.root.read(paths::settingsFile), scene.settings);
        EXPECT_EQ(scene.filesIn(kKeysDir), files);
    }
    FaultScene scene;
};

}  // namespace

TEST_F(DiskFaults, DownloadIntoAFullDirectoryKeepsTheOldFile) {
    TmpfsMount disk(scene.root.path(kDownloadDir), kDiskKb);
    if (!disk.ok()) GTEST_SKIP() << "a full disk needs a tmpfs mount: " << disk.why();
    scene.root.write(scene.downloadPath(), scene.oldDownload);
    ASSERT_TRUE(disk.fill("filler"));
    DemoServer server;
    expectFailedDownload(scene.run(kDownloadKeys, server.connectTo()), {"filler"});
}

TEST_F(DiskFaults, DownloadLargerThanTheFreeSpaceKeepsTheOldFile) {
    TmpfsMount disk(scene.root.path(kDownloadDir), kDiskKb);
    if (!disk.ok()) GTEST_SKIP() << "a small disk needs a tmpfs mount: " << disk.why();
    scene.root.write(scene.downloadPath(), scene.oldDownload);
    DemoServer server({"--fault-op", "files", "--junk-mb", "1"});
    expectFailedDownload(scene.run(kDownloadKeys, server.connectTo()), {});
}

TEST_F(DiskFaults, DownloadIntoAReadOnlyDirectoryKeepsTheOldFile) {
    ReadOnlyDirectory directory(scene.root.path(kDownloadDir));
    std::string why;
    if (!directory.make({{kDownloadName, scene.oldDownload}}, why))
        GTEST_SKIP() << "cannot make a read-only directory: " << why;
    DemoServer server;
    expectFailedDownload(scene.run(kDownloadKeys, server.connectTo()), {});
}

TEST_F(DiskFaults, SaveIntoAReadOnlyKeysDirectoryKeepsTheSettings) {
    ReadOnlyDirectory directory(scene.root.path(kKeysDir));
    std::string why;
    if (!directory.make({{"corvane.cfg", scene.settings}}, why))
        GTEST_SKIP() << "cannot make a read-only directory: " << why;
    expectFailedSave(scene.run(kSaveKeys, ""), {"corvane.cfg"});
}

TEST_F(DiskFaults, SaveIntoAFullKeysDirectoryKeepsTheSettings) {
    TmpfsMount disk(scene.root.path(kKeysDir), kDiskKb);
    if (!disk.ok()) GTEST_SKIP() << "a full disk needs a tmpfs mount: " << disk.why();
    scene.root.write(paths::settingsFile, scene.settings);
    ASSERT_TRUE(disk.fill("filler"));
    expectFailedSave(scene.run(kSaveKeys, ""), {"corvane.cfg", "filler"});
}
