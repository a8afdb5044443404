// The store on both back ends, several instances on one database as
// several servers would have: counts add up, the shout pause holds across
// them, posts are acknowledged only once committed, changes are seen by
// the others, a community moves between back ends, and databases that are
// not this server's or not writable are refused untouched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "server/site.h"
#include "server/sqlite_connection.h"
#include "server/schema.h"
#include "server/store.h"
#include "server/store_copy.h"
#include "tests/server/server_test_support.h"

namespace {

using srv::Backend;
using srv::PostOutcome;
using srv::Store;
using testing::HasSubstr;
using testing::ThrowsMessage;

class StoreOn : public OnBackend {
protected:
    void SetUp() override { Store::create(database.db()); }
    std::unique_ptr<Store> open() { return Store::open(database.db()); }
};

int64_t addArticle(Store& store, const std::string& title = "t", const std::string& body = "") {
    srv::Article article;
    article.title = title;
    article.body = body;
    return store.addArticle(article);
}

srv::Shout shoutFrom(const std::string& address, const std::string& message) {
    return srv::Shout{0, 1700000000, "nick", message, address};
}

// Posts and waits for the outcome.
PostOutcome post(Store& store, const srv::Shout& shout, std::chrono::milliseconds pause) {
    std::promise<PostOutcome> done;
    store.postShout(shout, pause, [&](PostOutcome o) { done.set_value(o); });
    return done.get_future().get();
}

TEST_P(StoreOn, CountsOfSeveralServersAddUpAndAreNeverOverwritten) {
    auto a = open(), b = open();
    const int64_t id = addArticle(*a);
    constexpr int perStore = 500;
    auto count = [&](Store& s, const std::string& address) {
        for (int i = 0; i < perStore; ++i) {
            s.countRead(id);
            s.countRequest(srv::pluginRequestCounter);
            if (i % 100 == 0) s.flushCounts();  // flushes interleave with the other store's
        }
        s.visit("2030-01-01", address);
        s.visit("2030-01-01", "shared");
        s.flushCounts();
    };
    inParallel(2, [&](int i) { count(i ? *b : *a, i ? "b" : "a"); });
    EXPECT_EQ(a->article(id)->reads, 2 * perStore);
    EXPECT_EQ(a->counter(srv::pluginRequestCounter), 2 * perStore);
    EXPECT_EQ(a->visitors("2030-01-01"), (std::vector<std::string>{"a", "b", "shared"}));
    EXPECT_FALSE(a->flushCounts()) << "nothing left to add";
}

TEST_P(StoreOn, TheShoutPauseHoldsAcrossServers) {
    auto a = open(), b = open();
    constexpr auto pause = std::chrono::seconds(60);
    std::atomic<int> stored{0};
    inParallel(4, [&](int i) {  // two posts through each store at once
        stored += post(i % 2 ? *b : *a, shoutFrom("10.0.0.1", "flood"), pause) == PostOutcome::Stored;
    });
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(post(*b, shoutFrom("10.0.0.2", "other address"), pause), PostOutcome::Stored);
}

TEST_P(StoreOn, PostsAreAcknowledgedOnlyOnceCommittedAndStoredOnce) {
    auto store = open(), observer = open();
    constexpr int posters = 8, each = 40;
    std::atomic<int> seenAtAnswer{0};
    inParallel(posters, [&](int p) {
        for (int i = 0; i < each; ++i) {
            std::string message = "m" + std::to_string(p * each + i);
            std::promise<void> answered;
            store->postShout(shoutFrom("10.1.0." + std::to_string(p), message), std::chrono::milliseconds(0),
                             [&](PostOutcome o) {
                                 // Another connection sees the row when the poster is told.
                                 for (const srv::Shout& s : observer->latestShouts(posters * each))
                                     if (s.message == message && o == PostOutcome::Stored) ++seenAtAnswer;
                                 answered.set_value();
                             });
            answered.get_future().wait();
        }
    });
    EXPECT_EQ(seenAtAnswer, posters * each);
    std::map<std::string, int> copies;
    for (const srv::Shout& s : observer->latestShouts(10 * posters * each)) ++copies[s.message];
    for (int n = 0; n < posters * each; ++n) EXPECT_EQ(copies["m" + std::to_string(n)], 1) << n;
}

TEST_P(StoreOn, ThePostsOfTheSiteAnswerLaterWithoutHoldingTheCaller) {
    auto store = open();
    srv::Site site(*store, srv::SiteSettings{});
    constexpr int posts = 300;
    std::mutex lock;
    std::condition_variable allAnswered;
    int answered = 0, saved = 0, fromTheCaller = 0;
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < posts; ++i) {
        const std::string n = std::to_string(i);
        site.handle(scriptRequest("op=inme&n=N&p=site-" + n, "10.2.0." + n), [&](srv::Reply reply) {
            std::lock_guard<std::mutex> guard(lock);
            saved += reply.body->find("saved, thank you") != std::string::npos;
            fromTheCaller += std::this_thread::get_id() == caller;
            if (++answered == posts) allAnswered.notify_one();
        });
    }
    std::unique_lock<std::mutex> guard(lock);
    ASSERT_TRUE(allAnswered.wait_for(guard, std::chrono::seconds(30), [&] { return answered == posts; }));
    EXPECT_EQ(saved, posts);
    EXPECT_EQ(fromTheCaller, 0) << "answered by the writer after its commit, not by the caller";
    EXPECT_EQ(store->latestShouts(2 * posts).size(), static_cast<size_t>(posts));
}

