// The server's replies read back by the plug-in's own readers: what was
// stored comes out as it was typed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "community/ParseShoutInput.h"
#include "community/ParseStatInput.h"
#include "community/downCat.h"
#include "community/eShowDownFile.h"
#include "news/RSSParser.h"
#include "news/Selchoice1.h"
#include "server/replies.h"
#include "server/shout_intake.h"
#include "server/text_codec.h"
#include "settings/settings.h"
#include "tests/server/server_test_support.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

using namespace srv;
using testing::HasSubstr;
using testing::StartsWith;

namespace {

// Typed texts with what HTML, XML and the plug-in's entity table treat
// specially; the euro sign is outside Latin-1.
const std::vector<std::string> typedTexts = {
    "Tips & tricks", "<b>bold</b> stays text", "Say \"hi\" to Liège", "caffè, più, Krähenfeld",
    "Typed &amp; as such", "5 € & 3 <> 2", "a",
};

Article articleTitled(const std::string& plain, const std::string& lang) {
    Article a;
    a.id = 7;
    a.lang = lang;
    a.title = htmlEscape(plain);
    a.author = htmlEscape("Anna & Bo");
    a.summary = htmlEscape(plain);
    a.body = "First line of " + htmlEscape(plain) + "<br />\n";
    a.posted = 1741110120;  // 2025-03-04 17:42 UTC
    a.utcOffset = 60;
    a.reads = 41;
    return a;
}

class RepliesTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { CORLANG = 1; }
    const std::string plain = GetParam();
    BoxRoot root;
    MessageBoxAnswerer boxes;
};

}  // namespace

