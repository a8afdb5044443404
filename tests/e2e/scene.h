// One run of the plug-in as the box loads it: lumenhost under a fresh box
// root (logos, a settings file, an older copy of the file a download would
// replace) against a loopback community server that answers every request
// of the plug-in from fixtures. report() turns what the run left into text
// for comparing with a reviewed copy (tests/support/reviewed.h).
#pragma once
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

class Scene {
public:
    explicit Scene(const std::string& settings = "lang=1\ndown=/media/hdd/\nnick=Guest\n");

    // Runs lumenhost with `keys`; with `serverUp` false nothing listens.
    LumenhostResult run(const std::string& keys, std::vector<std::string> extra = {}, bool serverUp = true);
    // What run() would pass to runLumenhost, for changing it first.
    LumenhostRun options(const std::string& keys, std::vector<std::string> extra = {}, bool serverUp = true);
    // The dumps (lines over 4 KiB cut to their start and length, lists to
    // their first 20 entries), the
    // requests the server saw (unless `requests` is false: a run that
    // leaves while a request starts may or may not have sent it), the exit
    // code, every file in the box with its size, and the settings file.
    std::string report(const LumenhostResult& result, bool requests = true) const;

    BoxRoot root;
    LoopbackServer server;
};

}  // namespace e2e
