// Runs the demo community server (lumen-demo-server) for a test: started
// with "--port 0" and the given options, stopped and reaped when the object
// goes. Throws std::runtime_error when the server does not come up within
// a few seconds.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

class DemoServer {
public:
    // `options`: further command-line options, e.g. {"--fault-op", "outme", "--stall"}.
    explicit DemoServer(const std::vector<std::string>& options = {});
    ~DemoServer();  // stop()
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    int port() const { return listenPort; }
    // For the emulated HTTP client: "news.corvane.example:80:127.0.0.1:PORT".
    std::string connectTo() const;
    // "http://127.0.0.1:PORT" + path
    std::string url(const std::string& path) const;

    // SIGTERM, then waits up to `timeoutMs` for the exit; SIGKILL after
    // that. Returns the exit code, or -1 if the server had to be killed or
    // died of a signal. Later calls return -1.
    int stop(int timeoutMs = 5000);

private:
    pid_t child = -1;
    int listenPort = 0;
};
