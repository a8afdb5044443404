// The reply cache stays within its budget whatever is asked of it.
#include <gtest/gtest.h>

#include <string>

#include "server/reply_cache.h"

using srv::ReplyCache;

TEST(ReplyCache, MissesAreNotKept) {
    ReplyCache<std::string> cache(64 * 1024);
    auto nothing = [] { return std::optional<std::string>(); };
    for (int id = 0; id < 10000; ++id) EXPECT_EQ(cache.find("file-" + std::to_string(id), nothing), nullptr);
    EXPECT_EQ(cache.bytes(), 0u);
    int made = 0;
    auto found = [&] { return std::optional<std::string>("detail " + std::to_string(++made)); };
    EXPECT_EQ(*cache.find("file-1", found), "detail 1");
    EXPECT_EQ(*cache.find("file-1", found), "detail 1");  // kept once found
    EXPECT_EQ(made, 1);
}

TEST(ReplyCache, TheBudgetDropsTheLeastRecentlyUsed) {
    const size_t budget = 16 * 1024, body = 1000;
    ReplyCache<std::string> cache(budget);
    int made = 0;
    auto make = [&] { ++made; return std::string(body, 'x'); };
    cache.get("feed", make);
    for (int i = 0; i < 100; ++i) {
        cache.get("page-" + std::to_string(i), make);
        cache.get("feed", make);  // in use all along: stays
        EXPECT_LE(cache.bytes(), budget);
    }
    EXPECT_EQ(made, 101);
    made = 0;
    cache.get("page-99", make);
    cache.get("page-0", make);  // long unused: dropped
    EXPECT_EQ(made, 1);
    EXPECT_EQ(*cache.get("huge", [] { return std::string(2 * budget, 'h'); }), std::string(2 * budget, 'h'));
    EXPECT_LE(cache.bytes(), budget);  // handed out, not kept
}

TEST(ReplyCache, ABodyMadeDuringAChangeIsNotKept) {
    ReplyCache<std::string> cache;
    int made = 0;
    cache.get("outme", [&] {
        cache.clear();  // the store changed while the page was made
        return "stale " + std::to_string(++made);
    });
    EXPECT_EQ(*cache.get("outme", [&] { return "fresh " + std::to_string(++made); }), "fresh 2");
    EXPECT_EQ(*cache.get("outme", [&] { return "again " + std::to_string(++made); }), "fresh 2");
}
