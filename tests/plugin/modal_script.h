// Drives modal windows from a test: steps run one at a time from an idle
// hook of the main loop, each when its condition holds. A step that opens a
// modal window blocks inside its action; the nested loop calls the hook
// again and the script goes on in there. A watchdog closes every running
// window after a time limit, so a broken test fails instead of hanging.
#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "emu/mainloop.h"
#include "emu/screen.h"
#include "host/ewidget.h"

class ModalScript {
public:
    using Condition = std::function<bool()>;
    using Action = std::function<void()>;

    explicit ModalScript(int limitMs = 20000) {
        hook = mainloop().addIdle([this] { return onIdle(); });
        watchdog = mainloop().addTimer(limitMs, [this] { expire(); });
        tick = mainloop().addTimer(kTickMs, [this] { rearm(); });
    }
    ~ModalScript() {
        mainloop().removeIdle(hook);
        mainloop().removeTimer(watchdog);
        mainloop().removeTimer(tick);
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& when(Condition ready, Action action) {
        steps.push_back({std::move(ready), std::move(action)});
        return *this;
    }
    ModalScript& then(Action action) {
        return when([] { return true; }, std::move(action));
    }

    bool finished() const { return next == steps.size(); }
    bool timedOut() const { return expired; }

    // The innermost running modal window, or nullptr.
    static eWidget* top() {
        const auto& stack = emu::execStack();
        return stack.empty() ? nullptr : stack.back();
    }
    template <class T>
    static bool topIs() {
        return dynamic_cast<T*>(top()) != nullptr;
    }
    static bool quiet() { return mainloop().busyCount() == 0; }

private:
    static constexpr int kTickMs = 20;
    struct Step {
        Condition ready;
        Action action;
    };

    bool onIdle() {
        if (expired || finished() || !steps[next].ready()) return false;
        Action action = steps[next++].action;
        action();
        return true;
    }
    // Conditions can turn true without loop activity (a server thread); the
    // tick wakes the loop to look again.
    void rearm() { tick = mainloop().addTimer(kTickMs, [this] { rearm(); }); }
    void expire() {
        expired = true;
        std::fprintf(stderr, "ModalScript: step %zu of %zu still waits; busy %d; screen:\n%s\n", next + 1,
                     steps.size(), mainloop().busyCount(), emu::dumpScreen().c_str());
        const auto stack = emu::execStack();
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) (*it)->close(-2);
    }

    std::vector<Step> steps;
    size_t next = 0;
    bool expired = false;
    int hook = 0, watchdog = 0, tick = 0;
};
