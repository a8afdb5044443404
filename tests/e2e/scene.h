// One run of the plug-in as the box loads it: lumenhost under a fresh box
// root (logos, a settings file, an older copy of the file a download would
// replace) against a loopback community server that answers every request
// of the plug-in from fixtures. report() turns what the run left into text
// for comparing with a reviewed copy (tests/support/reviewed.h).
//
// The report keeps what a reader of the copy checks, not every pixel:
// - per dump, only the innermost window (the one taking the keys), from its
//   window line; a dump the same as the one before it is left out;
// - a message box is its window line alone (title, flags, message): its
//   parts are the host's, pinned by the widget tests;
// - a window already written in the run is its window line and then only
//   the lines that changed since (all of them when their number changed);
// - lists show their current entry only (count= gives the number), lines
//   are cut at 160 bytes;
// - geometry (rect= outer= client= extent=) only where the tour checks
//   layout; a picture shows as `pixmap`, never its size;
// then `== exit N`, a `request PATH` line for each request the server saw,
// and the files the run added, changed or removed (`added PATH SIZE`; the
// settings file with its content quoted instead of its size).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/lumenhost_run.h"

namespace e2e {

// Request targets of the plug-in and the fixture each is answered with.
struct Route {
    const char* target;
    const char* fixture;  // under tests/data
};
extern const std::vector<Route> kRoutes;

// The fixture's content.
std::string fixture(const std::string& name);

// A file as the checks compare it: its size, and its content up to a size
// past which only replies of junk go. Holding such a reply would raise this
// process's peak memory, which a spawned lumenhost inherits in its count.
struct FileState {
    uint64_t size = 0;
    std::string content;  // "" past kHeldBytes
    bool operator==(const FileState& other) const { return size == other.size && content == other.content; }
};
constexpr uint64_t kHeldBytes = 1 << 20;
FileState stateOf(const std::string& content);

// The dumps of a run's output (each its lines), and the window lines of one
// dump, bottom to top.
std::vector<std::vector<std::string>> dumps(const std::string& out);
std::vector<std::string> windowLines(const std::vector<std::string>& dump);
// The title="..." part of a window line (with a box's flags and message).
std::string titleOf(const std::string& windowLine);

class Scene {
public:
    explicit Scene(const std::string& settings = "lang=1\ndown=/media/hdd/\nnick=Guest\n");

    // Runs lumenhost with `keys`; with `serverUp` false nothing listens.
    LumenhostResult run(const std::string& keys, std::vector<std::string> extra = {}, bool serverUp = true);
    // What run() would pass to runLumenhost, for changing it first; notes
    // the box's files as they are before the run.
    LumenhostRun options(const std::string& keys, std::vector<std::string> extra = {}, bool serverUp = true);
    // The run as the comment above says; without `requests` no request
    // lines (a run that leaves while a request starts may or may not have
    // sent it), without `layout` no geometry.
    std::string report(const LumenhostResult& result, bool requests, bool layout) const;
    // Every file in the box by its box path.
    std::map<std::string, FileState> files() const;
    const std::map<std::string, FileState>& filesBefore() const { return before; }

    BoxRoot root;
    LoopbackServer server;

private:
    std::map<std::string, FileState> before;
};

}  // namespace e2e
