// What the community window tests share: a private box root, a loopback
// server standing in for the community server, answered message boxes and
// a bounded main loop.
#pragma once
#include <gtest/gtest.h>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include "emu/http_settings.h"
#include "emu/mainloop.h"
#include "host/ewidget.h"
#include "settings/settings.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

namespace communitytest {

inline const char* const script = "/lumennews/index.php";

// Runs the main loop until `done` holds or `seconds` have passed.
inline bool runUntil(const std::function<bool()>& done, int seconds = 10) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < deadline) mainloop().iterate(20);
    return done();
}

// The content of a fixture under tests/data/community/.
inline std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LUMEN_TEST_DATA) + "/community/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "missing fixture " << name;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline bool quiet() { return mainloop().busyCount() == 0; }

inline eWidgetEvent action(const eAction& which) { return eWidgetEvent(eWidgetEvent::evtAction, &which); }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = {CORLANG, CORDDIR, CORNICK};
        CORLANG = 1;
        CORDDIR = "/media/hdd/";
        CORNICK = "Guest";
        root.mkdirs("/media/hdd");
        emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:" + std::to_string(server.port()));
    }
    void TearDown() override {
        emu::setHttpConnectTo("");
        CORLANG = saved.lang;
        CORDDIR = saved.dir;
        CORNICK = saved.nick;
    }
    // Paths and queries that reached the server, in order.
    std::vector<std::string> targets() const {
        std::vector<std::string> seen;
        for (const auto& request : server.requests()) seen.push_back(request.path);
        return seen;
    }
    // The first box whose caption is `caption`, or nullptr.
    const MessageBoxAnswerer::Box* box(const std::string& caption) const {
        for (const auto& seen : boxes.boxes())
            if (seen.caption == caption) return &seen;
        return nullptr;
    }

    BoxRoot root;
    LoopbackServer server;
    MessageBoxAnswerer boxes;

private:
    struct {
        int lang;
        eString dir, nick;
    } saved;
};

}  // namespace communitytest
