// The settings file when it holds a language past the range of int, and
// its mode when the window saves it. A FIFO or a device in its place is
// the end-to-end test's (hostile_feed_e2e_test.cpp).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <climits>
#include <string>
#include "settings/paths.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/support/box_root.h"

TEST(HostileSettingsFile, LanguagePastIntSaturatesAsOnA32BitBox) {
    const std::pair<const char*, int> cases[] = {
        {"lang=4294967297\n", INT_MAX},  // not 1, its low 32 bits
        {"lang=-4294967297\n", INT_MIN},
        {"lang=99999999999999999999999\n", INT_MAX},
    };
    BoxRoot root;
    for (const auto& [line, expected] : cases) {
        root.write(paths::settingsFile, line);
        retrieveConfig();  // no reset needed: every line sets the language
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
    }
}
