// Lets waits inside request handlers end at once when the server stops,
// so that shutting down never hangs on a delayed or stalled answer.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace srv {

class StopSignal {
public:
    // Waits `duration`; false if the stop came first.
    bool sleepFor(std::chrono::milliseconds duration) {
        std::unique_lock<std::mutex> guard(lock);
        return !wake.wait_for(guard, duration, [this] { return stopping; });
    }
    void stop() {
        {
            std::lock_guard<std::mutex> guard(lock);
            stopping = true;
        }
        wake.notify_all();
    }
    bool stopped() {
        std::lock_guard<std::mutex> guard(lock);
        return stopping;
    }

private:
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
};

}  // namespace srv
