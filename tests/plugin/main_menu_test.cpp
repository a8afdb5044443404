// The main menu's news downloads in process, against a loopback server that
// counts requests. Entries, languages and the logo are covered end to end
// (tests/e2e).
#include <gtest/gtest.h>
#include <string>
#include "emu/http_settings.h"
#include "news/rssFeed.h"
#include "plugin/rssMain.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/plugin/logos.h"
#include "tests/plugin/modal_script.h"
#include "tests/support/box_root.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

namespace {

const char* const kFeedPath = "/lumennews/index.php";
const std::string kFeed =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel><title>t</title>\n"
    "<item><title>First story</title><link>http://news.corvane.example/a</link></item>\n"
    "</channel></rss>\n";

// The shown label of the menu that carries `text`, or nullptr.
eLabel* shownLabel(eWidget& menu, const eString& text) {
    for (eWidget* child : menu.getChildren()) {
        auto* label = dynamic_cast<eLabel*>(child);
        if (label && !dynamic_cast<eButton*>(label) && label->isVisible() && label->getText() == text) return label;
    }
    return nullptr;
}

class MainMenu : public ::testing::Test {
protected:
    void SetUp() override {
        CORLANG = 0;
        CORDDIR.clear();
        CORNICK.clear();
        installLogos(root);
    }
    void TearDown() override { emu::setHttpConnectTo(""); }

    static std::string connectTo(int port) { return "news.corvane.example:80:127.0.0.1:" + std::to_string(port); }

    // Runs the menu modally while `script` plays; closes it at the end.
    void run(rssMain& menu, ModalScript& script) {
        script.then([&] { menu.close(0); });
        menu.show();
        menu.exec();
        menu.hide();
        EXPECT_FALSE(script.timedOut());
        EXPECT_TRUE(script.finished());
    }

    BoxRoot root;
    MessageBoxAnswerer boxes;
};

}  // namespace

TEST_F(MainMenu, NewsEntryTwiceQuicklyMakesOneRequestAndOpensTheListOnce) {
    LoopbackServer server;
    server.serve(kFeedPath, kFeed);
    emu::setHttpConnectTo(connectTo(server.port()));
    rssMain menu;
    int listRuns = 0;
    bool statusShown = false;
    ModalScript script;
    script.then([&] {
              emu::deliverKey(rcKey0 + 2);
              statusShown = shownLabel(menu, LangT(23, 1)) != nullptr;
              emu::deliverKey(rcKey0 + 2);
          })
        .when([] { return ModalScript::topIs<rssFeed>(); },
              [&] {
                  ++listRuns;
                  EXPECT_EQ(ModalScript::top()->getText(), LangT(24, 1));
                  ModalScript::top()->close(0);
              })
        .when([&] { return ModalScript::top() == &menu && ModalScript::quiet(); },
              [&] {
                  EXPECT_EQ(shownLabel(menu, LangT(23, 1)), nullptr);
                  emu::deliverKey(rcKey0 + 3);  // the list opens again, now with the other title
              })
        .when([] { return ModalScript::topIs<rssFeed>(); },
              [&] {
                  ++listRuns;
                  EXPECT_EQ(ModalScript::top()->getText(), LangT(25, 1));
                  ModalScript::top()->close(0);
              })
        .when([&] { return ModalScript::top() == &menu && ModalScript::quiet(); }, [] {});
    run(menu, script);
    EXPECT_TRUE(statusShown);
    EXPECT_EQ(listRuns, 2);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].header("User-Agent"), "CORVANENEWS");
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainMenu, FailedNewsDownloadLeavesTheNewsEntriesUsable) {
    LoopbackServer server;
    server.serve(kFeedPath, kFeed);
    emu::setHttpConnectTo("news.corvane.example:80:127.0.0.1:1");  // nothing listens there
    rssMain menu;
    int listRuns = 0;
    ModalScript script;
    script.then([] { emu::deliverKey(rcKey0 + 2); })
        .when([&] { return boxes.boxes().size() == 1 && ModalScript::top() == &menu && ModalScript::quiet(); },
              [&] {
                  EXPECT_EQ(boxes.boxes()[0].caption, "User Abort");
                  EXPECT_EQ(shownLabel(menu, LangT(23, 1)), nullptr);
                  emu::setHttpConnectTo(connectTo(server.port()));
                  emu::deliverKey(rcKey0 + 2);
              })
        .when([] { return ModalScript::topIs<rssFeed>(); },
              [&] {
                  ++listRuns;
                  ModalScript::top()->close(0);
              })
        .when([&] { return ModalScript::top() == &menu && ModalScript::quiet(); }, [] {});
    run(menu, script);
    EXPECT_EQ(listRuns, 1);
    EXPECT_EQ(server.requestCount(), 1u);
}

