#include "server/serve.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "server/http_server.h"
#include "server/options.h"
#include "server/replies.h"
#include "server/request_log.h"
#include "server/site.h"
#include "server/store.h"

namespace srv {

namespace {

// A handler stuck writing to a client that reads nothing must not keep
// the process alive for ever.
constexpr auto shutdownGrace = std::chrono::seconds(2);
// How often changes by the content tools are looked for, and the request
// counter is saved.
constexpr auto housekeeping = std::chrono::seconds(1);

struct Finish {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
};

}  // namespace

int serve(int argc, const char* const* argv) {
    // Signals are taken by one thread with sigwait, so that stopping the
    // server happens outside a signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGUSR1);  // the server's own wake-up
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // Writes to a closed connection must fail, not kill the process.
    signal(SIGPIPE, SIG_IGN);

    Options options;
    std::string error;
    switch (parseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        std::fputs(serveUsage(), stdout);
        return 0;
    case ParseResult::Error:
        std::fprintf(stderr, "lumen-server: %s\nTry lumen-server serve --help.\n", error.c_str());
        return 2;
    case ParseResult::Run:
        break;
    }
    RequestLog log;
    if (!options.logFile.empty() && !log.open(options.logFile, error)) {
        std::fprintf(stderr, "lumen-server: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<Store> store;
    try {
        store = Store::open(options.db);
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "lumen-server: %s\n", e.what());
        return 1;
    }
    SiteSettings settings;
    settings.baseUrl = options.baseUrl.empty() ? defaultBaseUrl : options.baseUrl;
    settings.filesDir = filesDirOf(options.db, options.filesDir);
    settings.shoutInterval = std::chrono::seconds(options.shoutIntervalSeconds);
    settings.uploadMaxBytes = options.uploadMaxBytes;
    Site site(*store, settings);
    HttpServer server(options, site, log);
    int port = server.bind();
    if (port <= 0) {
        std::fprintf(stderr, "lumen-server: cannot listen on %s:%d\n", options.host.c_str(), options.port);
        return 1;
    }
    std::printf("listening on %s:%d\n", options.host.c_str(), port);
    std::fflush(stdout);

    Finish finish;
    std::thread keeper([&] {
        std::unique_lock<std::mutex> guard(finish.lock);
        int64_t seen = store->dataVersion();
        while (!finish.done.wait_for(guard, housekeeping, [&] { return finish.finished; })) {
            try {
                site.saveCounters();
                int64_t version = store->dataVersion();
                if (version != seen) site.storeChanged();
                seen = version;
            } catch (const DatabaseError& e) {
                std::fprintf(stderr, "lumen-server: %s\n", e.what());
            }
        }
    });
    std::thread signalThread([&] {
        int received = 0;
        sigwait(&stopSignals, &received);
        if (received == SIGUSR1) return;
        server.stop();
        std::unique_lock<std::mutex> guard(finish.lock);
        if (!finish.done.wait_for(guard, shutdownGrace, [&] { return finish.finished; })) {
            std::fputs("lumen-server: requests still running, exiting anyway\n", stderr);
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
    keeper.join();
    try {
        site.saveCounters();
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "lumen-server: %s\n", e.what());
    }
    return served ? 0 : 1;
}

}  // namespace srv