TEST_P(RepliesTest, BothFeedsGiveTheStoredTitleAndSummary) {
    for (const std::string lang : {"en", "it"}) {
        Article a = articleTitled(plain, lang);
        std::string body = lang == "en" ? feedRss2({a}, defaultBaseUrl) : feedRss1({a}, defaultBaseUrl);
        if (lang == "it") {
            EXPECT_EQ(body.find("\xE2\x82\xAC"), std::string::npos) << "UTF-8 in the Latin-1 feed";
        }
        root.write("/var/tmp/rss.tmp", body);
        RSSParser parser;
        parser.parse(root.path("/var/tmp/rss.tmp"));
        ASSERT_EQ(parser.items.size(), 1u) << lang << "\n" << body;
        const NewsItem& item = parser.items.front();
        EXPECT_EQ(item.title, plain) << lang;
        // Summaries lose tags and every "&amp;", even typed as text.
        if (plain.find('<') == std::string::npos && plain.find("&amp;") == std::string::npos) {
            EXPECT_EQ(item.description, plain) << lang;
        }
        if (lang == "en") {
            EXPECT_EQ(item.link, "http://news.corvane.example/lumennews/index.php?op=article&sid=7&Itemid=99999999");
            EXPECT_EQ(item.date, "Tue, 04 Mar 2025 18:42:00 ");
        }
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_P(RepliesTest, ArticlePageGivesTheHeaderAndTheBody) {
    root.write("/var/tmp/rss2.tmp", articlePage(articleTitled(plain, "en")));
    std::string text = Selchoice1();
    EXPECT_THAT(text, StartsWith("TITLE: " + plain + "\n\nBY: Anna & Bo\n\nTuesday, 04 March 2025 @ 18:42 CET"));
    EXPECT_THAT(text, HasSubstr("41\n" + std::string(89, '-') + "\nFirst line of " + plain + "\n"));
}

TEST_P(RepliesTest, ShoutListShowsWhatWasTypedInItsColumns) {
    Shout older{1, 1741110120, "Old_timer", "first", "x"};
    Shout newer{2, 1741110180, plain.size() > 15 ? "Bo" : plain, plain, "x"};
    std::string text = formatShoutList(asFile(shoutPage({newer, older})).get(), 1);
    std::string rows = text.substr(text.rfind(std::string(113, '-') + "\n") + 114);
    // Time, nickname, message, date; one-byte fields are padded so the
    // reader keeps them.
    std::string nick = newer.nick.size() < 2 ? newer.nick + " " : newer.nick;
    std::string message = plain.size() < 2 ? plain + " " : plain;
    size_t first = rows.find('\n');
    ASSERT_NE(first, std::string::npos) << rows;
    EXPECT_EQ(rows.substr(5, first - 5 - 10), "   " + nick + "  ->  " + message + std::string(13, ' ')) << rows;
    EXPECT_EQ(rows.substr(first + 6, 23), "   Old_timer  ->  first");
}

TEST_P(RepliesTest, DownloadAreaGivesTheStoredTitles) {
    FileEntry f{31, "Plugins", "globe.tar.gz", htmlEscape(plain), htmlEscape("sky & fixer"), "2025-03-02", 398, 871,
                htmlEscape(plain) + "\nSecond line.\n"};
    FileEntry g = f;
    g.id = 32;
    g.title = "Other";
    auto entries = readCategoryReply(asFile(categoryReply({f, g})).get());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, 31);
    EXPECT_EQ(entries[0].title, plain + "\n");
    EXPECT_EQ(entries[1].id, 32);
    FileDetail detail = readFileDetail(asFile(fileDetailReply(f)).get(), 1);
    EXPECT_EQ(detail.fileName, "globe.tar.gz\n");
    EXPECT_THAT(detail.text, StartsWith("TITLE: " + plain + "\n\nBY: sky & fixer " + std::string(23, ' ') +
                                        "on 02 Mar 2025 \n\nSize: 398 bytes "));
    EXPECT_THAT(detail.text, HasSubstr("Downloads: 871\n" + std::string(89, '-') + "\n" + plain + "\nSecond line.\n"));
}

INSTANTIATE_TEST_SUITE_P(TypedTexts, RepliesTest, ::testing::ValuesIn(typedTexts));

TEST(StatisticsReply, NineValuesUnderTheirLabels) {
    Statistics s{48213, 117, Totals{10, 15, 2904, "Tips &amp; tricks", 1532, "globe.tar.gz", 871}};
    std::string text = formatStatistics(asFile(statisticsReply(s)).get(), 1);
    for (const char* shown : {":\t48213\n", ":\t117\n", ":\t10\n", ":\t15\n", ":\t2904\n", "Top News:  Tips & tricks\n",
                              "Reads:\t1532\n", "Top File:  globe.tar.gz\n", "Downloads:\t871"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
    EXPECT_EQ(text.back(), '1');  // nine lines, nothing after the last value
}

// What feed readers and the article page show of a time: the zone is
// "GMT" at UTC, a signed offset with minutes elsewhere.
TEST(ReplyDates, CarryTheirZone) {
    const int64_t posted = 1741110120;  // 2025-03-04 17:42 UTC
    EXPECT_EQ(feedDate(posted, 0), "Tue, 04 Mar 2025 17:42:00 GMT");
    EXPECT_EQ(feedDate(posted, 60), "Tue, 04 Mar 2025 18:42:00 +0100");
    EXPECT_EQ(feedDate(posted, -330), "Tue, 04 Mar 2025 12:12:00 -0530");
    EXPECT_EQ(pageDate(posted, 0), "Tuesday, 04 March 2025 @ 17:42 GMT");
    EXPECT_EQ(pageDate(posted, -90), "Tuesday, 04 March 2025 @ 16:12 -0130");
    EXPECT_THAT(feedRss2({}, defaultBaseUrl), HasSubstr("<language>en</language>"));
}

// Sizes in bytes up to 10 KiB, then whole KB up to 10 MiB, then MB; no
// description, no line after the downloads.
TEST(FileDetailReply, SaysTheSizeInItsUnitAndEndsWithTheDownloads) {
    const struct { int64_t size; const char* shown; } sizes[] = {
        {10239, "10239 bytes"}, {10240, "10 KB"}, {10 * 1024 * 1024 - 1, "10239 KB"}, {10 * 1024 * 1024, "10 MB"},
    };
    for (const auto& s : sizes) {
        FileEntry f{31, "Plugins", "globe.tar.gz", "Globe", "anna", "2025-03-02", s.size, 871, ""};
        EXPECT_EQ(fileDetailReply(f), "globe.tar.gz\nGlobe\nanna\non 02 Mar 2025\n" + std::string(s.shown) + "\n871\n");
    }
}

TEST(ShoutText, IsCheckedAsThePluginLimitsIt) {
    const std::string e = "\xC3\xA8";  // two bytes, one character
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        while (n-- > 0) out += s;
        return out;
    };
    const struct {
        std::string nick, message;
        ShoutVerdict verdict;
    } cases[] = {
        {"Guest", "hello", ShoutVerdict::Stored},
        {"", "no nickname", ShoutVerdict::Stored},
        {"Guest", "", ShoutVerdict::EmptyMessage},
        {"Guest", repeat(e, 500), ShoutVerdict::Stored},
        {"Guest", repeat(e, 501), ShoutVerdict::MessageTooLong},
        {"Guest", repeat("&", 203), ShoutVerdict::LineTooLong},  // 203 characters, escaped longer than a line
        {"Guest", repeat("&", 202), ShoutVerdict::Stored},
        {"Guest", repeat("&", 501), ShoutVerdict::MessageTooLong},
        {repeat(e, 15), "hi", ShoutVerdict::Stored},
        {repeat("n", 16), "hi", ShoutVerdict::NickTooLong},
        {"Guest", "bad \xC3(", ShoutVerdict::BadBytes},
        {"Guest", "\xC0\xAF overlong", ShoutVerdict::BadBytes},
        {"Gu\x01st", "hi", ShoutVerdict::BadBytes},
        {"Guest", "two\nlines", ShoutVerdict::BadBytes},
        {"Guest", "tab\there", ShoutVerdict::BadBytes},
        {"Gu\xC2\x85st", "hi", ShoutVerdict::BadBytes},              // C1 next line
        {"Guest", "\xE2\x80\xAEreversed", ShoutVerdict::BadBytes},   // bidi override
        {"\xE2\x81\xA6Guest", "hi", ShoutVerdict::BadBytes},         // bidi isolate
        {"Guest", "right\xE2\x80\x8Fmark", ShoutVerdict::BadBytes},  // right-to-left mark
        {"Guest", "line\xE2\x80\xA8separator", ShoutVerdict::BadBytes},
        {"Guest", "paragraph\xE2\x80\xA9separator", ShoutVerdict::BadBytes},
        {"Guest", "\xC2\xA0no-break space and \xE2\x82\xAC", ShoutVerdict::Stored},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkShoutText(c.nick, c.message), c.verdict) << c.nick << " / " << c.message.substr(0, 20);
}
