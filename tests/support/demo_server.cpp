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
#include <stdexcept>
#include <thread>

#ifndef LUMEN_DEMO_SERVER_BIN
#error "LUMEN_DEMO_SERVER_BIN must name the lumen-demo-server binary"
#endif

extern char** environ;

namespace {

// Generous: sanitizer builds start slowly on a busy machine.
constexpr int startTimeoutMs = 15000;
const char* const listeningPrefix = "listening on 127.0.0.1:";

// Reads the first line from `fd`, waiting at most `timeoutMs` in all.
std::string readFirstLine(int fd, int timeoutMs) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buf[256];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the server exited
        line.append(buf, static_cast<size_t>(n));
    }
    return line.substr(0, line.find('\n'));
}

}  // namespace

DemoServer::DemoServer(const std::vector<std::string>& options) {
    std::vector<std::string> args{LUMEN_DEMO_SERVER_BIN, "--port", "0"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("DemoServer: pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    int rc = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        child = -1;
        throw std::runtime_error(std::string("DemoServer: cannot start " LUMEN_DEMO_SERVER_BIN ": ") +
                                 std::strerror(rc));
    }
    std::string line = readFirstLine(out[0], startTimeoutMs);
    // Nothing more is read: the server prints only this line.
    ::close(out[0]);
    if (line.rfind(listeningPrefix, 0) == 0) listenPort = std::atoi(line.c_str() + std::strlen(listeningPrefix));
    if (listenPort <= 0) {
        stop(1000);
        throw std::runtime_error("DemoServer: no \"listening on\" line, got \"" + line + "\"");
    }
}

DemoServer::~DemoServer() { stop(); }

std::string DemoServer::connectTo() const {
    return "news.corvane.example:80:127.0.0.1:" + std::to_string(listenPort);
}

std::string DemoServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(listenPort) + path;
}

int DemoServer::stop(int timeoutMs) {
    if (child <= 0) return -1;
    pid_t pid = child;
    child = -1;
    ::kill(pid, SIGTERM);
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
