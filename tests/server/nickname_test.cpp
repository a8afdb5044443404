// Bans hold against the usual spelling tricks, and a post that the store
// fails to keep says so in its page.
#include <gtest/gtest.h>

#include <string>

#include "server/ban_key.h"
#include "server/sqlite_connection.h"
#include "server/site.h"
#include "server/store.h"
#include "tests/server/server_test_support.h"

using namespace srv;

namespace {

class PostTest : public ::testing::Test {
protected:
    void SetUp() override { Store::create(db); }
    int tool(const char* command, const std::string& nick) { return runTool({command, "--db", db, "--nick", nick}); }
    void serve() {
        store = Store::open(db);
        SiteSettings settings;
        settings.shoutInterval = std::chrono::milliseconds(0);
        site = std::make_unique<Site>(*store, settings);
    }
    // The text of the page answered to a post; every post is answered 200.
    std::string post(const std::string& nick, const std::string& message) {
        Reply reply = site->answer(scriptRequest("op=inme&n=" + nick + "&p=" + message));
        EXPECT_EQ(reply.status, 200);
        return *reply.body;
    }

    TempFolder dir;
    const std::string db = dir / "community.db";
    std::unique_ptr<Store> store;
    std::unique_ptr<Site> site;
};

const char* const refused = "This nickname may not shout here.";
const char* const saved = "Shout saved, thank you!";

}  // namespace

// Nicknames as a post carries them (query text: %XX is a byte).
TEST_F(PostTest, BansHoldAgainstSpellingTricks) {
    ASSERT_EQ(tool("ban", "\xC3\x89mile"), 0);  // Émile, composed
    ASSERT_EQ(tool("ban", "Nadia"), 0);
    serve();
    const struct {
        const char* trick;
        std::string nick;
        bool banned;
    } cases[] = {
        {"as banned", "%C3%89mile", true},
        {"lower case", "%C3%A9mile", true},
        {"upper case", "%C3%89MILE", true},
        {"decomposed accent", "E%CC%81mile", true},
        {"leading blank", "%20%C3%89mile", true},
        {"trailing blank", "%C3%89mile%20", true},
        {"no-break space", "%C3%89mile%C2%A0", true},
        {"blank sent as _", "%C3%89mile_", true},
        {"zero-width space", "%C3%89m%E2%80%8Bile", true},
        {"zero-width joiner", "%C3%89mi%E2%80%8Dle", true},
        {"soft hyphen", "%C3%89m%C2%ADile", true},
        {"variation selector", "%C3%89mile%EF%B8%8F", true},
        {"full-width letters", "%C3%89%EF%BD%8D%EF%BD%89%EF%BD%8C%EF%BD%85", true},
        {"Cyrillic i and e", "%C3%89m%D1%96l%D0%B5", true},
        {"Cyrillic capital A", "N%D0%90DI%D0%90", true},
        {"Greek alpha", "N%CE%B1dia", true},
        {"Greek capital Nu", "%CE%9Dadia", true},
        {"other name", "%C3%89milie", false},
        {"no accent is another name", "Emile", false},
    };
    for (const auto& c : cases) {
        std::string page = post(c.nick, "hello");
        EXPECT_NE(page.find(c.banned ? refused : saved), std::string::npos) << c.trick << ": " << page;
    }
    // A bidi override cannot hide the name either: the key ignores it, and
    // the post is refused for holding it.
    EXPECT_EQ(banKey("\xE2\x80\xAE\xC3\x89mile"), banKey("\xC3\x89mile"));
    EXPECT_NE(post("%E2%80%AE%C3%89mile", "hello").find("invalid characters"), std::string::npos);
}

TEST_F(PostTest, UnbanTakesAnySpellingAndTheKeyIsStable) {
    ASSERT_EQ(tool("ban", "  \xC3\x89MILE\xE2\x80\x8B"), 0);
    EXPECT_EQ(tool("ban", "\xC3\xA9mile"), 0);  // already banned: says so, succeeds
    ASSERT_EQ(tool("unban", "E\xCC\x81mile"), 0);
    EXPECT_EQ(tool("unban", "\xC3\x89mile"), 1);  // nothing left to unban
    EXPECT_EQ(tool("ban", " \xE2\x80\x8B "), 2);  // nothing that could be a nickname
    for (const char* nick : {"\xC3\x89mile", "E\xCC\x81MILE", " N\xCE\xB1\xD0\xB4ia_", "\xEF\xBC\xA1" "b"})
        EXPECT_EQ(banKey(banKey(nick)), banKey(nick)) << nick;
    serve();
    EXPECT_NE(post("%C3%A9mile", "hello").find(saved), std::string::npos);
}

TEST_F(PostTest, AFailedStoreIsSaidInThePage) {
    // The store refuses every new shout, as a full or damaged disk would.
    SqliteConnection(db, false).exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON shouts BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    serve();
    std::string page = post("Bo", "hello");
    EXPECT_NE(page.find("could not store the shout"), std::string::npos) << page;
    EXPECT_TRUE(store->latestShouts(10).empty());
}
