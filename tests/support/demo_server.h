// Runs the community server (lumen-server) for a test, on a fresh database
// made from the sample data in a folder of its own: started with
// "serve --listen 127.0.0.1:0 --shout-interval 0" and the given options,
// stopped and reaped, and its folder removed, when the object goes. Throws
// std::runtime_error when the server does not come up within a few seconds.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

class DemoServer {
public:
    // `options`: further options of "serve", e.g. {"--max-per-address", "2"}.
    // A given `database` (a postgresql:// URL) is served instead of a file of
    // its own; `fill` false serves it as it is (another server filled it).
    explicit DemoServer(std::vector<std::string> options = {}, const std::string& database = "", bool fill = true);
    ~DemoServer();  // stop(), then removes the folder
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    int port() const { return listenPort; }
    // The server's process, for signals (SIGHUP); -1 when stopped.
    pid_t pid() const { return child; }
    // The database file; the server's downloads are in folder() + "/files".
    std::string database() const { return givenDatabase.empty() ? dir + "/community.db" : givenDatabase; }
    std::string folder() const { return dir; }

    // SIGTERM, then waits up to `timeoutMs` for the exit; SIGKILL after
    // that. Returns the exit code, or -1 if the server had to be killed or
    // died of a signal. Later calls return -1.
    int stop(int timeoutMs = 5000);
    // SIGKILL at once, as a crash or power cut would; the folder stays.
    void kill();
    // Serves the same database again (after stop or kill), on a new port.
    void restart();

private:
    void start();

    std::vector<std::string> options;
    std::string givenDatabase;
    std::string dir;
    pid_t child = -1;
    int listenPort = 0;
};

// Runs lumen-server with `args`; its exit code, standard output and error
// joined in `output`. Bounded: killed after 30 s.
int runServerTool(const std::vector<std::string>& args, std::string& output);
