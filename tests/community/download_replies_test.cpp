// The category and file-detail readers of the download area.
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "tests/support/box_root.h"

namespace {
const char* const feedFile = "/var/tmp/rss.tmp";

std::vector<CategoryEntry> categoryFrom(const BoxRoot& root, const std::string& fixture) {
    root.copyFixture("community/" + fixture, feedFile);
    return loadCategoryReply();
}

FileDetail detailFrom(const BoxRoot& root, const std::string& fixture) {
    root.copyFixture("community/" + fixture, feedFile);
    return loadFileDetail(1);
}
}  // namespace

// "id:title" for each entry, for comparing whole replies at once.
std::vector<std::string> pairs(const std::vector<CategoryEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(std::to_string(e.id) + ":" + e.title);
    return out;
}

TEST(CategoryReply, IdTitlePairsInOrderWithLineFeedsKeptAndTheFileRemoved) {
    struct Case { const char* fixture; std::vector<std::string> entries; };
    const Case cases[] = {
        {"category_two_files.txt", {"17:Plugin A\n", "23:Plugin B\n"}},
        {"category_last_id_without_title.txt", {"17:Plugin A\n"}},  // a last id without title adds nothing
        {"category_id_suffix_and_entity.txt", {"42:Tips & Tricks\n", "-5:Negative\n"}},  // strtol, entities
        {"category_error_page.txt", {"0:<html>\n"}},  // an error page still pairs up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        BoxRoot root;
        EXPECT_EQ(pairs(categoryFrom(root, c.fixture)), c.entries);
        EXPECT_FALSE(root.exists(feedFile));
    }
}

TEST(CategoryReply, MissingOrEmptyReplyGivesNoEntriesAndNoFile) {
    BoxRoot root;
    EXPECT_TRUE(loadCategoryReply().empty());
    root.write(feedFile, "");
    EXPECT_TRUE(loadCategoryReply().empty());
    EXPECT_FALSE(root.exists(feedFile));
}

TEST(CategoryReply, A300ByteTitleShiftsThePairing) {
    BoxRoot root;
    std::string title = std::string(255, 't') + "9" + std::string(43, 'u') + "\n";
    ASSERT_EQ(title.size(), 300u);
    root.write(feedFile, "17\n" + title + "23\nPlugin B\n");
    auto entries = loadCategoryReply();
    // 255 bytes of title; the 45 left over are an id line (9), and the real
    // id line becomes the next title.
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].title, std::string(255, 't'));
    EXPECT_EQ(entries[0].id, 17);
    EXPECT_EQ(entries[1].title, "23\n");
    EXPECT_EQ(entries[1].id, 9);
}

TEST(CategoryReply, IdsBeyondThirtyTwoBitsSaturate) {
    BoxRoot root;
    root.write(feedFile, "99999999999\nbig\n-99999999999\nsmall\n");
    auto entries = loadCategoryReply();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, INT_MAX);
    EXPECT_EQ(entries[1].id, INT_MIN);
}

TEST(FileDetailReply, EightLinesLayOutAsEightRows) {
    BoxRoot root;
    FileDetail detail = detailFrom(root, "detail_eight_lines.txt");
    EXPECT_EQ(detail.fileName, "readme.txt\n");
    EXPECT_EQ(detail.text,
              "TITLE: Readme & notes\n"
              "\n"
              "BY: anna" + std::string(24, ' ') + "v1.2 \n"
              "\n"
              "Size: 12 KB" + std::string(31, ' ') + "Downloads: 5\n" +
              std::string(89, '-') + "\n"
              "First line of the text.\n"
              "Second line.\n");
    EXPECT_FALSE(root.exists(feedFile));
}

TEST(FileDetailReply, RawNameShortRepliesMissingReplyAndLongLines) {
    // A reply is a fixture's name, or the reply itself after a '=', or "" for none.
    struct Case { std::string reply, fileName, text; };
    const std::string longName(2047, 'n');
    const Case cases[] = {
        // The name is taken raw while later lines are decoded.
        {"detail_entity_in_name.txt", "tips&amp;tricks.txt\n", "TITLE: Tips\n\nBY: bob "},
        // Only the parts present, and no rule.
        {"detail_five_lines.txt", "a.zip\n", "TITLE: A\n\nBY: bob " + std::string(23, ' ') + "x \n\nSize: 1 KB "},
        {"", "", ""},
        // Long lines arrive as pieces of 2047 bytes.
        {"=" + longName + "rest\nTitle\n", longName, "TITLE: rest\n\nBY: Title "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.substr(0, 40));
        BoxRoot root;
        if (c.reply[0] == '=')
            root.write(feedFile, c.reply.substr(1));
        else if (!c.reply.empty())
            root.copyFixture("community/" + c.reply, feedFile);
        FileDetail detail = loadFileDetail(1);
        EXPECT_EQ(detail.fileName, c.fileName);
        EXPECT_EQ(detail.text, c.text);
    }
}

TEST(FileDetailReply, ItalianLabels) {
    BoxRoot root;
    root.copyFixture("community/detail_five_lines.txt", feedFile);
    EXPECT_EQ(loadFileDetail(3).text.rfind("TITOLO: A\n\nAUTORE: bob ", 0), 0u);
}

TEST(DownloadName, OrdinaryNamesAreUsableButNoneThatLeavesTheDirectoryOrHoldsControlBytes) {
    for (const char* name : {"readme.txt", "..hidden", "caf\xC3\xA9 & co.zip"}) EXPECT_TRUE(usableDownloadName(name)) << name;
    for (const eString& name : {eString(""), eString("."), eString(".."), eString("../evil"), eString("sub/file"),
                                eString("..\\evil"), eString("/etc/passwd"), eString("a\rb"), eString("tab\there"),
                                eString("nul\0x", 5), eString("del\x7F")})
        EXPECT_FALSE(usableDownloadName(name)) << name;
}
