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

TEST(CategoryReply, PairsGiveEntriesInOrderWithLineFeedKept) {
    BoxRoot root;
    auto entries = categoryFrom(root, "category_two_files.txt");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].title, "Plugin A\n");
    EXPECT_EQ(entries[0].id, 17);
    EXPECT_EQ(entries[1].title, "Plugin B\n");
    EXPECT_EQ(entries[1].id, 23);
    EXPECT_FALSE(root.exists(feedFile));
}

TEST(CategoryReply, LastIdWithoutTitleAddsNothing) {
    BoxRoot root;
    auto entries = categoryFrom(root, "category_last_id_without_title.txt");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].title, "Plugin A\n");
}

TEST(CategoryReply, IdsReadLikeStrtolAndTitlesDecodeEntities) {
    BoxRoot root;
    auto entries = categoryFrom(root, "category_id_suffix_and_entity.txt");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, 42);
    EXPECT_EQ(entries[0].title, "Tips & Tricks\n");
    EXPECT_EQ(entries[1].id, -5);
}

TEST(CategoryReply, AnErrorPageStillPairsUp) {
    BoxRoot root;
    auto entries = categoryFrom(root, "category_error_page.txt");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, 0);
    EXPECT_EQ(entries[0].title, "<html>\n");
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

TEST(FileDetailReply, TheNameIsTakenRawWhileLaterLinesAreDecoded) {
    BoxRoot root;
    FileDetail detail = detailFrom(root, "detail_entity_in_name.txt");
    EXPECT_EQ(detail.fileName, "tips&amp;tricks.txt\n");
    EXPECT_EQ(detail.text, "TITLE: Tips\n\nBY: bob ");
}

TEST(FileDetailReply, ShortRepliesShowOnlyTheirPartsAndNoRule) {
    BoxRoot root;
    FileDetail detail = detailFrom(root, "detail_five_lines.txt");
    EXPECT_EQ(detail.text, "TITLE: A\n\nBY: bob " + std::string(23, ' ') + "x \n\nSize: 1 KB ");
    EXPECT_EQ(detail.text.find("---"), std::string::npos);
}

TEST(FileDetailReply, MissingReplyGivesEmptyNameAndText) {
    BoxRoot root;
    FileDetail detail = loadFileDetail(1);
    EXPECT_EQ(detail.fileName, "");
    EXPECT_EQ(detail.text, "");
}

TEST(FileDetailReply, LongLinesArriveAsPiecesOf2047Bytes) {
    BoxRoot root;
    std::string name = std::string(2047, 'n');
    root.write(feedFile, name + "rest\nTitle\n");
    FileDetail detail = loadFileDetail(1);
    EXPECT_EQ(detail.fileName, name);
    EXPECT_EQ(detail.text, "TITLE: rest\n\nBY: Title ");
}

TEST(FileDetailReply, ItalianLabels) {
    BoxRoot root;
    root.copyFixture("community/detail_five_lines.txt", feedFile);
    EXPECT_EQ(loadFileDetail(3).text.rfind("TITOLO: A\n\nAUTORE: bob ", 0), 0u);
}

TEST(DownloadName, OrdinaryNamesAreUsable) {
    EXPECT_TRUE(usableDownloadName("readme.txt"));
    EXPECT_TRUE(usableDownloadName("..hidden"));
    EXPECT_TRUE(usableDownloadName("caf\xC3\xA9 & co.zip"));
}

TEST(DownloadName, NamesThatLeaveOrNameTheDirectoryAreRefused) {
    EXPECT_FALSE(usableDownloadName(""));
    EXPECT_FALSE(usableDownloadName("."));
    EXPECT_FALSE(usableDownloadName(".."));
    EXPECT_FALSE(usableDownloadName("../evil"));
    EXPECT_FALSE(usableDownloadName("sub/file"));
    EXPECT_FALSE(usableDownloadName("..\\evil"));
    EXPECT_FALSE(usableDownloadName("/etc/passwd"));
}

TEST(DownloadName, ControlBytesAreRefused) {
    EXPECT_FALSE(usableDownloadName("a\rb"));
    EXPECT_FALSE(usableDownloadName("tab\there"));
    EXPECT_FALSE(usableDownloadName(eString("nul\0x", 5)));
    EXPECT_FALSE(usableDownloadName("del\x7F"));
}
