// Saving the settings: what is accepted, what is written, and that a
// refused or failed save leaves the old file as it was and no temporary one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <functional>
#include <string>
#include "settings/paths.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/support/box_root.h"

namespace {

const std::string kOld = "lang=3\ndown=/var/tmp/\nnick=old\n";
const std::string kFile = paths::settingsFile;
const std::string kNew = kFile + ".new";

std::string euros(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "\xe2\x82\xac";
    return s;
}

struct Case {
    int language;
    std::string directory, nickname;
    SaveResult result;
    std::string file;  // the settings file afterwards
    std::function<void(const BoxRoot&)> prepare = [](const BoxRoot&) {};
};

}  // namespace

TEST(SaveSettings, WritesValidatedSettingsOrLeavesTheOldFile) {
    const std::string longDir = "/media/" + euros(46) + "/" + euros(46);  // read back cut at 255 bytes
    const Case cases[] = {
        {2, " /media//hdd ", "night owl", SaveResult::Saved, "lang=2\ndown=/media/hdd/\nnick=night_owl\n"},
        {3, "/media/hdd//", " Tom & Jerry ", SaveResult::Saved, "lang=3\ndown=/media/hdd/\nnick=Tom_e_Jerry\n"},
        {7, "/", "say \"hi\"/?\tx", SaveResult::Saved, "lang=1\ndown=/\nnick=say_hi___x\n"},
        {0, "/media/hdd", "   ", SaveResult::Saved, "lang=1\ndown=/media/hdd/\nnick=__\n"},  // one blank fewer
        {2, "/media/usb", "owl", SaveResult::NoDirectory, kOld},
        {2, "   ", "owl", SaveResult::NoDirectory, kOld},
        {2, "/media/file", "owl", SaveResult::NoDirectory, kOld,
         [](const BoxRoot& r) { r.write("/media/file", "not a directory"); }},
        {1, "/media/usb", "", SaveResult::NoDirectory, kOld},  // the directory is checked first
        {2, "/media/hdd", " ", SaveResult::NoNickname, kOld},
        {1, longDir, "owl", SaveResult::WriteFailed, kOld, [&](const BoxRoot& r) { r.mkdirs(longDir); }},
        {2, "/media/hdd", "owl", SaveResult::WriteFailed, kOld, [](const BoxRoot& r) { r.mkdirs(kNew + "/inside"); }},
        {1, "/media/hdd", "owl", SaveResult::Saved, "lang=1\ndown=/media/hdd/\nnick=owl\n",
         [](const BoxRoot& r) { r.write(kNew, "lang=3\n"); }},  // left by an interrupted save
        {2, "/media/hdd", "owl", SaveResult::WriteFailed, "", [](const BoxRoot& r) {
             std::remove(r.path(kFile).c_str());
             std::remove(r.path("/var/keys").c_str());
         }},
        {2, "/media/hdd", "owl", SaveResult::WriteFailed, "", [](const BoxRoot& r) {  // the rename fails
             std::remove(r.path(kFile).c_str());
             r.mkdirs(kFile + "/inside");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory + " / " + c.nickname);
        BoxRoot root;
        root.mkdirs("/media/hdd");
        root.write(kFile, kOld);
        c.prepare(root);
        EXPECT_EQ(saveSettings(c.language, c.directory, c.nickname), c.result);
        EXPECT_EQ(root.read(kFile), c.file);
        EXPECT_EQ(root.exists(kNew), root.exists(kNew + "/inside"));  // only where the case made it
        if (c.result != SaveResult::Saved) continue;
        retrieveConfig();  // reads back as saved
        EXPECT_EQ("lang=" + std::to_string(CORLANG) + "\ndown=" + CORDDIR + "\nnick=" + CORNICK + "\n", c.file);
    }
}

TEST(SaveSettings, KeepsTheModeOfTheFile) {
    BoxRoot root;
    const std::string path = root.path(paths::settingsFile);
    for (mode_t mode : {0600, 0640, 0604}) {
        root.write(paths::settingsFile, "lang=1\n");
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_EQ(saveSettings(2, "/var/tmp", "owl"), SaveResult::Saved);
        struct stat saved;
        ASSERT_EQ(stat(path.c_str(), &saved), 0);
        EXPECT_EQ(saved.st_mode & 07777, mode) << std::oct << mode;
    }
}
