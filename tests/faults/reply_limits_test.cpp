// The byte and entry budgets of the reply readers: a runaway reply stops at
// its limit instead of growing the plug-in's memory with it.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "community/reply_file.h"
#include "news/RSSParser.h"
#include "news/feed_reading.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

namespace {

const char* const feedFile = "/var/tmp/rss.tmp";

// An RSS 2.0 feed of items with 60000-byte descriptions, padded with a
// comment to exactly `size` bytes.
std::string feedOfSize(size_t size, int& items) {
    const std::string tail = "</channel></rss>";
    const std::string item = "<item><title>Item</title><description>" + std::string(60000, 'x') +
                             "</description></item>";
    std::string feed = "<rss><channel>";
    items = 0;
    for (; feed.size() + item.size() + tail.size() + 7 < size; ++items) feed += item;
    feed += "<!--" + std::string(size - feed.size() - tail.size() - 7, ' ') + "-->";
    return feed + tail;
}

// A stdio stream over `content`, closed when it goes.
replies::File replyOf(const std::string& content) {
    FILE* file = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    return replies::File(file);
}

class FeedSizeLimit : public ::testing::Test {
protected:
    BoxRoot root;
    MessageBoxAnswerer boxes;
    RSSParser parser;
};

}  // namespace

TEST_F(FeedSizeLimit, FeedOfExactlyTheLimitIsRead) {
    int items = 0;
    std::string feed = feedOfSize(feedreading::maxFeedBytes, items);
    ASSERT_EQ(feed.size(), feedreading::maxFeedBytes);
    root.write(feedFile, feed);
    parser.parse(root.path(feedFile));
    ASSERT_EQ(parser.items.size(), static_cast<size_t>(items));
    EXPECT_EQ(parser.items.back().description.size(), 60000u);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(FeedSizeLimit, LargerFeedIsAParseErrorWithNoItems) {
    int items = 0;
    root.write(feedFile, feedOfSize(feedreading::maxFeedBytes + 1, items));
    parser.parse(root.path(feedFile));
    EXPECT_TRUE(parser.items.empty());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "XML parse error (general xml)");
    EXPECT_EQ(boxes.boxes()[0].caption, "Error");
}

TEST(CategoryEntryLimit, LongReplyKeepsItsFirstEntries) {
    std::string reply;
    const size_t pairs = community::maxCategoryEntries + 1000;
    for (size_t i = 1; i <= pairs; ++i) reply += std::to_string(i) + "\nFile " + std::to_string(i) + "\n";
    auto file = replyOf(reply);
    auto entries = readCategoryReply(file.get());
    ASSERT_EQ(entries.size(), community::maxCategoryEntries);
    EXPECT_EQ(entries.front().id, 1);
    EXPECT_EQ(entries.back().id, static_cast<int>(community::maxCategoryEntries));
    EXPECT_EQ(entries.back().title, "File " + std::to_string(community::maxCategoryEntries) + "\n");
}

TEST(FileDetailBudget, TextStopsAtTheBudgetAndKeepsTheName) {
    // Name, six fields, then a description far over the budget with a
    // marker line at its end.
    std::string reply = "tool.tgz\nTitle\nUploader\nfourth\n10 KB\n3\n";
    const std::string line(99, 'd');
    while (reply.size() < 4 * replies::budgetBytes) reply += line + "\n";
    reply += "LAST LINE\n";
    auto file = replyOf(reply);
    FileDetail detail = readFileDetail(file.get(), 1);
    EXPECT_EQ(detail.fileName, "tool.tgz\n");
    EXPECT_EQ(detail.text.find("LAST LINE"), eString::npos);
    EXPECT_NE(detail.text.find("Title"), eString::npos);
    // The labels add a little to the budgeted bytes, never a second budget.
    EXPECT_GT(detail.text.size(), static_cast<size_t>(replies::budgetBytes) - 200);
    EXPECT_LT(detail.text.size(), static_cast<size_t>(replies::budgetBytes) + 1000);
}

TEST(FileDetailBudget, ReplyWithinTheBudgetIsWhole) {
    std::string reply = "tool.tgz\nTitle\nUploader\nfourth\n10 KB\n3\nfirst\nLAST LINE\n";
    auto file = replyOf(reply);
    FileDetail detail = readFileDetail(file.get(), 1);
    EXPECT_NE(detail.text.find("LAST LINE\n"), eString::npos);
}
