// The plug-in as the box runs it, one tour per window family: its screens,
// the requests the server saw and the files it changed are compared with
// their reviewed copy, which pins the windows' texts, focus and key handling
// (and their layout in the tours marked for it; scene.h says what a copy keeps). Built with LUMEN_VALGRIND, the tours
// marked for it run under valgrind's memcheck instead and must also show no
// invalid access and no definitely lost block.
#include <gtest/gtest.h>
#include <string>
#include "settings/paths.h"
#include "tests/e2e/scene.h"
#include "tests/support/reviewed.h"

#ifdef LUMEN_VALGRIND
#define LUMEN_MEMCHECK 1
#else
#define LUMEN_MEMCHECK 0
#endif

namespace {

const char* const kFeed = "/lumennews/index.php?op=outmerss";

struct Tour {
    const char* name;
    const char* settings;  // "" for no settings file
    const char* keys;
    bool layout = false;  // the copy keeps geometry: one tour per window layout
    bool serverUp = true;
    std::vector<e2e::Route> routes = {};  // other answers than the scene's
    bool memcheck = false;                // also a tour under valgrind
    bool stall = false;                   // the lists' replies never come
};

// A tour dumps only the screens it is about, not those another tour pins.
// One that ends with the menu's exit (exit 255) shows so that each exit
// before it closed one window.
const Tour kTours[] = {
    // Every entry opens its window, and exit brings the menu back with its
    // focus. The lists and the shoutbox are their own tours'.
    {"menu", "", "dump 1 wait dump exit 2 wait exit wait 3 wait exit wait 4 wait dump exit 5 wait exit "
                 "7 dump exit dump", true},
    {"menu_french", "lang=2\ndown=/var/tmp/\nnick=Guest\n", "dump 7 dump"},
    // Entry 2 twice in a row opens one list: one exit leads from it to the
    // menu, where 3 opens the Italian list.
    {"news", "", "2 2 wait dump ok wait dump exit dump down ok wait dump pagedown dump pagedown dump pageup dump "
                 "exit dump exit wait 3 wait dump ok wait dump exit exit exit", true},
    // The list is longer than a page: down and up scroll it. Refresh asks for it again.
    {"shoutbox", "lang=1\ndown=/var/tmp/\nnick=Tom & Jerry\n",
     "5 wait dump down dump down dump up dump ok dump text:\"hello world & more?\" ok right dump ok wait dump left ok "
     "dump exit dump right right ok wait exit exit",
     true, true, {{"/lumennews/index.php?op=outme", "tour/shouts_long.html"}}},
    // In Italian: the statistics, then the menu.
    {"statistics", "lang=3\ndown=/var/tmp/\nnick=Guest\n", "4 wait dump exit wait dump"},
    // A category without files; ok there opens nothing.
    {"downloads", "lang=1\ndown=/media/hdd/\nnick=Guest\n",
     "1 wait down ok wait dump exit wait ok wait dump down ok wait dump ok wait dump ok wait dump exit exit exit",
     true},
    // French from the language list, a word added to the nickname, saved.
    {"settings", "", "6 dump ok down ok dump down ok text:\" owl\" ok dump down down ok dump ok wait 7 dump", true},
    // A directory that does not exist is refused and the window stays.
    {"settings_bad_directory", "", "6 down down ok text:nowhere ok down ok dump ok dump exit exit"},
    {"missing_logo", "", "dump ok dump"},
    // Only http:// and https:// links are followed; the detail window keeps waiting.
    {"refused_links", "", "2 wait ok wait dump ok wait dump exit wait down ok wait dump ok wait exit wait down down ok "
                          "wait dump ok wait exit wait down down down ok wait dump ok wait exit wait "
                          "down down down down ok wait dump ok wait dump", false, true, {{kFeed, "tour/feed_refused_links.rss"}}},
    // Every entry once, left with exit keys: news and an article, a shout
    // posted, the statistics, a download, French saved, the about window.
    {"every_entry", "lang=1\ndown=/media/hdd/\nnick=Guest\n",
     "2 wait ok wait pagedown exit exit 5 wait ok text:hello ok right ok wait exit 4 wait exit 1 ok wait ok wait dump "
     "ok wait dump ok dump exit exit 6 ok down ok down down down ok wait dump ok 7 wait exit exit",
     false, true, {}, true},
    // Windows closed before their replies come, then the plug-in is left
    // while a feed downloads.
    {"leave_early", "", "4 exit wait 5 exit wait 1 ok exit wait 2 exit", false, true, {}, true, true},
    // Nothing listens: every request ends in the fetcher's box, and the window can try again.
    {"server_down", "", "2 wait dump ok wait dump 2 wait dump ok wait 5 wait dump ok wait dump exit "
                        "4 wait dump ok wait dump exit 1 wait ok wait dump ok wait dump", false, false},
};

void PrintTo(const Tour& tour, std::ostream* out) { *out << tour.name; }

std::vector<Tour> selected() {
    std::vector<Tour> tours;
    for (const Tour& tour : kTours)
        if (tour.memcheck || !LUMEN_MEMCHECK) tours.push_back(tour);
    return tours;
}

class Tours : public ::testing::TestWithParam<Tour> {};

}  // namespace

TEST_P(Tours, ShowTheReviewedScreensRequestsAndFiles) {
    const Tour& tour = GetParam();
    e2e::Scene scene(tour.settings);
    if (std::string(tour.name) == "missing_logo") std::remove(scene.root.path(paths::logo).c_str());
    for (const e2e::Route& route : tour.routes) scene.server.serve(route.target, e2e::fixture(route.fixture));
    for (const char* op : {"outmestats2", "outme", "outcat&cat=Cam", "outmerss"})
        if (tour.stall) scene.server.stall(std::string("/lumennews/index.php?op=") + op);
    LumenhostRun run = scene.options(tour.keys, tour.stall ? std::vector<std::string>{"--http-stall-timeout", "2"}
                                                            : std::vector<std::string>{},
                                     tour.serverUp);
#if LUMEN_MEMCHECK
    run.wrapper = {LUMEN_VALGRIND, "--error-exitcode=1", "--leak-check=full", "--errors-for-leak-kinds=definite"};
    run.extra.insert(run.extra.end(), {"--wait-timeout", "150"});
    run.timeoutSeconds = 600;
#endif
    LumenhostResult result = runLumenhost(run);
    if (LUMEN_MEMCHECK) {
        EXPECT_NE(result.err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("definitely lost: 0 bytes"), std::string::npos) << result.err;
    }
    expectReviewed(scene.report(result, !tour.stall, tour.layout), std::string("tour/") + tour.name);
}

INSTANTIATE_TEST_SUITE_P(EveryWindowFamily, Tours, ::testing::ValuesIn(selected()),
                         [](const ::testing::TestParamInfo<Tour>& info) { return std::string(info.param.name); });
