// The shout list and statistics readers, on replies in the shout file.
#include <gtest/gtest.h>
#include <string>
#include "community/ParseShoutInput.h"
#include "community/ParseStatInput.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"

namespace {
const char* const shoutFile = "/var/tmp/shout.tmp";

std::string shoutHeader() {
    return "Real Time Latest Shouts from Orbivox Community:\n" + std::string(43, '_') + "\n|" +
           std::string(93, ' ') + "|\n  TIME           |  SHOUTER        ->         MESSAGE\n|" +
           std::string(43, '_') + "|\n" + std::string(113, '-') + "\n";
}

// The rows below the header.
std::string shoutRows(const BoxRoot& root, const std::string& fixture) {
    root.copyFixture("community/" + fixture, shoutFile);
    std::string text = ParseShoutInput();
    EXPECT_EQ(text.compare(0, shoutHeader().size(), shoutHeader()), 0) << text;
    return text.size() >= shoutHeader().size() ? text.substr(shoutHeader().size()) : text;
}

class ReplyTest : public ::testing::Test {
protected:
    void SetUp() override { CORLANG = 1; }
    BoxRoot root;
};
using ShoutList = ReplyTest;
using StatisticsReply = ReplyTest;
}  // namespace

TEST_F(ShoutList, RowsBelowTheHeaderFromFieldsAfterTheMarker) {
    const std::pair<const char*, const char*> cases[] = {
        // Five fields: one row and a started second row.
        {"shout_five_fields.html", "12:01   anna  ->  first shout             web\n12:05   "},
        {"shout_no_marker.html", ""},
        // Tag-only and one-byte lines are not fields.
        {"shout_tag_only_lines.html", "12:01   anna  ->  hi             "},
        // Entities are decoded after the tags are gone.
        {"shout_entities.html", "12:01   Tom & Jerry  ->  fish 'n' chips <3             \xC2\xA9 club\r\n"},
    };
    for (const auto& [fixture, rows] : cases) {
        EXPECT_EQ(shoutRows(root, fixture), rows) << fixture;
        EXPECT_FALSE(root.exists(shoutFile));
    }
}

TEST_F(ShoutList, MissingFileGivesNothingAtAllAndTheHeaderFollowsTheLanguage) {
    EXPECT_EQ(ParseShoutInput(), "");
    CORLANG = 3;
    root.write(shoutFile, "");
    EXPECT_EQ(ParseShoutInput().rfind("Ultimi Shouts inviati dagli utenti Orbivox:\n", 0), 0u);
}

TEST_F(ShoutList, LongLinesArriveAsPiecesOf1023Bytes) {
    // 1023 + 1023 + 4 bytes: three fields.
    std::string line = std::string(1023, 'a') + std::string(1023, 'b') + "ccc\n";
    root.write(shoutFile, "end document head\n" + line);
    std::string text = ParseShoutInput().substr(shoutHeader().size());
    EXPECT_EQ(text, std::string(1023, 'a') + "   " + std::string(1023, 'b') + "  ->  ccc             ");
}

TEST_F(ShoutList, LinesPastTheBudgetAreDropped) {
    // After the marker: 64 lines of 1024 bytes make exactly 65536; one more
    // byte is over the budget, and so is every later line.
    std::string reply = "head\nend document head\n";
    for (int i = 0; i < 64; ++i) reply += std::string(1023, char('A' + i % 26)) + "\n";
    // 64 * 1024 bytes: each line is a 1023-byte piece plus a 1-byte "\n" piece.
    reply += "zz\n";
    reply += "yy\n";
    root.write(shoutFile, reply);
    std::string text = ParseShoutInput().substr(shoutHeader().size());
    EXPECT_EQ(text.find("zz"), std::string::npos);
    EXPECT_EQ(text.find("yy"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 1024), std::string(1023, 'L') + "\n");  // line 64
    EXPECT_EQ(text.size(), 64u * 1023u + 16u * (3 + 6 + 13 + 1));
}

TEST_F(ShoutList, ALineThatReachesTheBudgetExactlyIsKept) {
    std::string reply = "end document head\n";
    long total = 0;
    while (total + 1000 <= 65536 - 10) {
        reply += std::string(999, 'x') + "\n";
        total += 1000;
    }
    std::string last = std::string(65536 - total - 1, 'k') + "\n";  // lands on 65536
    reply += last + "after\n";
    root.write(shoutFile, reply);
    std::string text = ParseShoutInput();
    EXPECT_NE(text.find(std::string(last.size() - 1, 'k')), std::string::npos);
    EXPECT_EQ(text.find("after"), std::string::npos);
}

TEST_F(StatisticsReply, EachLineGetsItsLabelAndLaterLinesAreAppendedAsRead) {
    const std::string nine = "Total connections to Lumen News:\t1523"
                             "\nTotal users that have visited today:\t17"
                             "\nTotal number of published News:\t42"
                             "\nTotal number of Uploaded Files:\t8"
                             "\nTotal number of Shouts sent by users:\t311"
                             "\n" + std::string(38, '_') + "\n"
                             "\nTop News:  Welcome to the new server"
                             "\nReads:\t977"
                             "\nTop File:  skin-pack.zip"
                             "\nDownloads:\t64";
    const std::pair<const char*, std::string> cases[] = {
        {"stat_nine_lines.txt", nine},
        {"stat_ten_lines.txt", nine + "extra line\n"},
        {"stat_empty_first_line.txt", "Total connections to Lumen News:\t\nTotal users that have visited today:\t17"},
        {"stat_carriage_return.txt", "Total connections to Lumen News:\t1523\r\nTotal users that have visited today:\t17"},
    };
    for (const auto& [fixture, text] : cases) {
        root.copyFixture(std::string("community/") + fixture, shoutFile);
        EXPECT_EQ(ParseStatInput(), text) << fixture;
        EXPECT_FALSE(root.exists(shoutFile));
    }
}

TEST_F(StatisticsReply, FrenchLabels) {
    CORLANG = 2;
    root.write(shoutFile, "1\n");
    EXPECT_EQ(ParseStatInput(), "Totale des connections sur Lumen News:\t1");
}

TEST_F(StatisticsReply, MissingOrEmptyReplyGivesAnEmptyText) {
    EXPECT_EQ(ParseStatInput(), "");
    root.write(shoutFile, "");
    EXPECT_EQ(ParseStatInput(), "");
    EXPECT_FALSE(root.exists(shoutFile));
}

TEST_F(StatisticsReply, AHugeFirstLineFillsTheValuesWithPiecesUntilTheBudget) {
    std::string line;
    for (int i = 0; i < 70000; ++i) line += char('a' + (i / 1023) % 26);
    root.write(shoutFile, line + "\n");
    std::string text = ParseStatInput();
    auto piece = [&](int n) { return line.substr(n * 1023, 1023); };
    // Nine labelled pieces, then 55 more as they are: 64 pieces in all.
    std::string expected = "Total connections to Lumen News:\t" + piece(0);
    expected += "\nTotal users that have visited today:\t" + piece(1);
    expected += "\nTotal number of published News:\t" + piece(2);
    expected += "\nTotal number of Uploaded Files:\t" + piece(3);
    expected += "\nTotal number of Shouts sent by users:\t" + piece(4);
    expected += "\n" + std::string(38, '_') + "\n\nTop News:  " + piece(5);
    expected += "\nReads:\t" + piece(6);
    expected += "\nTop File:  " + piece(7);
    expected += "\nDownloads:\t" + piece(8);
    for (int n = 9; n < 64; ++n) expected += piece(n);
    EXPECT_EQ(text, expected);
}
