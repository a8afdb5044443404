// The emulated host's main loop: poll() over file-descriptor watches,
// timers, deferred calls and idle hooks, with nested loops for modal runs.
// Single-threaded: everything runs on the thread that created it.
#pragma once
#include <poll.h>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include "host/emainloop.h"

class HOST_API eMainloop {
public:
    using Clock = std::chrono::steady_clock;

    // A nested loop's state; run() returns when `done` is set.
    struct LoopFrame {
        bool done = false;
        int result = 0;
    };

    eMainloop();
    ~eMainloop();
    eMainloop(const eMainloop&) = delete;
    eMainloop& operator=(const eMainloop&) = delete;

    // fd watches: `events` as for poll(); the callback gets the revents.
    int addWatch(int fd, short events, std::function<void(short)> callback);
    void modifyWatch(int id, short events);
    void removeWatch(int id);

    // One-shot timers, in milliseconds. A timer that is not `work` (a
    // deadline, say) is left out of hasQueuedWork.
    int addTimer(int milliseconds, std::function<void()> callback, bool work = true);
    void removeTimer(int id);

    // Runs `call` from the loop, after the current callback has returned.
    void post(std::function<void()> call);

    // Idle hooks run when nothing is queued. A hook returns true when it did
    // something (the loop then polls without blocking), false when it waits
    // for activity.
    int addIdle(std::function<bool()> hook);
    void removeIdle(int id);

    // Work in flight (running transfers), so that callers can wait for quiet.
    void addBusy() { ++busy; }
    void removeBusy() { --busy; }
    int busyCount() const { return busy; }
    bool hasQueuedWork() const;  // deferred calls, or timers due within 2 s

    // Runs nested until frame.done; returns frame.result. Any depth.
    int run(LoopFrame& frame);
    static void exit(LoopFrame& frame, int result) { frame.done = true; frame.result = result; }
    int depth() const { return nesting; }

    // One iteration: deferred calls, idle hooks, then poll for at most
    // `maxWaitMs` (-1: until activity). Returns false if nothing ran.
    bool iterate(int maxWaitMs);

private:
    struct Watch { int fd; short events; std::function<void(short)> callback; };
    struct Timer { Clock::time_point due; std::function<void()> callback; bool work; };
    std::map<int, Watch> watches;
    std::map<int, Timer> timers;
    std::map<int, std::function<bool()>> idles;
    std::deque<std::function<void()>> deferred;
    int nextId = 1;
    int busy = 0;
    int nesting = 0;
    bool runDeferred();
    bool runDueTimers();
    bool runIdles();
};

// The emulated application's loop (eApp points at it). Created on first use.
HOST_API eMainloop& mainloop();
