#include <gtest/gtest.h>
#include <string>
#include "settings/paths.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/support/box_root.h"

namespace {

const std::string kOldFile = "lang=3\ndown=/var/tmp/\nnick=old\n";

class SaveSettings : public ::testing::Test {
protected:
    void SetUp() override {
        root.mkdirs("/media/hdd");
        root.write(paths::settingsFile, kOldFile);
    }
    std::string savedFile() const { return root.read(paths::settingsFile); }
    BoxRoot root;
};

eString normalised(const char* directory) {
    eString text = directory;
    EXPECT_TRUE(normaliseDirectory(text)) << directory;
    return text;
}

eString cleaned(const char* nickname) {
    eString text = nickname;
    EXPECT_TRUE(cleanNickname(text)) << nickname;
    return text;
}

}  // namespace

TEST_F(SaveSettings, DirectoryEndsWithOneSlashAndHasNoDoubledSlash) {
    EXPECT_EQ(normalised("  /media/hdd  "), "/media/hdd/");
    EXPECT_EQ(normalised("/media/hdd/"), "/media/hdd/");
    EXPECT_EQ(normalised("/media//hdd"), "/media/hdd/");
    EXPECT_EQ(normalised("/media/hdd//"), "/media/hdd/");
    EXPECT_EQ(normalised("/"), "/");
}

TEST_F(SaveSettings, DirectoryMustExist) {
    for (const char* bad : {"/media/usb", "", " ", "   "}) {
        eString text = bad;
        EXPECT_FALSE(normaliseDirectory(text)) << "'" << bad << "'";
    }
    root.write("/media/file", "not a directory");
    eString file = "/media/file";
    EXPECT_FALSE(normaliseDirectory(file));
}

TEST_F(SaveSettings, NicknameIsTrimmedAndMadeSafe) {
    EXPECT_EQ(cleaned("Tom & Jerry"), "Tom_e_Jerry");
    EXPECT_EQ(cleaned(" owl "), "owl");
    EXPECT_EQ(cleaned("a=b"), "a=b");
    EXPECT_EQ(cleaned("say \"hi\"/?\tx"), "say_hi___x");
    EXPECT_EQ(cleaned("   "), "__");  // trimming a text of blanks leaves one fewer
    for (const char* empty : {"", " "}) {
        eString text = empty;
        EXPECT_FALSE(cleanNickname(text)) << "'" << empty << "'";
    }
}

TEST_F(SaveSettings, WritesTheThreeLinesInOrder) {
    EXPECT_EQ(saveSettings(2, " /media//hdd ", "night owl"), SaveResult::Saved);
    EXPECT_EQ(savedFile(), "lang=2\ndown=/media/hdd/\nnick=night_owl\n");
    EXPECT_FALSE(root.exists(std::string(paths::settingsFile) + ".new"));
}

TEST_F(SaveSettings, LanguageOtherThanTwoOrThreeIsWrittenAsOne) {
    for (int language : {0, 1, 4, 7, -1}) {
        ASSERT_EQ(saveSettings(language, "/media/hdd", "owl"), SaveResult::Saved);
        EXPECT_EQ(savedFile().substr(0, 7), "lang=1\n") << language;
    }
    ASSERT_EQ(saveSettings(3, "/media/hdd", "owl"), SaveResult::Saved);
    EXPECT_EQ(savedFile().substr(0, 7), "lang=3\n");
}

TEST_F(SaveSettings, SavedFileReadsBackAsTheSameSettings) {
    ASSERT_EQ(saveSettings(2, "/media/hdd", "Tom & Jerry"), SaveResult::Saved);
    CORLANG = 0;
    CORDDIR.clear();
    CORNICK.clear();
    retrieveConfig();
    EXPECT_EQ(CORLANG, 2);
    EXPECT_EQ(CORDDIR, "/media/hdd/");
    EXPECT_EQ(CORNICK, "Tom_e_Jerry");
}

TEST_F(SaveSettings, RejectedInputLeavesTheFileAsItWas) {
    EXPECT_EQ(saveSettings(2, "/media/usb", "owl"), SaveResult::NoDirectory);
    EXPECT_EQ(saveSettings(2, "/media/hdd", " "), SaveResult::NoNickname);
    EXPECT_EQ(savedFile(), kOldFile);
}

TEST_F(SaveSettings, DirectoryIsCheckedBeforeTheNickname) {
    EXPECT_EQ(saveSettings(1, "/media/usb", ""), SaveResult::NoDirectory);
}

TEST_F(SaveSettings, MissingKeysDirectoryFailsWithoutAFile) {
    root.write(paths::settingsFile, "");
    std::remove(root.path(paths::settingsFile).c_str());
    std::remove(root.path("/var/keys").c_str());
    ASSERT_FALSE(root.exists("/var/keys"));
    EXPECT_EQ(saveSettings(2, "/media/hdd", "owl"), SaveResult::WriteFailed);
    EXPECT_FALSE(root.exists(paths::settingsFile));
}

TEST_F(SaveSettings, BlockedTemporaryFileFailsAndKeepsTheOldFile) {
    root.mkdirs(std::string(paths::settingsFile) + ".new/inside");
    EXPECT_EQ(saveSettings(2, "/media/hdd", "owl"), SaveResult::WriteFailed);
    EXPECT_EQ(savedFile(), kOldFile);
}

TEST_F(SaveSettings, FailedRenameRemovesTheTemporaryFile) {
    // A directory where the file belongs: the rename over it fails.
    std::remove(root.path(paths::settingsFile).c_str());
    root.mkdirs(std::string(paths::settingsFile) + "/inside");
    EXPECT_EQ(saveSettings(2, "/media/hdd", "owl"), SaveResult::WriteFailed);
    EXPECT_FALSE(root.exists(std::string(paths::settingsFile) + ".new"));
    EXPECT_TRUE(root.exists(std::string(paths::settingsFile) + "/inside"));
}

TEST_F(SaveSettings, StaleTemporaryFileFromAnInterruptedSaveIsReplaced) {
    root.write(std::string(paths::settingsFile) + ".new", "lang=3\n");
    EXPECT_EQ(saveSettings(1, "/media/hdd", "owl"), SaveResult::Saved);
    EXPECT_EQ(savedFile(), "lang=1\ndown=/media/hdd/\nnick=owl\n");
}

TEST_F(SaveSettings, DirectoryLineLongerThanTheReaderTakesIsNotWritten) {
    // 100 characters, but three bytes each for most: the line would be read
    // back cut after 255 bytes.
    std::string euros;
    for (int i = 0; i < 46; ++i) euros += "\xe2\x82\xac";
    std::string directory = "/media/" + euros + "/" + euros;
    root.mkdirs(directory);
    EXPECT_EQ(saveSettings(1, directory.c_str(), "owl"), SaveResult::WriteFailed);
    EXPECT_EQ(savedFile(), kOldFile);
}
