// The community server over loopback: what it keeps across a crash, under
// concurrent posts and abuse, what it counts, the databases it refuses,
// and the content tools' effect on its replies.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "community/ParseShoutInput.h"
#include "community/endpoints.h"
#include "server/sqlite_connection.h"
#include "tests/server/server_test_support.h"
#include "tests/support/demo_server.h"
#include "text/text_cleaning.h"

namespace {

// The reply body of one GET sent as the plug-in sends it; "" and a failure
// when there is no 200 answer.
std::string get(const DemoServer& server, const std::string& target) {
    httplib::Client client("127.0.0.1", server.port());
    client.set_url_encode(false);
    client.set_connection_timeout(3, 0);
    client.set_read_timeout(10, 0);
    auto res = client.Get(target, {{"User-Agent", "CORVANENEWS"}});
    const bool answered = res && res->status == 200;
    EXPECT_TRUE(answered) << target << ": " << (res ? std::to_string(res->status) : "no answer");
    return answered ? res->body : "";
}

std::string script(const std::string& query) { return "/lumennews/index.php?" + query; }

// A plug-in URL without the base address.
std::string target(const eString& url) { return std::string(url).substr(endpoints::baseAddress().size()); }

long shoutCount(const DemoServer& server) { return std::stol(lines(get(server, script("op=outmestats2"))).at(4)); }

std::string shoutText(const DemoServer& server) {
    return formatShoutList(asFile(get(server, script("op=outme"))).get(), 1);
}

// Changes by the tools reach the server's cache within a second or so.
bool eventually(const DemoServer& server, const std::string& query, const std::string& text, bool present) {
    auto shown = [&] { return (get(server, script(query)).find(text) != std::string::npos) == present; };
    return within(std::chrono::seconds(5), shown);
}

// The same tests on each back end: an SQLite file in the test's folder, or
// a new database on the test cluster, filled by the server.
class ServerOn : public OnBackend {};

}  // namespace

INSTANTIATE_ON_BOTH_BACKENDS(ServerOn);

TEST_P(ServerOn, APostSurvivesAKillThePauseHoldsAndSigtermStopsCleanly) {
    DemoServer server({"--shout-interval", "60"}, database.db());
    const long before = shoutCount(server);
    // As long as the plug-in lets a shout be: the list still reads it whole.
    const eString typed = "kept after a crash & <b>" + std::string(476, 'y');
    get(server, target(endpoints::postShout("Tester", typed)));
    server.kill();
    server.restart();
    get(server, script("op=inme&n=Tester&p=again"));
    EXPECT_EQ(shoutCount(server), before + 1) << "a second post within the pause";
    // Whole rows only: the header's line, then four fields per shout.
    const std::string text = shoutText(server), shown = substituteForRequest(typed);
    EXPECT_NE(text.find("   Tester  ->  " + shown + std::string(13, ' ')), std::string::npos) << text;
    EXPECT_EQ(text.find("again"), std::string::npos);
    EXPECT_EQ(server.stop(), 0);
}

