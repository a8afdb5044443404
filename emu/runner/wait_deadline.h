// A deadline for lumenhost's waits: a main-loop timer that is not counted
// as queued work, so the loop's poll time-out wakes it. It needs no file
// descriptor: it holds when the plug-in has used up every one.
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
    bool running() const { return timer != 0; }

private:
    int timer = 0;
};

}  // namespace runner
