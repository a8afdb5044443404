// Small helpers for tests that drive the emulated main loop.
#pragma once
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "emu/mainloop.h"
#include "host/ehttp.h"
#include "tests/support/box_root.h"

// Iterates the main loop until `done` holds or `limit` has passed;
// returns done().
inline bool runUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline) mainloop().iterate(50);
    return done();
}

// Until no transfer is in flight.
inline bool runUntilQuiet(std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    return runUntil([] { return mainloop().busyCount() == 0; }, limit);
}

// A loopback port that nothing listens on (bound, then released).
inline int closedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// Names of the files in a real directory, sorted.
inline std::vector<std::string> filesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The client's own file calls must land under the test root, never in the
// machine's /var/tmp.
inline void expectRedirectedDownloads(const BoxRoot& root) {
    const char* probe = "/var/tmp/redirect-probe.tmp";
    {
        eHTTPDownload sink(nullptr, probe);
        sink.finished(0);
    }
    if (!root.exists(probe)) {
        ::unlink(probe);  // landed outside the root: undo it
        FAIL() << "downloads are not redirected into the test root";
    }
    ::unlink(probe);
}
