#include "emu/mainloop.h"
#include <cerrno>
#include <vector>

eMainloop* eApp = nullptr;

eMainloop& mainloop() {
    static eMainloop loop;
    return loop;
}

eMainloop::eMainloop() {
    if (!eApp) eApp = this;
}

eMainloop::~eMainloop() {
    if (eApp == this) eApp = nullptr;
}

int eMainloop::addWatch(int fd, short events, std::function<void(short)> callback) {
    int id = nextId++;
    watches[id] = Watch{fd, events, std::move(callback)};
    return id;
}

void eMainloop::modifyWatch(int id, short events) {
    auto it = watches.find(id);
    if (it != watches.end()) it->second.events = events;
}

void eMainloop::removeWatch(int id) { watches.erase(id); }

int eMainloop::addTimer(int milliseconds, std::function<void()> callback, bool work) {
    int id = nextId++;
    timers[id] = Timer{Clock::now() + std::chrono::milliseconds(milliseconds), std::move(callback), work};
    return id;
}

void eMainloop::removeTimer(int id) { timers.erase(id); }

void eMainloop::post(std::function<void()> call) { deferred.push_back(std::move(call)); }

int eMainloop::addIdle(std::function<bool()> hook) {
    int id = nextId++;
    idles[id] = std::move(hook);
    return id;
}

void eMainloop::removeIdle(int id) { idles.erase(id); }

bool eMainloop::hasQueuedWork() const {
    if (!deferred.empty()) return true;
    auto soon = Clock::now() + std::chrono::seconds(2);
    for (const auto& [id, timer] : timers)
        if (timer.work && timer.due <= soon) return true;
    return false;
}

int eMainloop::run(LoopFrame& frame) {
    ++nesting;
    while (!frame.done) iterate(-1);
    --nesting;
    return frame.result;
}

bool eMainloop::runDeferred() {
    // Only what was queued before this pass: calls that post again wait a turn.
    size_t n = deferred.size();
    for (size_t i = 0; i < n && !deferred.empty(); ++i) {
        auto call = std::move(deferred.front());
        deferred.pop_front();
        call();
    }
    return n > 0;
}

bool eMainloop::runDueTimers() {
    bool ran = false;
    auto now = Clock::now();
    std::vector<int> due;
    for (const auto& [id, timer] : timers)
        if (timer.due <= now) due.push_back(id);
    for (int id : due) {
        auto it = timers.find(id);
        if (it == timers.end()) continue;  // removed by an earlier callback
        auto callback = std::move(it->second.callback);
        timers.erase(it);
        callback();
        ran = true;
    }
    return ran;
}

bool eMainloop::runIdles() {
    bool did = false;
    std::vector<int> ids;
    for (const auto& [id, hook] : idles) ids.push_back(id);
    for (int id : ids) {
        auto it = idles.find(id);
        if (it == idles.end()) continue;
        auto hook = it->second;  // copy: the hook may remove itself
        if (hook()) did = true;
    }
    return did;
}

bool eMainloop::iterate(int maxWaitMs) {
    bool ran = runDeferred();
    ran |= runDueTimers();
    if (!deferred.empty()) maxWaitMs = 0;
    else if (!ran && runIdles()) { ran = true; maxWaitMs = 0; }
    if (ran) maxWaitMs = 0;

    int timeout = maxWaitMs;
    auto now = Clock::now();
    for (const auto& [id, timer] : timers) {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(timer.due - now).count();
        if (ms < 0) ms = 0;
        if (timeout < 0 || ms < timeout) timeout = static_cast<int>(ms);
    }
    std::vector<pollfd> fds;
    std::vector<int> ids;
    for (const auto& [id, watch] : watches) {
        fds.push_back(pollfd{watch.fd, watch.events, 0});
        ids.push_back(id);
    }
    if (fds.empty() && timeout < 0) return ran;  // nothing could ever wake us
    int n = poll(fds.data(), fds.size(), timeout);
    if (n > 0) {
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            auto it = watches.find(ids[i]);
            if (it == watches.end()) continue;
            auto callback = it->second.callback;  // copy: it may remove itself
            callback(fds[i].revents);
            ran = true;
        }
    }
    ran |= runDueTimers();
    return ran;
}
