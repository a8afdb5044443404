// Ends a running plug-in the way a user would: closes the innermost modal
// window, one per main-loop turn, so that every exec returns in order and
// plugin_exec returns normally (destructors run, nothing leaks).
#pragma once

namespace runner {

class ExecCloser {
public:
    // Closes the top of the exec stack with -1. False when the stack is
    // empty. A plug-in that keeps opening windows is given up on after a
    // bounded number of closes: then exhausted() is true.
    bool closeInnermost();
    bool exhausted() const { return closes > kMaxCloses; }

private:
    static constexpr int kMaxCloses = 1000;
    int closes = 0;
};

}  // namespace runner
