// Interactive mode, on SDL's dummy video driver: without a script and with
// a display, lumenhost keeps the plug-in running in a window until the
// window is closed (SDL turns SIGTERM into a quit event), then unwinds the
// plug-in and exits 0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include "tests/support/lumenhost_run.h"

extern char** environ;

namespace {

// Waits up to `limit` for the child; true when it exited.
bool waitFor(pid_t pid, int& status, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace

TEST(LumenhostInteractive, WindowKeepsThePluginRunningUntilClosed) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.insert(env.end(), {"DISPLAY=:lumen-test", "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = lumenhostPath(), pluginOption = "--plugin", plugin = TEST_PLUGIN,
                devNull = "/dev/null";
    std::vector<char*> argv{path.data(), pluginOption.data(), plugin.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, devNull.c_str(), O_WRONLY, 0);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    int status = 0;
    // A headless run would have ended at once with its final dump.
    bool ended = waitFor(pid, status, std::chrono::milliseconds(1500));
    EXPECT_FALSE(ended) << "lumenhost did not stay in interactive mode";
    if (!ended) {
        kill(pid, SIGTERM);
        ended = waitFor(pid, status, std::chrono::seconds(30));
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    }
    ASSERT_TRUE(ended) << "lumenhost did not close after the window was closed";
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
