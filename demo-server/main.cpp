// lumen-demo-server: the demo community server. See docs/demo-server.md.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "demo-server/http_server.h"
#include "demo-server/options.h"
#include "demo-server/request_log.h"
#include "demo-server/site.h"

namespace {

// A handler stuck in a client's write must not keep the process alive.
constexpr auto shutdownGrace = std::chrono::seconds(2);

struct Finish {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
};

}  // namespace

int main(int argc, char** argv) {
    // Signals are taken by one thread with sigwait, so that stopping the
    // server happens outside a signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGUSR1);  // main's own wake-up
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // Writes to a closed connection must fail, not kill the process.
    signal(SIGPIPE, SIG_IGN);

    demo::Options options;
    std::string error;
    switch (demo::parseOptions(argc, argv, options, error)) {
    case demo::ParseResult::Help:
        std::fputs(demo::usage(), stdout);
        return 0;
    case demo::ParseResult::Error:
        std::fprintf(stderr, "lumen-demo-server: %s\nTry --help.\n", error.c_str());
        return 2;
    case demo::ParseResult::Run:
        break;
    }

    demo::RequestLog log;
    if (!options.logFile.empty() && !log.open(options.logFile, error)) {
        std::fprintf(stderr, "lumen-demo-server: %s\n", error.c_str());
        return 1;
    }
    demo::Site site(options.dataDir);
    if (!site.load(error)) {
        std::fprintf(stderr, "lumen-demo-server: %s\n", error.c_str());
        return 1;
    }
    demo::HttpServer server(options, site, log);
    int port = server.bind();
    if (port <= 0) {
        std::fprintf(stderr, "lumen-demo-server: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", port);
    std::fflush(stdout);

    Finish finish;
    std::thread signalThread([&] {
        int received = 0;
        sigwait(&stopSignals, &received);
        if (received == SIGUSR1) return;
        server.stop();
        std::unique_lock<std::mutex> guard(finish.lock);
        if (!finish.done.wait_for(guard, shutdownGrace, [&] { return finish.finished; })) {
            std::fputs("lumen-demo-server: requests still running, exiting anyway\n", stderr);
            std::fflush(stderr);
            _exit(0);
        }
    });

    bool served = server.run();
    {
        std::lock_guard<std::mutex> guard(finish.lock);
        finish.finished = true;
    }
    finish.done.notify_all();
    pthread_kill(signalThread.native_handle(), SIGUSR1);
    signalThread.join();
    return served ? 0 : 1;
}
