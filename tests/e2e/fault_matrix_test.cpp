// Every request of the plug-in against every fault of the server or the
// network: whatever the fault, the run ends, a box or the reader's own
// result shows, the window can be left, no partial file stays and no kept
// file changes. What each case shows and leaves is compared with its
// reviewed copy; peak memory is checked outside the sanitizer build.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <tuple>
#include "tests/e2e/scene.h"
#include "tests/support/reviewed.h"

namespace {

struct Request {
    const char* name;
    const char* keys;      // from the main menu up to the key that sends it
    const char* target;    // what it asks the server for
    const char* previous;  // the request before it, "" for none
    int junkMb;            // MiB of junk for it: 60 where the reply may be large (under the reply limit)
};

const Request kRequests[] = {
    {"EnglishFeed", "2", "/lumennews/index.php?op=outmerss", "", 60},
    {"ItalianFeed", "3", "/lumennews/index.php?op=outmerss&tn=3", "", 4},
    {"Article", "2 wait ok", "/lumennews/article.php?sid=1", "/lumennews/index.php?op=outmerss", 60},
    {"ShoutList", "5", "/lumennews/index.php?op=outme", "", 4},
    // Type, leave editing, right to Send Shout, press it.
    {"ShoutPost", "5 wait ok text:hello ok right ok", "/lumennews/index.php?op=inme&n=Guest&p=hello",
     "/lumennews/index.php?op=outme", 4},
    {"Statistics", "4", "/lumennews/index.php?op=outmestats2", "", 4},
    {"CategoryList", "1 ok", "/lumennews/index.php?op=outcat&cat=Cam", "", 4},
    {"FileDetail", "1 ok wait ok", "/lumennews/index.php?op=outfile&idf=17", "/lumennews/index.php?op=outcat&cat=Cam",
     60},
    {"FileDownload", "1 ok wait ok wait ok", "/lumennews/files/readme.txt", "/lumennews/index.php?op=outfile&idf=17",
     60},
};

struct Fault {
    const char* name;
    std::function<void(LoopbackServer&, const Request&)> apply;
};

const Fault kFaults[] = {
    {"NotListening", [](LoopbackServer& s, const Request& r) { if (*r.previous) s.closeAfter(r.previous); }},
    {"NotFound", [](LoopbackServer& s, const Request& r) { s.serve(r.target, "no such page", 404); }},
    {"ServerError", [](LoopbackServer& s, const Request& r) { s.serve(r.target, "broken", 500); }},
    {"DroppedHalfway", [](LoopbackServer& s, const Request& r) { s.dropAfter(r.target, std::string(4096, 'x'), 2048); }},
    {"Stall", [](LoopbackServer& s, const Request& r) { s.stall(r.target); }},
    // 100 bytes, then silence: the time-out counts from the last byte.
    {"StallAfterData", [](LoopbackServer& s, const Request& r) { s.stall(r.target, 100); }},
    {"RedirectToFile", [](LoopbackServer& s, const Request& r) { s.redirect(r.target, "file:///etc/passwd"); }},
    {"RedirectLoop", [](LoopbackServer& s, const Request& r) {
         s.redirect(r.target, std::string("http://news.corvane.example") + r.target);
     }},
    {"EmptyBody", [](LoopbackServer& s, const Request& r) { s.serve(r.target, ""); }},
    // Statuses that are neither 200 nor an error: no success, no file.
    {"NotModified", [](LoopbackServer& s, const Request& r) { s.serve(r.target, "", 304); }},
    {"RedirectWithoutLocation", [](LoopbackServer& s, const Request& r) { s.serve(r.target, "moved", 302); }},
    {"OddStatus", [](LoopbackServer& s, const Request& r) { s.serve(r.target, "odd", 399); }},
    {"Junk", [](LoopbackServer& s, const Request& r) { s.junk(r.target, size_t(r.junkMb) << 20); }},
};

void PrintTo(const Request& request, std::ostream* out) { *out << request.name; }
void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

constexpr bool sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<Request, Fault>> {};

}  // namespace

TEST_P(FaultMatrix, ShowsItsBoxEndsInAKnownStateAndLeavesTheFilesAlone) {
    const auto& [request, fault] = GetParam();
    e2e::Scene scene;
    fault.apply(scene.server, request);
    const bool stall = std::string(fault.name).rfind("Stall", 0) == 0;
    // Past the box to the window behind it, the same keys again (a second try
    // where the window allows one), then leave.
    std::string keys = request.keys + std::string(" wait dump ok wait dump ") + request.keys + " wait dump ok wait exit wait dump";
    LumenhostResult result = scene.run(keys, stall ? std::vector<std::string>{"--http-stall-timeout", "2"}
                                                  : std::vector<std::string>{},
                                       *request.previous || std::string(fault.name) != "NotListening");
    ASSERT_FALSE(result.timedOut);
    expectReviewed(scene.report(result), std::string("faults/") + request.name + "_" + fault.name);
    RecordProperty("max_rss_kb", static_cast<int>(result.maxRssKb));
    if (std::string(fault.name) == "Junk" && !sanitized()) {
        EXPECT_LT(result.maxRssKb, 64 * 1024);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRequest, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(kRequests), ::testing::ValuesIn(kFaults)),
                         [](const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });
