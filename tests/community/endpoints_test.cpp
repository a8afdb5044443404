#include "community/endpoints.h"
#include <gtest/gtest.h>

namespace {
eString script(const char* query) { return endpoints::baseAddress() + "/lumennews/index.php?" + query; }
}  // namespace

TEST(Endpoints, BaseAddressIsHttpWithoutTrailingSlash) {
    eString base = endpoints::baseAddress();
    EXPECT_EQ(base.rfind("http://", 0), 0u);
    EXPECT_GT(base.size(), 7u);
    EXPECT_NE(base.back(), '/');
}

TEST(Endpoints, FixedRequests) {
    EXPECT_EQ(endpoints::englishFeed(), script("op=outmerss"));
    EXPECT_EQ(endpoints::italianFeed(), script("op=outmerss&tn=3"));
    EXPECT_EQ(endpoints::shoutList(), script("op=outme"));
    EXPECT_EQ(endpoints::statistics(), script("op=outmestats2"));
}

TEST(Endpoints, ShoutMessageGetsTheSubstitutionsThenPercentEncodingNicknameOnlyTheEncoding) {
    struct Case { const char *nick, *message, *query; };
    const Case cases[] = {
        {"Guest", "a b&c/d?", "n=Guest&p=a_bec_d_"},  // the six substitutions
        {"Guest", "say \"hi\"", "n=Guest&p=say_hi"},
        {"Guest", "a\tb", "n=Guest&p=a_b"},
        {"Guest", "   ", "n=Guest&p=___"},  // blanks only are still a message
        {"Guest", "C++ #1 100%", "n=Guest&p=C%2B%2B_%231_100%25"},  // query syntax
        {"Guest", "a=b;c", "n=Guest&p=a%3Db%3Bc"},
        {"Zo\xC3\xAB", "caf\xC3\xA9 ok", "n=Zo%C3%AB&p=caf%C3%A9_ok"},  // upper-case hex
        // The settings store has already substituted the nickname; a blank
        // left in it must still not break the query.
        {"a b&c", "x", "n=a%20b%26c&p=x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(endpoints::postShout(c.nick, c.message), script((std::string("op=inme&") + c.query).c_str()))
            << c.message;
}

TEST(Endpoints, PercentEncodeKeepsOnlyUnreservedBytes) {
    EXPECT_EQ(endpoints::percentEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(endpoints::percentEncode(eString("\x00\x7F\xFF", 3)), "%00%7F%FF");
    EXPECT_EQ(endpoints::percentEncode(""), "");
}

TEST(Endpoints, CategoryAndFileDetail) {
    EXPECT_EQ(endpoints::category("Plugins"), script("op=outcat&cat=Plugins"));
    EXPECT_EQ(endpoints::fileDetail(42), script("op=outfile&idf=42"));
    EXPECT_EQ(endpoints::fileDetail(-7), script("op=outfile&idf=-7"));
    EXPECT_EQ(endpoints::fileDetail(0), script("op=outfile&idf=0"));
}

TEST(Endpoints, DownloadDropsLineFeedsFromTheName) {
    EXPECT_EQ(endpoints::fileDownload("readme.txt\n"), endpoints::baseAddress() + "/lumennews/files/readme.txt");
    EXPECT_EQ(endpoints::fileDownload("a\nb\n"), endpoints::baseAddress() + "/lumennews/files/ab");
}

TEST(Endpoints, ArticleLinkLosesEveryItemidMarker) {
    EXPECT_EQ(endpoints::article("http://x.example/a?id=1"), "http://x.example/a?id=1");
    EXPECT_EQ(endpoints::article("http://x.example/a?id=1&Itemid=99999999&b=2&Itemid=99999999"),
              "http://x.example/a?id=1&b=2");
    // Only the exact text goes.
    EXPECT_EQ(endpoints::article("http://x.example/a?Itemid=99999999&Itemid=9999999"),
              "http://x.example/a?Itemid=99999999&Itemid=9999999");
}
