#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include "tests/support/dump_match.h"

namespace {
std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LUMEN_TEST_DATA) + "/runner/" + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

TEST(DumpMatch, SplitsAnOutputIntoItsDumps) {
    std::string output = "noise before\n" + fixture("two_dumps_quoted_title.txt");
    auto dumps = dumpmatch::splitDumps(output);
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(dumps[0].find("noise"), std::string::npos);
    EXPECT_EQ(dumpmatch::windowTitles(dumps[0]), std::vector<std::string>{"Runner test"});
    EXPECT_EQ(dumpmatch::lastDump(output), dumps[1]);
    EXPECT_EQ(dumpmatch::lastDump("no dump here\n"), "");
}

TEST(DumpMatch, TitlesAndValuesAreUnescaped) {
    std::string dump = dumpmatch::lastDump(fixture("two_dumps_quoted_title.txt"));
    EXPECT_EQ(dumpmatch::windowTitles(dump), (std::vector<std::string>{"Runner test", "A \"quoted\" title"}));
    auto box = dumpmatch::window(dump, "A \"quoted\" title");
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box.front()["message"], "Line one\nline two");
    EXPECT_EQ(box.front()["flags"], "0x21");
    EXPECT_EQ(dumpmatch::innermost(dump).front()["title"], "A \"quoted\" title");
    EXPECT_TRUE(dumpmatch::window(dump, "Runner").empty());  // titles match whole
}

TEST(DumpMatch, FocusIsAFlagNotTextThatSaysFocus) {
    std::string dump = dumpmatch::lastDump(fixture("two_dumps_quoted_title.txt"));
    auto main = dumpmatch::window(dump, "Runner test");
    ASSERT_EQ(main.size(), 6u);  // window line, button, list, two entries, label
    EXPECT_FALSE(dumpmatch::focused(main));  // "focus" appears only inside texts here
    auto label = dumpmatch::find(main, "eLabel");
    EXPECT_EQ(label.text(), "Say \"hi\" = focus\\n\nnext");
    EXPECT_EQ(label["extent"], "100x20");
    EXPECT_EQ(label.depth, 1);

    auto box = dumpmatch::window(dump, "A \"quoted\" title");
    EXPECT_EQ(dumpmatch::focused(box).text(), "OK");
}

TEST(DumpMatch, EntriesCarryKeysAndTheCurrentMark) {
    std::string dump = dumpmatch::lastDump(fixture("two_dumps_quoted_title.txt"));
    auto entries = dumpmatch::all(dumpmatch::window(dump, "Runner test"), "entry");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]["key"], "1");
    EXPECT_FALSE(entries[0].has("current"));
    EXPECT_TRUE(entries[1].has("current"));
    EXPECT_EQ(entries[1].depth, 2);
    EXPECT_EQ(dumpmatch::find(dumpmatch::window(dump, "Runner test"), "entry", "Sec")["key"], "2");
    EXPECT_FALSE(dumpmatch::find(dumpmatch::window(dump, "Runner test"), "eButton", "Nothing"));
}