TEST_P(ServerOn, DownloadsAndReadsAreCountedInTheStatistics) {
    DemoServer server({}, database.db());
    auto before = lines(get(server, script("op=outmestats2")));
    ASSERT_EQ(before.size(), 9u);
    std::string bytes = get(server, "/lumennews/files/weatherglobe_1.2.tar.gz");
    EXPECT_EQ(bytes, fileBytes(server.folder() + "/files/weatherglobe_1.2.tar.gz"));
    // A page shows the reads counted before it, added to the database
    // within a second or so.
    EXPECT_NE(get(server, script("op=article&sid=101")).find("\n1532\n"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_NE(get(server, script("op=article&sid=101")).find("\n1533\n"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    auto after = lines(get(server, script("op=outmestats2")));
    ASSERT_EQ(after.size(), 9u);
    EXPECT_GT(std::stol(after[0]), std::stol(before[0]));  // the plug-in's requests
    EXPECT_EQ(after[1], "1");                              // one address today
    EXPECT_EQ(std::stol(after[6]), std::stol(before[6]) + 2);
    EXPECT_EQ(std::stol(after[8]), std::stol(before[8]) + 1);
}

TEST(Server, RefusesADamagedOrNewerDatabaseAndLeavesItAlone) {
    DemoServer sample;
    sample.stop();
    const struct {
        const char* what;
        std::function<void(const std::string&)> spoil;
        const char* message;
    } cases[] = {
        {"not a database", [](const std::string& db) { std::ofstream(db, std::ios::trunc) << std::string(8192, 'j'); },
         "is not a usable database"},
        {"empty file", [](const std::string& db) { std::ofstream(db, std::ios::trunc); },
         "not a lumen-server database"},
        {"newer", [](const std::string& db) { srv::SqliteConnection(db, false).exec("PRAGMA user_version = 99"); },
         "schema version 99, newer than"},
        {"damaged page", [](const std::string& db) {
             std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(3 * 4096);
             f << std::string(4096, '\x5a');
         }, "is damaged"},
    };
    for (const auto& c : cases) {
        std::string db = sample.folder() + "/" + c.what + ".db";
        std::filesystem::copy_file(sample.database(), db);
        c.spoil(db);
        std::string before = fileBytes(db), output;
        EXPECT_EQ(runServerTool({"serve", "--db", db, "--listen", "127.0.0.1:0"}, output), 1) << c.what;
        EXPECT_EQ(lines(output).size(), 1u) << output;
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
        EXPECT_EQ(fileBytes(db), before) << c.what;
    }
}

TEST_P(ServerOn, ContentToolsChangeTheReplies) {
    DemoServer server({}, database.db());
    const std::string db = server.database(), dir = server.folder();
    std::ofstream(dir + "/keys.txt") << "key list\n";
    const struct {
        std::vector<std::string> args;
        std::string post;  // a post sent after the tool ran, or ""
        std::string query, text;
        bool present;
    } steps[] = {
        {{"news-edit", "--id", "101", "--title", "Edited title"}, "", "op=outmerss", "<title>Edited title<", true},
        {{"news-delete", "--id", "102"}, "", "op=outmerss", "sid=102&", false},
        {{"file-add", "--category", "Keys", "--file", dir + "/keys.txt", "--title", "New keys", "--uploader", "me"}, "",
         "op=outcat&cat=Keys", "\nNew keys\n", true},
        {{"file-remove", "--id", "11"}, "", "op=outcat&cat=Cam", "Ferrocam 1.4 config template", false},
        {{"shout-delete", "--id", "1"}, "", "op=outme", "dishwalker", false},
        {{"ban", "--nick", "Nadine"}, "n=nadine&p=banned_post", "op=outme", "banned_post", false},
        {{"unban", "--nick", "NADINE"}, "n=Nadine&p=allowed_post", "op=outme", "allowed_post", true},
    };
    for (const auto& step : steps) {
        std::vector<std::string> args = step.args;
        args.insert(args.begin() + 1, {"--db", db});
        if (args[0].rfind("file-", 0) == 0) args.insert(args.end(), {"--files", dir + "/files"});
        std::string output;
        ASSERT_EQ(runServerTool(args, output), 0) << args[0] << ": " << output;
        EXPECT_EQ(lines(output).size(), 1u) << output;
        if (!step.post.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the ban list reaches the server
            get(server, script("op=inme&" + step.post));
        }
        EXPECT_TRUE(eventually(server, step.query, step.text, step.present)) << args[0];
    }
    std::string output;
    EXPECT_EQ(runServerTool({"stats", "--db", db}, output), 0);
    EXPECT_EQ(lines(output).size(), 9u) << output;
    EXPECT_EQ(runServerTool({"news-list", "--db", db, "--lang", "en"}, output), 0);
    EXPECT_NE(output.find("\t1532\tEdited title\n"), std::string::npos) << output;
    EXPECT_EQ(runServerTool({"news-delete", "--db", db, "--id", "x"}, output), 2);
    EXPECT_EQ(runServerTool({"news-delete", "--db", db, "--id", "999"}, output), 1);
    EXPECT_EQ(output, "lumen-server news-delete: no news 999\n");
}
