// Article page extraction: /var/tmp/rss2.tmp to the composed article text.
#include <gtest/gtest.h>
#include <string>
#include "news/Selchoice1.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"

namespace {

const std::string kReads = std::string(37, ' ') + "Reads: ";
const std::string kSeparator = std::string(89, '-') + "\n";

class Selchoice1Test : public ::testing::Test {
protected:
    void SetUp() override {
        savedLang = CORLANG;
        CORLANG = 1;
    }
    void TearDown() override { CORLANG = savedLang; }

    std::string extract(const std::string& page) {
        root.write(paths::articleFile, page);
        return Selchoice1();
    }

    BoxRoot root;
    int savedLang = 1;
};

}  // namespace

TEST_F(Selchoice1Test, PageBecomesHeaderSeparatorAndText) {
    std::string text = extract(
        "Dish alignment guide\n"
        "\n"
        "  Admin  \n"
        "Posted on 06/01/2025\n"
        "42\n"
        "First paragraph<br />with a break.\n"
        "   \n"
        "Caf&eacute; &amp; <b>bold</b>&nbsp;stays</p>end\n");
    EXPECT_EQ(text,
              "TITLE: Dish alignment guide\n"
              "\nBY: Admin  \n"
              "\nPosted on 06/01/2025 " + kReads + "42\n" +
              kSeparator +
              "First paragraph\nwith a break.\n"
              "Caf\xC3\xA9 & <b>bold</b> stays\nend\n");
    EXPECT_FALSE(root.exists(paths::articleFile));
}

TEST_F(Selchoice1Test, ShortPagesGiveOnlyTheirHeaderParts) {
    const std::pair<std::string, std::string> cases[] = {
        {"Title\nAuthor\n", "TITLE: Title\n\nBY: Author\n"},
        {"Title\n", "TITLE: Title\n"},
        // "x\n" is two bytes and kept; a last "y" without line feed is not; other break tags stay.
        {"x\n   \n\na<br>b<br/>c\ny", "TITLE: x\n\nBY: a<br>b<br/>c\n"},
        // Three blanks at the end of the file are trimmed to two and kept.
        {"x\n   ", "TITLE: x\n\nBY:   "},
        // A long line is read as two pieces.
        {std::string(3000, 'a') + "\n", "TITLE: " + std::string(2047, 'a') + "\nBY: " + std::string(953, 'a') + "\n"},
        {"Title\r\nAuthor\r\n", "TITLE: Title\r\n\nBY: Author\r\n"},  // carriage returns stay
    };
    for (const auto& [page, text] : cases) EXPECT_EQ(extract(page), text) << page.substr(0, 20);
}

TEST_F(Selchoice1Test, PageOfExactly65536BytesIsUsedWhole) {
    // 64 lines of 1024 bytes; the last one ends the budget exactly.
    std::string line = std::string(1023, 'b') + "\n";
    std::string page;
    for (int i = 0; i < 64; ++i) page += line;
    ASSERT_EQ(page.size(), 65536u);
    std::string whole = extract(page);
    EXPECT_EQ(whole.size(), 65536u + 7 + 5 + 1 + kReads.size() + kSeparator.size());
    EXPECT_EQ(whole.substr(whole.size() - 1024), line);

    // One more byte in front pushes the last line over the budget.
    std::string cut = extract("c" + page);
    EXPECT_EQ(cut.size(), whole.size() + 1 - 1024);
    EXPECT_FALSE(root.exists(paths::articleFile));
}

TEST_F(Selchoice1Test, LinesAfterTheBudgetAreDroppedEvenWhenShort) {
    std::string page = std::string(65535, 'd') + "\n";  // pieces of 2047 bytes, exactly the budget
    page += "after\n";
    std::string text = extract(page);
    EXPECT_EQ(text.find("after"), std::string::npos);
}

TEST_F(Selchoice1Test, MissingFileGivesEmptyTextAndTheHeaderFollowsTheLanguage) {
    EXPECT_EQ(Selchoice1(), "");
    CORLANG = 3;
    EXPECT_EQ(extract("Titolo\nRedazione\n"), "TITOLO: Titolo\n\nAUTORE: Redazione\n");
}
