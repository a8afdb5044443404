// Durable posts per second through the store's group commit, against one
// transaction per post, with N posters that each wait for their answer
// before posting again (as connections do). No HTTP: this is what the
// store gives, whatever the layer in front.
//
//   post_commit_bench DB [SECONDS]   DB: a file that does not exist yet, or
//                                    an empty postgresql:// database
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "server/store.h"

namespace {

double postsPerSecond(srv::Store& store, int posters, std::chrono::milliseconds span) {
    std::atomic<bool> stop{false};
    std::atomic<long> stored{0};
    std::vector<std::thread> threads;
    for (int p = 0; p < posters; ++p) {
        threads.emplace_back([&, p] {
            for (long n = 0; !stop; ++n) {
                std::promise<srv::PostOutcome> done;
                srv::Shout shout{0, 1700000000, "bench", "p" + std::to_string(p) + "-" + std::to_string(n), "10.0.0.1"};
                store.postShout(shout, std::chrono::milliseconds(0), [&](srv::PostOutcome o) { done.set_value(o); });
                if (done.get_future().get() == srv::PostOutcome::Stored) ++stored;
            }
        });
    }
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(span);
    stop = true;
    for (auto& t : threads) t.join();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return static_cast<double>(stored) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: post_commit_bench DB [SECONDS]\n");
        return 2;
    }
    const std::string db = argv[1];
    const auto span = std::chrono::milliseconds(argc > 2 ? std::atoi(argv[2]) * 1000 : 3000);
    srv::Store::create(db);
    for (int posters : {16, 64, 256}) {
        double rates[2];
        for (size_t batch : {size_t{512}, size_t{1}}) {
            srv::StoreSettings settings;
            settings.commitBatch = batch;
            auto store = srv::Store::open(db, settings);
            rates[batch == 1] = postsPerSecond(*store, posters, span);
        }
        std::printf("%3d posters: group commit %8.0f posts/s, one commit per post %7.0f posts/s, ratio %.1f\n",
                    posters, rates[0], rates[1], rates[0] / rates[1]);
        std::fflush(stdout);
    }
    return 0;
}
