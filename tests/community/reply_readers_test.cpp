// The community's reply readers on every fixture of tests/data/community
// (one quirk per file): the shout list, the statistics, a category of the
// download area and a file's details. Each removes its reply file.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "community/CategoryReply.h"
#include "community/FileDetail.h"
#include "community/ParseShoutInput.h"
#include "community/ParseStatInput.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/reader_run.h"

namespace {

ReaderRun readShouts(const std::string& fixture, int lang) {
    return runReader(fixture, paths::shoutFile, lang, [] { return std::string(ParseShoutInput()); });
}
ReaderRun readStatistics(const std::string& fixture, int lang) {
    return runReader(fixture, paths::shoutFile, lang, [] { return std::string(ParseStatInput()); });
}
ReaderRun readDetail(const std::string& fixture, int lang) {
    return runReader(fixture, paths::feedFile, lang, [] {
        FileDetail detail = loadFileDetail(CORLANG);
        return "[" + detail.fileName + "]" + detail.text;
    });
}

// The shout list's rows start after its header's last line.
const std::string kShoutRule = std::string(113, '-') + "\n";

}  // namespace

TEST(ShoutList, EachFixtureChangesWhatItsNameSays) {
    // `size` 0: `rows` is all that follows the header; else its end.
    const struct { const char* fixture; std::string rows; size_t size; } cases[] = {
        // Nothing before the marker is a shout.
        {"community/shout_empty.html", "", 0}, {"community/shout_no_marker.html", "", 0},
        {"community/shout_five_fields.html", "12:01   anna  ->  first shout             web\n12:05   ", 0},
        {"community/shout_entities.html", "12:01   Tom & Jerry  ->  fish 'n' chips <3             \xC2\xA9 club\r\n", 0},
        {"community/shout_tag_only_lines.html", "12:01   anna  ->  hi             ", 0},
        // Pieces of 1023 bytes, each a field of its own.
        {"community/shout_long_line.html",
         std::string(1023, 'a') + "   " + std::string(1023, 'b') + "  ->  ccc" + std::string(13, ' '), 0},
        // 64 pieces of 1023 bytes fill the 64 KiB; the pieces after them go.
        {"community/shout_over_budget.html", std::string(1023, 'L') + "\n", 65840},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        ReaderRun run = readShouts(c.fixture, 1);
        size_t header = run.text.find(kShoutRule);
        ASSERT_NE(header, std::string::npos);
        std::string rows = run.text.substr(header + kShoutRule.size());
        EXPECT_EQ(rows.size(), c.size ? c.size : c.rows.size());
        EXPECT_EQ(rows.substr(rows.size() - std::min(rows.size(), c.rows.size())), c.rows);
        expectRemovedWithoutBox(run);
    }
}

