#include "tests/support/lumenhost_run.h"
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>

extern char** environ;

namespace {

std::vector<std::string> arguments(const LumenhostRun& run) {
    std::vector<std::string> args = run.wrapper;
    args.push_back(LUMENHOST_PATH);
    if (!run.plugin.empty()) args.insert(args.end(), {"--plugin", run.plugin});
    if (!run.root.empty()) args.insert(args.end(), {"--root", run.root});
    args.insert(args.end(), {"--keys", run.keys});
    if (!run.connectTo.empty()) args.insert(args.end(), {"--connect-to", run.connectTo});
    if (!run.dump.empty()) args.insert(args.end(), {"--dump", run.dump});
    args.insert(args.end(), run.extra.begin(), run.extra.end());
    return args;
}

// The test's environment without a display (the runner stays headless),
// with the run's own entries in place of any of the same name.
std::vector<std::string> childEnvironment(const std::vector<std::string>& extra) {
    std::set<std::string> dropped = {"DISPLAY", "WAYLAND_DISPLAY"};
    for (const std::string& entry : extra) dropped.insert(entry.substr(0, entry.find('=')));
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!dropped.count(std::string(*e, strcspn(*e, "=")))) env.emplace_back(*e);
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

LumenhostResult runLumenhost(const LumenhostRun& run) {
    LumenhostResult result;
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "runLumenhost: pipe: " << strerror(errno);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its own group, killed as a whole
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<std::string> args = arguments(run), env = childEnvironment(run.env);
    std::vector<char*> argv = pointers(args), envp = pointers(env);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        ADD_FAILURE() << "runLumenhost: cannot start " << argv[0] << ": " << strerror(spawned);
        return result;
    }

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(run.timeoutSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        int n = poll(fds, 2, static_cast<int>(left.count()));
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            char buffer[4096];
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0) close(fd.fd);

    // Output closed is not exit: the wait is bounded too.
    int status = 0;
    rusage usage {};
    while (!result.timedOut) {
        pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid || (done < 0 && errno != EINTR)) break;
        if (std::chrono::steady_clock::now() >= deadline) result.timedOut = true;
        else usleep(10000);
    }
    if (result.timedOut) {
        kill(-pid, SIGKILL);
        while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {}
    }
    result.maxRssKb = usage.ru_maxrss;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (result.timedOut)
        ADD_FAILURE() << "lumenhost ran longer than " << run.timeoutSeconds << " s and was killed; stderr:\n"
                      << result.err;
    return result;
}
