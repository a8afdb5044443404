// Every request of the plug-in against each kind of fault of the server or
// the network: whatever the fault, the fetcher's box (or, for a whole reply the
// reader cannot use, the reader's own result) shows, the window behind it
// comes back with its focus, exit keys lead out through the menu, and no
// file changes unless it holds a whole reply. Peak memory is checked
// outside the sanitizer build.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <tuple>
#include "host/ehttp.h"
#include "tests/e2e/scene.h"

namespace {

struct Request {
    const char* name;
    const char* keys;      // from the main menu up to the key that sends it
    const char* target;    // what it asks the server for
    const char* previous;  // the request before it, "" for none
    int junkMb;            // MiB of junk for it: 60 where the reply may be large (under the reply limit)
    const char* readerShows;  // the title the reader shows for a whole reply it cannot use
};

const char* const kShoutbox = "Welcome in Orbivox Shoutbox";
const Request kRequests[] = {
    {"EnglishFeed", "2", "/lumennews/index.php?op=outmerss", "", 60, "Error"},
    {"ItalianFeed", "3", "/lumennews/index.php?op=outmerss&tn=3", "", 4, "Error"},
    {"Article", "2 wait ok", "/lumennews/article.php?sid=1", "/lumennews/index.php?op=outmerss", 60, "Read News"},
    {"ShoutList", "5", "/lumennews/index.php?op=outme", "", 4, kShoutbox},
    // Type, leave editing, right to Send Shout, press it.
    {"ShoutPost", "5 wait ok text:hello ok right ok", "/lumennews/index.php?op=inme&n=Guest&p=hello",
     "/lumennews/index.php?op=outme", 4, kShoutbox},
    {"Statistics", "4", "/lumennews/index.php?op=outmestats2", "", 4, "Orbivox Daily News Statistics"},
    {"CategoryList", "1 ok", "/lumennews/index.php?op=outcat&cat=Cam", "", 4, "Cam"},
    {"FileDetail", "1 ok wait ok", "/lumennews/index.php?op=outfile&idf=17", "/lumennews/index.php?op=outcat&cat=Cam",
     60, "Plugin A\\n"},
    {"FileDownload", "1 ok wait ok wait ok", "/lumennews/files/readme.txt", "/lumennews/index.php?op=outfile&idf=17",
     60, "Download Completed"},
};

struct Fault {
    const char* name;
    int error;  // the fetcher's box says "Error <error>"; 0: the reply arrives whole, the reader judges it
    std::function<void(LoopbackServer&, const Request&)> apply;  // makes the server fail so
};

// One fault for each way a transfer ends for the plug-in: refused, a status
// before any byte is kept, cut short or stalled after some were, a redirect
// the host refuses, a whole reply. Which status or redirect gives which
// code is the host's (tests/emu/http/http_client_test.cpp); the plug-in shows
// every code alike.
using Http = eHTTPConnection;
using Server = LoopbackServer;
const Fault kFaults[] = {
    {"NotListening", Http::errorConnect, [](Server& s, const Request& r) { if (*r.previous) s.closeAfter(r.previous); }},
    {"NotFound", 404, [](Server& s, const Request& r) { s.serve(r.target, "no such page", 404); }},
    {"DroppedHalfway", Http::errorTransfer, [](Server& s, const Request& r) { s.dropAfter(r.target, std::string(4096, 'x'), 2048); }},
    {"Stall", Http::errorTimeout, [](Server& s, const Request& r) { s.stall(r.target); }},
    // 100 bytes, then silence: the time-out counts from the last byte.
    {"StallAfterData", Http::errorTimeout, [](Server& s, const Request& r) { s.stall(r.target, 100); }},
    {"RedirectToFile", Http::errorRedirectRefused, [](Server& s, const Request& r) { s.redirect(r.target, "file:///etc/passwd"); }},
    {"EmptyBody", 0, [](Server& s, const Request& r) { s.serve(r.target, ""); }},
    {"Junk", 0, [](Server& s, const Request& r) { s.junk(r.target, size_t(r.junkMb) << 20); }},
};

const char* const kMenuTitle = "title=\"Orbivox Daily News by Corvane Team\"";
constexpr int kExitKeys = 5;          // out of the plug-in from its deepest window (a box over a file's detail)
constexpr int kLeftByItsMenu = 255;   // plugin_exec's -1: its menu was closed with exit
constexpr long kJunkPeakKb = 64 * 1024;  // a reply is written as it comes, never held whole

// Whether `file` holds a whole reply of this run: a fixture the scene serves
// or the fault's own body when it arrives whole.
bool wholeReply(const e2e::FileState& file, const Request& request, const Fault& fault) {
    if (fault.error == 0 && file.size == (std::string(fault.name) == "Junk" ? uint64_t(request.junkMb) << 20 : 0))
        return true;
    for (const e2e::Route& route : e2e::kRoutes)
        if (file == e2e::stateOf(e2e::fixture(route.fixture))) return true;
    return false;
}

void PrintTo(const Request& request, std::ostream* out) { *out << request.name; }
void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

class FaultMatrix : public ::testing::TestWithParam<std::tuple<Request, Fault>> {};

}  // namespace