TEST(CategoryReply, EachFixtureChangesWhatItsNameSays) {
    const std::string longTitle = std::string(255, 't');
    const struct { const char* fixture; const char* ids; std::string titles; } cases[] = {
        {"", "", ""}, {"community/category_empty.txt", "", ""},
        {"community/category_two_files.txt", "17|23", "Plugin A\n|Plugin B\n"},
        {"community/category_last_id_without_title.txt", "17", "Plugin A\n"},
        {"community/category_big_ids.txt", "2147483647|-2147483648", "big\n|small\n"},  // saturated to 32 bits
        {"community/category_id_suffix_and_entity.txt", "42|-5", "Tips & Tricks\n|Negative\n"},
        {"community/category_error_page.txt", "0", "<html>\n"},
        // A title of 299 bytes: its rest is read as the next id.
        {"community/category_long_title.txt", "17|9", longTitle + "|23\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        std::vector<CategoryEntry> entries;
        ReaderRun run = runReader(c.fixture, paths::feedFile, 1, [&] { entries = loadCategoryReply(); });
        EXPECT_EQ(joined(entries, &CategoryEntry::id), c.ids);
        EXPECT_EQ(joined(entries, &CategoryEntry::title), c.titles);
        expectRemovedWithoutBox(run);
    }
}

TEST(CategoryReply, KeepsItsFirstEntriesOfALongReply) {
    std::string reply;
    for (size_t i = 0; i <= community::maxCategoryEntries; ++i) reply += std::to_string(i) + "\nfile\n";
    FILE* file = fmemopen(reply.data(), reply.size(), "r");
    ASSERT_NE(file, nullptr);
    std::vector<CategoryEntry> entries = readCategoryReply(file);
    fclose(file);
    ASSERT_EQ(entries.size(), community::maxCategoryEntries);
    EXPECT_EQ(entries.back().id, static_cast<int>(community::maxCategoryEntries) - 1);
}

// The statistics and a file's details, each a text of its own; no shout
// list without a reply, not even its header.
TEST(WholeTextReaders, EachFixtureChangesWhatItsNameSays) {
    const std::string first = "Total connections to Lumen News:\t", second = "\nTotal users that have visited today:\t";
    const std::string nine = first + "1523" + second + "17\nTotal number of published News:\t42\n"
                             "Total number of Uploaded Files:\t8\nTotal number of Shouts sent by users:\t311\n" +
                             std::string(38, '_') + "\n\nTop News:  Welcome to the new server\nReads:\t977\n"
                             "Top File:  skin-pack.zip\nDownloads:\t64";
    const struct { ReaderRun (*read)(const std::string&, int); const char* fixture; std::string text; } cases[] = {
        {readShouts, "", ""}, {readStatistics, "", ""}, {readStatistics, "community/stat_empty.txt", ""},
        {readStatistics, "community/stat_nine_lines.txt", nine},
        {readStatistics, "community/stat_ten_lines.txt", nine + "extra line\n"},  // past the labels: as it came
        {readStatistics, "community/stat_carriage_return.txt", first + "1523\r" + second + "17"},
        {readStatistics, "community/stat_empty_first_line.txt", first + second + "17"},
        {readDetail, "", "[]"}, {readDetail, "community/detail_empty.txt", "[]"},
        {readDetail, "community/detail_eight_lines.txt",
         "[readme.txt\n]TITLE: Readme & notes\n\nBY: anna                        v1.2 \n\nSize: 12 KB" +
             std::string(31, ' ') + "Downloads: 5\n" + std::string(89, '-') +
             "\nFirst line of the text.\nSecond line.\n"},
        {readDetail, "community/detail_five_lines.txt",
         "[a.zip\n]TITLE: A\n\nBY: bob                        x \n\nSize: 1 KB "},
        // The name stays raw.
        {readDetail, "community/detail_entity_in_name.txt", "[tips&amp;tricks.txt\n]TITLE: Tips\n\nBY: bob "},
        // A name of 2051 bytes: its last four are read as the title.
        {readDetail, "community/detail_long_name.txt", "[" + std::string(2047, 'n') + "]TITLE: rest\n\nBY: Title "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases << ": " << c.fixture);
        ReaderRun run = c.read(c.fixture, 1);
        EXPECT_EQ(run.text, c.text);
        expectRemovedWithoutBox(run);
    }
}

// The labels in French and Italian; English is in the tables above.
TEST(CommunityReaders, LabelsFollowTheLanguage) {
    const struct { ReaderRun (*read)(const std::string&, int); const char* fixture; int lang; const char* part; } cases[] = {
        {readShouts, "community/shout_empty.html", 2, "Temps R\xC3\xA9" "el Les Derniers Messages De La Orbivox Communaut\xC3\xA9:\n"},
        {readShouts, "community/shout_empty.html", 3, "  DATA           |  AUTORE        ->         MESSAGGIO\n"},
        {readStatistics, "community/stat_nine_lines.txt", 2, "\nT\xC3\xA9l\xC3\xA9" "chargement:\t64"},
        {readStatistics, "community/stat_nine_lines.txt", 3, "\nNotizia Top:  Welcome to the new server\nLetture:\t977\n"},
        {readDetail, "community/detail_eight_lines.txt", 2, "\nTaille: 12 KB" "                             T\xC3\xA9l\xC3\xA9" "chargements: 5\n"},
        {readDetail, "community/detail_eight_lines.txt", 3, "]TITOLO: Readme & notes\n\nAUTORE: anna"},
    };
    for (const auto& c : cases)
        EXPECT_NE(c.read(c.fixture, c.lang).text.find(c.part), std::string::npos) << c.fixture << " " << c.lang << " " << c.part;
}
