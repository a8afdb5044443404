// Runs the lumenhost binary of this build as a subprocess, for end-to-end
// tests. The run is bounded in time: a run that overstays is killed and
// fails the test.
//
//   BoxRoot box;
//   LumenhostRun run;
//   run.root = box.dir();
//   run.keys = "2 wait dump";
//   run.connectTo = "news.corvane.example:80:127.0.0.1:" + std::to_string(server.port());
//   LumenhostResult result = runLumenhost(run);
//   EXPECT_EQ(result.exitCode, 0) << result.err;
//   auto screens = e2e::dumps(result.out);  // tests/e2e/scene.h
//
// The child never opens a window (--keys is always passed, DISPLAY and
// WAYLAND_DISPLAY are removed from its environment). Link
// lumen_e2e_support to use this.
#pragma once
#include <string>
#include <vector>

struct LumenhostRun {
    std::string plugin;          // "" = lumenhost's default, the project's plug-in
    std::string root;            // --root, "" for none (usually BoxRoot::dir())
    std::string keys;            // --keys (steps separated by blanks)
    std::string connectTo;       // --connect-to, "" for none
    std::string dump = "-";      // --dump: "-" puts every dump on stdout; "" omits it
    std::vector<std::string> extra;  // further arguments, as they are
    std::vector<std::string> env;    // extra environment entries, "NAME=value"
    // A command that runs lumenhost, e.g. {"/usr/bin/valgrind", "-q"}: its
    // first word is a full path; lumenhost and its arguments follow it.
    std::vector<std::string> wrapper;
    int timeoutSeconds = 120;    // then the child is killed
};

struct LumenhostResult {
    int exitCode = -1;  // the exit status; 128 + N when killed by signal N
    std::string out;    // stdout (the dumps)
    std::string err;    // stderr
    bool timedOut = false;
    long maxRssKb = 0;  // the child's peak resident set (getrusage's ru_maxrss)
};

LumenhostResult runLumenhost(const LumenhostRun& run);
