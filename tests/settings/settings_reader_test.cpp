// Reading the settings file: every fixture of tests/data/settings. A FIFO
// or a device in its place is the end-to-end test's
// (e2e/settings_file_not_regular_e2e_test.cpp).
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/reader_run.h"

TEST(SettingsReader, EachFixtureChangesWhatItsNameSays) {
    // Values the file does not set stay as they were ("unset"); the
    // defaults fill only empty ones.
    const std::string longDirectory = "/" + std::string(249, 'a');  // the first piece of its line
    const struct { const char* fixture; int lang; std::string down, nick; } cases[] = {
        {"", 1, "unset", "unset"}, {"settings/empty.cfg", 1, "unset", "unset"},
        {"settings/all_three.cfg", 3, "/media/hdd/", "owl"},
        {"settings/crlf_line_ends.cfg", 2, "/media/hdd/", "owl"},
        {"settings/empty_values.cfg", 1, paths::defaultDownloadDir, "Guest"},
        {"settings/keys_repeated.cfg", 2, "unset", "second"},
        {"settings/lang_blank_before.cfg", 3, "unset", "unset"}, {"settings/lang_suffix.cfg", 2, "unset", "unset"},
        {"settings/lang_letters.cfg", 1, "unset", "unset"}, {"settings/lang_zero.cfg", 1, "unset", "unset"},
        {"settings/lang_negative.cfg", -2, "unset", "unset"},  // kept: every text is then empty
        {"settings/lang_outside_table.cfg", 7, "unset", "unset"},
        // Saturated as on a 32-bit box, not cut to the low 32 bits (1).
        {"settings/lang_past_int.cfg", INT_MAX, "unset", "unset"}, {"settings/lang_23_digits.cfg", INT_MAX, "unset", "unset"},
        {"settings/lang_past_int_negative.cfg", INT_MIN, "unset", "unset"},
        {"settings/lang_inside_nick_line.cfg", 1, "unset", "owl"},  // "nick=x lang=2": the language is 0
        {"settings/blanks_around_directory.cfg", 1, "/media/hdd/", "unset"},
        {"settings/directory_three_blanks.cfg", 1, "  ", "unset"},  // one blank fewer
        {"settings/equals_in_directory.cfg", 1, "/media/ab/", "unset"},
        {"settings/down_and_nick_on_one_line.cfg", 1, "/a nickb", "_a_nickb"},
        {"settings/long_directory_line.cfg", 1, longDirectory, "owl"},
        {"settings/nick_with_entity.cfg", 1, "unset", "Tom_e_Jerry"},
        {"settings/nick_with_unsafe_characters.cfg", 1, "unset", "ab_c_d"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        CORDDIR = CORNICK = "unset";
        ReaderRun run = runReader(c.fixture, paths::settingsFile, 0, [] { retrieveConfig(); });
        EXPECT_EQ(CORLANG, c.lang);
        EXPECT_EQ(CORDDIR, c.down);
        EXPECT_EQ(CORNICK, c.nick);
        EXPECT_EQ(run.fileKept, *c.fixture != '\0');
    }
}
