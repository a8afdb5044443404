// The settings file when it is not what the settings window wrote (a link
// to a device, a language past the range of int; a FIFO is the end-to-end
// test's) and its mode when the window saves it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <string>
#include "settings/paths.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/support/box_root.h"

TEST(HostileSettingsFile, LinkToADeviceStartsWithTheDefaults) {
    BoxRoot root;
    ASSERT_EQ(symlink("/dev/zero", root.path(paths::settingsFile).c_str()), 0);
    CORNICK = CORDDIR = "";
    retrieveConfig();  // an endless read hangs here
    EXPECT_EQ(CORDDIR, "/var/tmp/");
    EXPECT_EQ(CORNICK, "Guest");
}

TEST(HostileSettingsFile, LanguagePastIntSaturatesAsOnA32BitBox) {
    const std::pair<const char*, int> cases[] = {
        {"lang=4294967297\n", INT_MAX},  // not 1, its low 32 bits
        {"lang=-4294967297\n", INT_MIN},
        {"lang=99999999999999999999999\n", INT_MAX},
    };
    BoxRoot root;
    for (const auto& [line, expected] : cases) {
        root.write(paths::settingsFile, line);
        retrieveConfig();
        EXPECT_EQ(CORLANG, expected) << line;
    }
}

TEST(HostileSettingsFile, SaveKeepsTheModeOfTheFile) {
    BoxRoot root;
    const std::string path = root.path(paths::settingsFile);
    for (mode_t mode : {0600, 0640, 0604}) {
        root.write(paths::settingsFile, "lang=1\n");
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_EQ(saveSettings(2, "/var/tmp", "owl"), SaveResult::Saved);
        struct stat saved;
        ASSERT_EQ(stat(path.c_str(), &saved), 0);
        EXPECT_EQ(saved.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(root.read(paths::settingsFile), "lang=2\ndown=/var/tmp/\nnick=owl\n");
    }
}
