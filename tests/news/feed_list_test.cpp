// The feed-list reader on every fixture of tests/data/news/feeds_*: a parse
// appends to the list, and a refused file shows its box and adds nothing.
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include "news/ConfigParser.h"
#include "settings/paths.h"
#include "tests/support/reader_run.h"

TEST(FeedList, EachFixtureChangesWhatItsNameSays) {
    const struct { const char* fixture; int result; const char* names; const char* urls; const char* box; } cases[] = {
        {"", 0, "kept", "http://kept", "User Abort: Config file not found (33)"},
        {"news/feeds_broken.xml", 0, "kept", "http://kept", "User Abort: Configfile parse error (33)"},
        {"news/feeds_rss_root.xml", 0, "kept", "http://kept", "User Abort: Invalid configfile (33)"},
        {"news/feeds_empty.xml", 1, "kept", "http://kept", ""},
        {"news/feeds_missing_url.xml", 1, "kept|First|Second", "http://kept|http://news.corvane.example/1|", ""},
        // Names are decoded, addresses kept as written.
        {"news/feeds_two.xml", 1, "kept|Corvane \xC3\xA4|Second",
         "http://kept|http://news.corvane.example/index.php?op=outmerss&amp;tn=3|http://news.corvane.example/second", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        ConfigParser parser;
        parser.items.push_back(ConfigItem{0, "kept", "http://kept"});
        int result = -1;
        ReaderRun run = runReader(c.fixture, paths::feedFile, 1, [&] { result = parser.parse(paths::feedFile); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(joined(parser.items, &ConfigItem::name), c.names);
        EXPECT_EQ(joined(parser.items, &ConfigItem::url), c.urls);
        EXPECT_EQ(run.boxes, c.box);
        int32_t index = 0;  // the appended feeds count from 0
        for (auto feed = std::next(parser.items.begin()); feed != parser.items.end(); ++feed) EXPECT_EQ(feed->index, index++);
    }
}
