// The article reader (Selchoice1) on every fixture of tests/data/articles:
// the labelled layout of the first five kept lines, the cleaning of each
// line, the 64 KiB budget; the file is always removed.
#include <gtest/gtest.h>
#include <string>
#include "news/Selchoice1.h"
#include "settings/paths.h"
#include "tests/support/reader_run.h"

namespace {
ReaderRun readArticle(const std::string& fixture, int lang) {
    return runReader(fixture, paths::articleFile, lang, [] { return std::string(Selchoice1()); });
}
}  // namespace

TEST(ArticlePage, EachFixtureChangesWhatItsNameSays) {
    const std::string full =
        "TITLE: Dish alignment guide\n\nBY: Admin  \n\nPosted on 06/01/2025                                      "
        "Reads: 42\n" + std::string(89, '-') + "\nFirst paragraph\nwith a break.\nCaf\xC3\xA9 & <b>bold</b> stays\nend\n";
    // `size` 0: `text` is the whole result; else its end, for long ones.
    const struct { const char* fixture; std::string text; size_t size; } cases[] = {
        {"", "", 0}, {"articles/page_empty.html", "", 0},
        {"articles/page_full.html", full, 0},
        {"articles/page_one_line.html", "TITLE: Title\n", 0},
        {"articles/page_crlf.html", "TITLE: Title\r\n\nBY: Author\r\n", 0},
        {"articles/page_blank_lines_and_breaks.html", "TITLE: x\n\nBY: a<br>b<br/>c\n", 0},
        {"articles/page_three_blanks_at_end.html", "TITLE: x\n\nBY:   ", 0},
        // 3000 bytes in pieces of 2047: a title and an author.
        {"articles/page_long_line.html", "\nBY: " + std::string(953, 'a') + "\n", 3013},
        // 64 KiB in all, or 16 bytes more: the piece past the budget goes.
        {"articles/page_exactly_budget.html", std::string(1022, 'b') + "\n", 65683},
        {"articles/page_over_budget.html", std::string(1022, 'c') + "\n", 65683},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        ReaderRun run = readArticle(c.fixture, 1);
        EXPECT_EQ(run.text.size(), c.size ? c.size : c.text.size());
        EXPECT_EQ(run.text.substr(run.text.size() - std::min(run.text.size(), c.text.size())), c.text);
        expectRemovedWithoutBox(run);
    }
}

TEST(ArticlePage, LabelsFollowTheLanguage) {
    const std::pair<int, const char*> cases[] = {
        {2, "TITRE: Dish alignment guide\n\nBY: Admin  \n\nPosted on 06/01/2025                                      Lire: 42"},
        {3, "TITOLO: Dish alignment guide\n\nAUTORE: Admin  \n\nPosted on 06/01/2025                                    Letture: 42"},
    };
    for (const auto& [lang, start] : cases)
        EXPECT_EQ(readArticle("articles/page_full.html", lang).text.rfind(start, 0), 0u) << lang;
}
