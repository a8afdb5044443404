// The server's parts on their own: query decoding, the shout board, options.
#include <gtest/gtest.h>

#include <set>

#include "demo-server/options.h"
#include "demo-server/query.h"
#include "demo-server/shout_board.h"
#include "tests/demo/plugin_view.h"

namespace {

const std::string fixtures = LUMEN_TEST_DATA "/demo/";

TEST(QueryDecoding, EscapesAndPlusAreDecodedAndStrayPercentsKept) {
    EXPECT_EQ(demo::decodeQueryValue("a%20b+c%C3%A9"), "a b c\xC3\xA9");
    EXPECT_EQ(demo::decodeQueryValue("50%"), "50%");
    EXPECT_EQ(demo::decodeQueryValue("%zz%4"), "%zz%4");
    EXPECT_EQ(demo::decodeQueryValue("%2f%2F"), "//");
}

TEST(QueryDecoding, ValuesKeepEveryEqualsSignAfterTheFirst) {
    demo::Query q("op=inme&n=Guest&p=a=b==c&&flag&n=second");
    EXPECT_EQ(q.get("op"), "inme");
    EXPECT_EQ(q.get("p"), "a=b==c");
    EXPECT_EQ(q.get("n"), "Guest");  // the first one wins
    EXPECT_TRUE(q.has("flag"));
    EXPECT_EQ(q.get("flag"), "");
    EXPECT_FALSE(q.has("missing"));
    EXPECT_EQ(demo::queryOf("/x?op=a&p=b?c"), "op=a&p=b?c");
    EXPECT_EQ(demo::queryOf("/x"), "");
}

TEST(ShoutField, MarkupBecomesEntitiesAndLineBreaksBlanks) {
    EXPECT_EQ(demo::shoutField("<b>\"Tom\" & Jerry</b>", 1000), "&lt;b&gt;&quot;Tom&quot; &amp; Jerry&lt;/b&gt;");
    EXPECT_EQ(demo::shoutField("one\ntwo\r\tthree", 1000), "one two  three");
}

TEST(ShoutField, NeverShorterThanTheReaderKeeps) {
    EXPECT_EQ(demo::shoutField("x", 1000), "x ");
    EXPECT_EQ(demo::shoutField("&", 1000), "&amp; ");
    EXPECT_EQ(view::decoded(demo::shoutField("&", 1000)).size(), 2u);
}

TEST(ShoutField, CutsBetweenCharactersAndEntities) {
    // "é" is two bytes: a budget of 5 holds "ab" and one "é", not half of the next.
    EXPECT_EQ(demo::shoutField("ab\xC3\xA9\xC3\xA9", 5), "ab\xC3\xA9");
    EXPECT_EQ(demo::shoutField("ab&cd", 6), "ab");
    EXPECT_EQ(demo::shoutField("ab&cd", 7), "ab&amp;");
}

TEST(ShoutBoardFile, BlocksOfFourWithCommentsAndBlankLinesLoad) {
    demo::ShoutBoard board;
    std::string error;
    ASSERT_TRUE(board.load(fixtures + "shouts_comments_and_blank_lines.txt", error)) << error;
    auto list = view::shoutList(board.page());
    ASSERT_EQ(list.fields.size(), 8u);
    EXPECT_EQ(list.row(0)[2], "first & oldest");
    EXPECT_EQ(list.row(1)[1], "beta");
}

TEST(ShoutBoardFile, BadBlocksAreReportedWithTheirLine) {
    demo::ShoutBoard board;
    std::string error;
    EXPECT_FALSE(board.load(fixtures + "shouts_three_line_block.txt", error));
    EXPECT_NE(error.find("shouts_three_line_block.txt:4"), std::string::npos) << error;
    EXPECT_FALSE(board.load(fixtures + "shouts_one_byte_field.txt", error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;
    EXPECT_FALSE(board.load(fixtures + "no_such_file.txt", error));
}

TEST(ShoutBoardPosts, NewestFirstAndThePageStaysBounded) {
    demo::ShoutBoard board;
    for (int i = 0; i < 60; ++i) ASSERT_TRUE(board.post("nick", "message " + std::to_string(i), 0));
    EXPECT_FALSE(board.post("nick", "", 0));
    EXPECT_EQ(board.posted(), 60);
    auto list = view::shoutList(board.page());
    ASSERT_EQ(list.fields.size(), 4 * demo::ShoutBoard::shown);
    EXPECT_EQ(list.row(0)[2], "message 59");
    // A message at the input field's limit of 500 characters stays one line
    // within the reader's 1023-byte pieces, even when every one is escaped.
    board.post("nick", std::string(500, '"'), 0);
    for (const std::string& line : view::lines(board.page())) EXPECT_LT(line.size() + 1, 1024u);
}

TEST(Options, DefaultsFaultsAndTheirLimits) {
    demo::Options o;
    std::string error;
    const char* plain[] = {"srv"};
    ASSERT_EQ(demo::parseOptions(1, plain, o, error), demo::ParseResult::Run);
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.fault, demo::Fault::None);
    EXPECT_FALSE(o.dataDir.empty());

    const char* faulty[] = {"srv", "--fault-op", "outme", "--fault-op", "files", "--delay-ms", "250", "--junk-mb", "3"};
    ASSERT_EQ(demo::parseOptions(9, faulty, o, error), demo::ParseResult::Run) << error;
    EXPECT_EQ(o.fault, demo::Fault::Junk);
    EXPECT_EQ(o.junkMb, 3);
    EXPECT_EQ(o.delayMs, 250);
    EXPECT_EQ(o.faultOps, (std::set<std::string>{"outme", "files"}));

    // Two faults at once, a status that is none, a bad port, a missing value.
    const std::vector<std::vector<const char*>> wrong = {
        {"srv", "--empty", "--stall"}, {"srv", "--status", "42"}, {"srv", "--port", "8o"}, {"srv", "--log"}};
    for (const auto& argv : wrong)
        EXPECT_EQ(demo::parseOptions(static_cast<int>(argv.size()), argv.data(), o, error),
                  demo::ParseResult::Error)
            << argv[1];
    const char* help[] = {"srv", "--help"};
    EXPECT_EQ(demo::parseOptions(2, help, o, error), demo::ParseResult::Help);
}

}  // namespace
