// A deadline for lumenhost's waits. It is a file descriptor watch, not a
// main-loop timer, so it does not count as queued work itself.
#pragma once
#include <functional>

namespace runner {

class WaitDeadline {
public:
    WaitDeadline() = default;
    ~WaitDeadline();
    WaitDeadline(const WaitDeadline&) = delete;
    WaitDeadline& operator=(const WaitDeadline&) = delete;

    // Calls `expired` from the main loop after `seconds`, unless stopped.
    void start(int seconds, std::function<void()> expired);
    void stop();
    bool running() const { return watch != 0; }

private:
    int fd = -1;
    int watch = 0;
};

}  // namespace runner
