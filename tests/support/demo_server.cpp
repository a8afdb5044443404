#include "tests/support/demo_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <utility>

#ifndef LUMEN_SERVER_BIN
#error "LUMEN_SERVER_BIN must name the lumen-server binary"
#endif
#ifndef LUMEN_SAMPLE_DATA
#error "LUMEN_SAMPLE_DATA must name the server's sample data folder"
#endif

extern char** environ;

namespace {

// Generous: sanitizer builds start slowly on a busy machine.
constexpr int startTimeoutMs = 15000;
const char* const listeningPrefix = "listening on 127.0.0.1:";

// Reads from `fd` until it closes, a line is complete (`oneLine`), or
// `timeoutMs` pass.
std::string readFrom(int fd, int timeoutMs, bool oneLine) {
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!oneLine || text.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buf[4096];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    return text;
}

// Starts lumen-server with `args`, its standard output (and error, when
// `withErrors`) into a pipe whose reading end is returned in `out`.
pid_t spawnServer(std::vector<std::string> args, int& out, bool withErrors) {
    args.insert(args.begin(), LUMEN_SERVER_BIN);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("lumen-server: pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (withErrors) posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        throw std::runtime_error(std::string("cannot start " LUMEN_SERVER_BIN ": ") + std::strerror(rc));
    }
    out = fds[0];
    return pid;
}

// Waits for `pid` at most `timeoutMs`, then kills it; its exit code or -1.
int reap(pid_t pid, int timeoutMs) {
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
}

}  // namespace

int runServerTool(const std::vector<std::string>& args, std::string& output) {
    int out = -1;
    pid_t pid = spawnServer(args, out, true);
    output = readFrom(out, 30000, false);
    ::close(out);
    return reap(pid, 1000);
}

DemoServer::DemoServer(std::vector<std::string> serveOptions, const std::string& sharedDatabase, bool fill)
    : options(std::move(serveOptions)), givenDatabase(sharedDatabase) {
    char pattern[] = "/tmp/lumen-server-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("DemoServer: no temporary folder");
    dir = pattern;
    const std::string files = dir + "/files";
    if (!givenDatabase.empty()) options.insert(options.end(), {"--files", files});
    try {
        std::string output;
        std::vector<std::string> init{"init", "--db", database(), "--sample", LUMEN_SAMPLE_DATA, "--files", files};
        if (fill && runServerTool(init, output) != 0) throw std::runtime_error("DemoServer: init failed: " + output);
        start();
    } catch (...) {
        std::filesystem::remove_all(dir);
        throw;
    }
}

void DemoServer::start() {
    // The tests post faster than a person would; a test of the pause sets its own.
    std::vector<std::string> args{"serve", "--db", database(), "--listen", "127.0.0.1:0", "--shout-interval", "0"};
    args.insert(args.end(), options.begin(), options.end());
    int out = -1;
    child = spawnServer(args, out, false);
    std::string line = readFrom(out, startTimeoutMs, true);
    // Nothing more is read: the server prints only this line.
    ::close(out);
    line = line.substr(0, line.find('\n'));
    listenPort = 0;
    if (line.rfind(listeningPrefix, 0) == 0) listenPort = std::atoi(line.c_str() + std::strlen(listeningPrefix));
    if (listenPort <= 0) {
        stop(1000);
        throw std::runtime_error("DemoServer: no \"listening on\" line, got \"" + line + "\"");
    }
}

DemoServer::~DemoServer() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

int DemoServer::stop(int timeoutMs) {
    if (child <= 0) return -1;
    const pid_t pid = std::exchange(child, -1);
    ::kill(pid, SIGTERM);
    return reap(pid, timeoutMs);
}

void DemoServer::kill() {
    if (child > 0) ::kill(child, SIGKILL);
    stop();  // reaps it
}

void DemoServer::restart() {
    stop();
    start();
}
