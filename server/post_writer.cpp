#include "server/post_writer.h"

#include <cstdio>
#include <vector>

namespace srv {

PostWriter::PostWriter(Store& store, size_t maxBatch)
    : store(store), maxBatch(maxBatch == 0 ? 1 : maxBatch), worker([this] { run(); }) {}

PostWriter::~PostWriter() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    arrived.notify_one();
    worker.join();
}

void PostWriter::post(const Shout& shout, int64_t pauseMs, PostDone done) {
    {
        std::lock_guard<std::mutex> guard(lock);
        waiting.push_back(Waiting{shout, pauseMs, std::move(done)});
    }
    arrived.notify_one();
}

void PostWriter::run() {
    for (;;) {
        std::vector<Waiting> group;
        {
            std::unique_lock<std::mutex> guard(lock);
            arrived.wait(guard, [&] { return stopping || !waiting.empty(); });
            if (waiting.empty()) return;  // stopping, nothing left
            while (!waiting.empty() && group.size() < maxBatch) {
                group.push_back(std::move(waiting.front()));
                waiting.pop_front();
            }
        }
        std::vector<std::pair<Shout, int64_t>> rows;
        rows.reserve(group.size());
        for (const Waiting& w : group) rows.emplace_back(w.shout, w.pauseMs);
        std::vector<PostOutcome> outcomes;
        try {
            outcomes = store.commitPosts(rows);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "lumen-server: %zu posts not stored: %s\n", group.size(), e.what());
            outcomes.assign(group.size(), PostOutcome::Failed);
        }
        // Acknowledged only now, after the commit.
        for (size_t i = 0; i < group.size(); ++i) {
            try {
                group[i].done(outcomes[i]);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "lumen-server: a post's answer failed: %s\n", e.what());
            }
        }
    }
}

}  // namespace srv