TEST_P(StoreOn, AChangeByAnotherServerIsSeenWithinASecond) {
    auto a = open(), b = open();
    const int64_t before = a->dataVersion();
    b->ban("someone");
    EXPECT_TRUE(within(std::chrono::seconds(1), [&] { return a->dataVersion() != before; }));
}

TEST_P(StoreOn, OnlyChangesOfContentMoveTheContentGeneration) {
    auto a = open(), b = open();
    const int64_t id = addArticle(*a);
    const int64_t start = b->contentGeneration();
    a->countRead(id);
    a->countRequest(srv::pluginRequestCounter);
    a->visit("2030-01-01", "10.0.0.1");
    ASSERT_TRUE(a->flushCounts());
    EXPECT_EQ(b->contentGeneration(), start) << "counts keep every cached feed and list";
    a->ban("someone");
    EXPECT_GT(b->contentGeneration(), start);
    const int64_t banned = b->contentGeneration();
    EXPECT_EQ(post(*a, shoutFrom("10.0.0.1", "hello"), std::chrono::milliseconds(0)), PostOutcome::Stored);
    EXPECT_GT(b->contentGeneration(), banned) << "a post changes the shout list";
}

TEST_P(StoreOn, RefusesADatabaseItCannotWriteAndLeavesItAlone) {
    if (GetParam() == Backend::Postgres) {
        database.admin("ALTER DATABASE " + database.db().substr(database.db().rfind('/') + 1) +
                        " SET default_transaction_read_only = on");
        EXPECT_THAT([&] { Store::open(database.db()); }, ThrowsMessage<srv::DatabaseError>(HasSubstr("read-only")));
        return;
    }
    // Root writes any file: the check runs as nobody, in a child.
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(database.db(), std::filesystem::perms(0444));
    const std::string before = fileBytes(database.db());
    EXPECT_EXIT(
        {
            if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
            try {
                Store::open(database.db());
            } catch (const srv::DatabaseError& e) {
                std::fputs(e.what(), stderr);
                ::_exit(0);
            }
            ::_exit(2);
        },
        testing::ExitedWithCode(0), "read-only");
    EXPECT_EQ(fileBytes(database.db()), before);
}

TEST_P(StoreOn, RefusesAnotherProgramsDatabaseAndLeavesItAlone) {
    TestDatabase foreign(GetParam(), folder / "foreign.db");
    if (GetParam() == Backend::Sqlite) {
        srv::SqliteConnection(foreign.db(), true).exec("CREATE TABLE notes (x TEXT); PRAGMA user_version = 1");
    } else {
        foreign.admin("CREATE TABLE notes (x TEXT); CREATE TABLE lumen_schema (version INTEGER);"
                      " INSERT INTO lumen_schema VALUES (1)");
    }
    const std::string before = fileBytes(foreign.db());  // SQLite's file
    EXPECT_THAT([&] { Store::open(foreign.db()); },
                ThrowsMessage<srv::DatabaseError>(HasSubstr("not a lumen-server database")));
    if (GetParam() == Backend::Sqlite) {
        EXPECT_EQ(fileBytes(foreign.db()), before);
    }
}

TEST_P(StoreOn, ACommunityMovesToTheOtherBackEndAndBack) {
    const Backend other = GetParam() == Backend::Sqlite ? Backend::Postgres : Backend::Sqlite;
    TestDatabase there(other, folder / "there.db"), back(GetParam(), folder / "back.db");
    {
        auto source = open();
        addArticle(*source, "quote ' and ? mark", "é ü 漢");
        source->addShout(shoutFrom("1.2.3.4", "hello"));
        source->ban("Troll");
        source->countRequest(srv::pluginRequestCounter);
        source->visit("2030-01-01", "1.2.3.4");
        source->flushCounts();
        source->addFile(srv::FileEntry{0, "Keys", "k.txt", "Keys", "me", "2030-01-01", 3, 7, "d"});
        auto target = Store::create(there.db());
        EXPECT_EQ(srv::copyCommunity(*source, *target).tables, static_cast<int>(srv::communityTables().size()));
    }
    auto target = Store::open(there.db());
    auto home = Store::create(back.db());
    srv::copyCommunity(*target, *home);
    EXPECT_EQ(home->news("en").at(0).body, "é ü 漢");
    EXPECT_EQ(home->news("en").at(0).title, "quote ' and ? mark");
    EXPECT_EQ(home->bans(), std::vector<std::string>{"troll"});
    EXPECT_EQ(home->counter(srv::pluginRequestCounter), 1);
    EXPECT_EQ(home->fileNamed("k.txt")->downloads, 7);
    // New rows take keys after the copied ones.
    const int64_t copied = home->latestShouts(1).at(0).id;
    EXPECT_GT(target->addShout(shoutFrom("5.6.7.8", "after")), copied);
    EXPECT_THROW(srv::copyCommunity(*target, *home), srv::DatabaseError) << "the target holds rows already";
}

INSTANTIATE_ON_BOTH_BACKENDS(StoreOn);

}  // namespace
