#include "server/serve.h"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
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
// Changes by other processes are looked for five times a second, so that
// every server drops its cached replies within a second of a change
// anywhere; counts are added to the database and the log written once a
// second.
constexpr auto housekeeping = std::chrono::milliseconds(200);
constexpr int ticksPerFlush = 5;
// Descriptors besides connections: the database, its journal, the log,
// downloads being sent.
constexpr rlim_t spareDescriptors = 256;

struct Finish {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;

    void set() {
        {
            std::lock_guard<std::mutex> guard(lock);
            finished = true;
        }
        done.notify_all();
    }
};

// SIGTERM and SIGINT stop, SIGHUP reopens the log; they are taken by one
// thread with sigwait, outside any signal handler. SIGUSR1 is the
// server's own wake-up of that thread.
sigset_t blockServerSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // Writes to a closed connection must fail, not kill the process.
    signal(SIGPIPE, SIG_IGN);
    return signals;
}

// Each connection is a descriptor: take as many as the system grants,
// and lower the connection cap if that is still too few.
void fitDescriptors(HttpLimits& limits) {
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) != 0) return;
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    getrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur == RLIM_INFINITY || files.rlim_cur > limits.maxConnections + spareDescriptors) return;
    size_t fits = files.rlim_cur > 2 * spareDescriptors ? files.rlim_cur - spareDescriptors : files.rlim_cur / 2;
    std::fprintf(stderr, "lumen-server: %zu connections at most (open files limit %llu)\n", fits,
                 static_cast<unsigned long long>(files.rlim_cur));
    limits.maxConnections = fits;
}

// Saves the counters, writes the log's lines and picks up the content
// tools' changes until `finish`.
void keepHouse(Site& site, Store& store, RequestLog& log, Finish& finish) {
    std::unique_lock<std::mutex> guard(finish.lock);
    int64_t seen = store.dataVersion();
    int64_t content = store.contentGeneration();
    int tick = 0;
    while (!finish.done.wait_for(guard, housekeeping, [&] { return finish.finished; })) {
        try {
            if (++tick % ticksPerFlush == 0) {
                log.flush();
                site.saveCounters();
            }
            int64_t version = store.dataVersion();
            if (version != seen) {
                // Counts added by a flush leave feeds and lists as they are.
                int64_t now = store.contentGeneration();
                if (now != content) site.storeChanged();
                else site.countsChanged();
                content = now;
            }
            seen = version;
        } catch (const DatabaseError& e) {
            std::fprintf(stderr, "lumen-server: %s\n", e.what());
        }
    }
}

// Waits for the signals of blockServerSignals() until a stop or the wake-up.
void takeSignals(const sigset_t& signals, HttpServer& server, RequestLog& log, Finish& finish) {
    while (true) {
        int received = 0;
        sigwait(&signals, &received);
        if (received == SIGUSR1) return;
        if (received == SIGHUP) {
            std::string error;
            if (!log.reopen(error)) std::fprintf(stderr, "lumen-server: %s\n", error.c_str());
            continue;
        }
        break;
    }
    server.stop();
    std::unique_lock<std::mutex> guard(finish.lock);
    if (!finish.done.wait_for(guard, shutdownGrace, [&] { return finish.finished; })) {
        std::fputs("lumen-server: requests still running, exiting anyway\n", stderr);
        log.flush();
        std::fflush(stderr);
        _exit(0);
    }
}

void saveCounters(Site& site) {
    try {
        site.saveCounters();
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "lumen-server: %s\n", e.what());
    }
}

}  // namespace

int serve(int argc, const char* const* argv) {
    const sigset_t signals = blockServerSignals();
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
        StoreSettings storeSettings;
        storeSettings.commitBatch = static_cast<size_t>(options.commitBatch);
        store = Store::open(options.db, storeSettings);
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "lumen-server: %s\n", e.what());
        return 1;
    }
    SiteSettings settings;
    settings.baseUrl = options.baseUrl.empty() ? defaultBaseUrl : options.baseUrl;
    settings.filesDir = filesDirOf(options.db, options.filesDir);
    settings.shoutInterval = std::chrono::seconds(options.shoutIntervalSeconds);
    settings.feedItems = static_cast<size_t>(options.feedItems);
    settings.replyCacheBytes = static_cast<size_t>(options.replyCacheMib) * 1024 * 1024;
    settings.uploadMaxBytes = options.limits.maxUploadBytes;
    Site site(*store, settings);

    fitDescriptors(options.limits);
    HttpServer server(options.limits, site, log);
    int port = server.bind(options.host, options.port, error);
    if (port <= 0) {
        std::fprintf(stderr, "lumen-server: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on %s:%d\n", options.host.c_str(), port);
    std::fflush(stdout);

    Finish finish;
    std::thread keeper([&] { keepHouse(site, *store, log, finish); });
    std::thread signalThread([&] { takeSignals(signals, server, log, finish); });
    bool served = server.run();
    finish.set();
    pthread_kill(signalThread.native_handle(), SIGUSR1);
    signalThread.join();
    keeper.join();
    store->finishPosts();
    saveCounters(site);
    return served ? 0 : 1;
}

}  // namespace srv
