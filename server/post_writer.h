// Group commit of posted shouts: one thread takes every post waiting,
// commits them in one transaction and only then tells each poster, so that
// posts arriving together share one disk sync and none is acknowledged
// before it is durable.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "server/records.h"
#include "server/store.h"

namespace srv {

class PostWriter {
public:
    PostWriter(Store& store, size_t maxBatch);
    // Commits what is waiting, then stops.
    ~PostWriter();
    void post(const Shout& shout, int64_t pauseMs, PostDone done);

private:
    struct Waiting {
        Shout shout;
        int64_t pauseMs;
        PostDone done;
    };
    void run();

    Store& store;
    size_t maxBatch;
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<Waiting> waiting;
    bool stopping = false;
    std::thread worker;
};

}  // namespace srv
