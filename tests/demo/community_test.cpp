// Shoutbox, statistics and download area, as the plug-in's readers see them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/demo/client.h"
#include "tests/demo/plugin_view.h"

namespace {

std::string get(const DemoServer& server, const std::string& query, int status = 200) {
    auto res = fetch(server, std::string(script) + "?" + query);
    if (!res) {
        ADD_FAILURE() << query << ": no answer";
        return "";
    }
    EXPECT_EQ(res->status, status) << query;
    return res->body;
}

bool isNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

TEST(Shoutbox, ListHasTheMarkerAndWholeRowsWithEntities) {
    DemoServer server;
    std::string page = get(server, "op=outme");
    auto list = view::shoutList(page);
    ASSERT_TRUE(list.marker);
    ASSERT_GE(list.fields.size(), 20u);
    EXPECT_EQ(list.fields.size() % 4, 0u);
    std::string afterMarker = page.substr(page.find("end document head"));
    EXPECT_TRUE(std::regex_search(afterMarker, std::regex("&[a-z]+;")));
    for (size_t i = 0; i < list.fields.size() / 4; ++i) {
        auto row = list.row(i);
        EXPECT_TRUE(std::regex_match(row[0], std::regex("\\d\\d:\\d\\d"))) << row[0];
        EXPECT_TRUE(std::regex_match(row[3], std::regex("\\d\\d/\\d\\d/\\d{4}"))) << row[3];
    }
}

TEST(Shoutbox, PostedShoutComesFirstWithItsTextDecoded) {
    DemoServer server;
    // As the plug-in sends it: blanks already "_", "=" and "%" left raw.
    get(server, "op=inme&n=Test_er&p=Hello_there%21+%3Cb%3Ebold%3C%2Fb%3E_1=1_50%");
    auto list = view::shoutList(get(server, "op=outme"));
    ASSERT_GE(list.fields.size(), 4u);
    auto first = list.row(0);
    EXPECT_EQ(first[1], "Test_er");
    // Markup typed by a user stays text.
    EXPECT_EQ(first[2], "Hello_there! <b>bold</b>_1=1_50%");
    EXPECT_EQ(list.fields.size() % 4, 0u);
}

TEST(Shoutbox, ShortAndEmptyPosts) {
    DemoServer server;
    size_t before = view::shoutList(get(server, "op=outme")).fields.size();
    get(server, "op=inme&n=Guest&p=", 400);
    EXPECT_EQ(view::shoutList(get(server, "op=outme")).fields.size(), before);
    // A one-letter message still fills its column.
    get(server, "op=inme&n=&p=x");
    auto list = view::shoutList(get(server, "op=outme"));
    ASSERT_EQ(list.fields.size(), before + 4);
    EXPECT_EQ(list.row(0)[1], "Guest");
    EXPECT_EQ(list.row(0)[2], "x ");
}

TEST(Statistics, NineLinesWhoseShoutCountFollowsThePosts) {
    DemoServer server;
    auto first = view::lines(get(server, "op=outmestats2"));
    ASSERT_EQ(first.size(), 9u);
    for (int i : {0, 1, 2, 3, 4, 6, 8}) EXPECT_TRUE(isNumber(first[i])) << i + 1 << ": " << first[i];
    EXPECT_FALSE(first[5].empty());
    EXPECT_FALSE(first[7].empty());
    get(server, "op=inme&n=Counter&p=one_more");
    auto second = view::lines(get(server, "op=outmestats2"));
    ASSERT_EQ(second.size(), 9u);
    EXPECT_EQ(std::stol(second[4]), std::stol(first[4]) + 1);
    EXPECT_GT(std::stol(second[0]), std::stol(first[0]));
}

TEST(DownloadArea, EveryCategoryListsFilesWhoseDetailsAndDownloadsAgree) {
    DemoServer server;
    size_t files = 0;
    for (const char* category : {"Cam", "Keys", "Plugins", "Script", "Settings", "Skins"}) {
        std::string body = get(server, std::string("op=outcat&cat=") + category);
        ASSERT_EQ(view::lines(body).size() % 2, 0u) << category;
        auto pairs = view::categoryPairs(body);
        ASSERT_FALSE(pairs.empty()) << category;
        for (const auto& [id, title] : pairs) {
            ASSERT_GT(id, 0) << category;
            auto detail = view::lines(get(server, "op=outfile&idf=" + std::to_string(id)));
            ASSERT_GE(detail.size(), 7u) << id;
            EXPECT_EQ(view::decoded(detail[1]), title) << id;
            std::smatch size;
            ASSERT_TRUE(std::regex_match(detail[4], size, std::regex("(\\d+) bytes"))) << detail[4];
            EXPECT_TRUE(isNumber(detail[5])) << detail[5];
            auto download = fetch(server, "/lumennews/files/" + detail[0]);
            ASSERT_TRUE(download);
            EXPECT_EQ(download->status, 200) << detail[0];
            EXPECT_EQ(download->body.size(), std::stoul(size[1])) << detail[0];
            ++files;
        }
    }
    EXPECT_EQ(std::to_string(files), view::lines(get(server, "op=outmestats2"))[3]);
}

TEST(DownloadArea, PluginsHaveSeveralFilesAndAnEntityInATitle) {
    DemoServer server;
    std::string body = get(server, "op=outcat&cat=Plugins");
    auto pairs = view::categoryPairs(body);
    EXPECT_GE(pairs.size(), 3u);
    EXPECT_NE(body.find("Tips &amp; Tricks"), std::string::npos);
    bool decoded = false;
    for (const auto& pair : pairs) decoded |= pair.second.find("Tips & Tricks") == 0;
    EXPECT_TRUE(decoded);
}

TEST(Requests, UnknownOperationsAndNamesAreNotFound) {
    DemoServer server;
    for (const char* query : {"op=nothing", "", "op=outcat&cat=Nope", "op=outcat&cat=..%2Fstats",
                              "op=outfile&idf=999", "op=outfile&idf=-31", "op=article&sid=9999",
                              "op=article&sid=..%2F..%2Fstats"})
        get(server, query, 404);
    auto other = fetch(server, "/lumennews/stats.txt");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
    auto missing = fetch(server, "/lumennews/files/no_such_file.txt");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

TEST(Requests, DownloadNamesThatLeaveTheFolderAreRefused) {
    DemoServer server;
    for (const char* path : {"/lumennews/files/../stats.txt", "/lumennews/files/..%2Fstats.txt",
                             "/lumennews/files/%2Fetc%2Fpasswd", "/lumennews/files/sub/file.txt",
                             "/lumennews/files/..", "/lumennews/files/cam_autostart.sh%00"}) {
        auto res = fetch(server, path);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, 403) << path;
        EXPECT_EQ(res->body.find("48213"), std::string::npos) << path;
    }
}

TEST(Requests, EachRequestIsLoggedWithItsUserAgent) {
    char name[] = "/tmp/lumen-demo-log-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        DemoServer server({"--log", name});
        get(server, "op=outme");
        get(server, "op=outcat&cat=Skins");
    }
    std::ifstream in(name);
    std::stringstream log;
    log << in.rdbuf();
    std::remove(name);
    EXPECT_EQ(log.str(),
              "GET /lumennews/index.php?op=outme HTTP/1.1 User-Agent: CORVANENEWS\n"
              "GET /lumennews/index.php?op=outcat&cat=Skins HTTP/1.1 User-Agent: CORVANENEWS\n");
}

}  // namespace