TEST_P(FaultMatrix, ShowsItsBoxCanBeLeftAndLeavesNoPartialFile) {
    const auto& [request, fault] = GetParam();
    e2e::Scene scene;
    fault.apply(scene.server, request);
    const bool stall = fault.error == eHTTPConnection::errorTimeout;
    std::string keys = request.keys + std::string(" wait dump ok wait dump");
    for (int i = 0; i < kExitKeys; ++i) keys += " exit wait dump";
    LumenhostResult result = scene.run(keys, stall ? std::vector<std::string>{"--http-stall-timeout", "2"}
                                                  : std::vector<std::string>{},
                                       *request.previous || std::string(fault.name) != "NotListening");
    ASSERT_FALSE(result.timedOut);
    const auto dumps = e2e::dumps(result.out);
    ASSERT_GE(dumps.size(), 2u) << result.out;
    const auto first = e2e::windowLines(dumps[0]), next = e2e::windowLines(dumps[1]), last = e2e::windowLines(dumps.back());
    ASSERT_FALSE(first.empty() || next.empty() || last.empty()) << result.out;

    // The box with the fault's words, or the reader's own result.
    const std::string shown = e2e::titleOf(first.back());
    if (fault.error) {
        EXPECT_EQ(shown, "title=\"User Abort\" flags=0x21 message=\"Error " + std::to_string(fault.error) + "\"");
    } else {
        EXPECT_EQ(shown.rfind("title=\"" + std::string(request.readerShows) + "\"", 0), 0u) << shown;
    }
    // The window behind the box comes back with its focus; exit keys lead out through the menu.
    if (fault.error && first.size() > 1) {
        EXPECT_EQ(e2e::titleOf(next.back()), e2e::titleOf(first[first.size() - 2]));
        EXPECT_NE(next.back().find(" focus="), std::string::npos) << next.back();
    }
    EXPECT_EQ(e2e::titleOf(last.back()), kMenuTitle) << result.out;
    EXPECT_EQ(result.exitCode, kLeftByItsMenu) << result.err;

    // A file the run added or changed holds a whole reply; none is removed.
    const auto after = scene.files();
    for (const auto& [path, file] : after) {
        auto was = scene.filesBefore().find(path);
        const bool kept = was != scene.filesBefore().end() && was->second == file;
        EXPECT_TRUE(kept || wholeReply(file, request, fault)) << path << " holds " << file.size << " bytes";
    }
    for (const auto& file : scene.filesBefore()) EXPECT_EQ(after.count(file.first), 1u) << file.first << " removed";

    RecordProperty("max_rss_kb", static_cast<int>(result.maxRssKb));
#ifndef __SANITIZE_ADDRESS__
    EXPECT_TRUE(std::string(fault.name) != "Junk" || result.maxRssKb < kJunkPeakKb) << result.maxRssKb << " KiB";
#endif
}

INSTANTIATE_TEST_SUITE_P(EveryRequest, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(kRequests), ::testing::ValuesIn(kFaults)),
                         [](const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });
