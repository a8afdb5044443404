// The main menu in process: its texts, logo, entries, and news downloads
// against a loopback server.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "about/rssAbout.h"
#include "community/downArea.h"
#include "community/eShowFile.h"
#include "community/rssStat.h"
#include "emu/http_settings.h"
#include "news/rssFeed.h"
#include "plugin/rssMain.h"
#include "settings/eSetConfig.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/plugin/logos.h"
#include "tests/plugin/modal_script.h"
#include "tests/support/box_root.h"
#include "tests/support/demo_server.h"
#include "tests/support/loopback_server.h"
#include "tests/support/message_box_answerer.h"

namespace {

const char* const kFeedPath = "/lumennews/index.php";
const std::string kFeed =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel><title>t</title>\n"
    "<item><title>First story</title><link>http://news.corvane.example/a</link></item>\n"
    "</channel></rss>\n";

std::vector<eButton*> menuButtons(eWidget& menu) {
    std::vector<eButton*> buttons;
    for (eWidget* child : menu.getChildren())
        if (auto* button = dynamic_cast<eButton*>(child)) buttons.push_back(button);
    return buttons;
}

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

TEST_F(MainMenu, StoredLanguageGivesTheMenuTextsFromTheStart) {
    for (int lang : {1, 2, 3}) {
        root.write(paths::settingsFile, "lang=" + std::to_string(lang) + "\n");
        rssMain menu;
        EXPECT_EQ(menu.getText(), LangT(15, lang));
        auto buttons = menuButtons(menu);
        ASSERT_EQ(buttons.size(), 7u);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(buttons[i]->getText(), LangT(16 + i, lang)) << lang << "/" << i;
            EXPECT_EQ(buttons[i]->getShortcut(), std::to_string(i + 1));
            EXPECT_EQ(buttons[i]->getPosition(), ePoint(35, 140 + 32 * i));
        }
        EXPECT_EQ(menu.getFocus(), buttons[0]);
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainMenu, MissingLogoShowsTheErrorBoxWhileTheMenuIsBuilt) {
    std::remove(root.path(paths::logo).c_str());
    rssMain menu;
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Error loading logo");
    EXPECT_EQ(boxes.boxes()[0].caption, "Error");
    EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
    EXPECT_EQ(menuButtons(menu).size(), 7u);
}

TEST_F(MainMenu, NumberKeysOpenTheirWindowsAndTheMenuComesBackOnEntryOne) {
    DemoServer server;
    emu::setHttpConnectTo(server.connectTo());
    rssMain menu;
    eButton* first = menuButtons(menu)[0];
    std::vector<std::string> opened;
    ModalScript script;
    // The feed list runs inside the download's completion, so its transfer
    // counts as busy until the list closes: only windows that fetch as they
    // open wait for quiet.
    auto visit = [&](int key, std::function<bool()> isExpected, const char* name, bool waitQuiet = true) {
        script.when([&] { return ModalScript::top() == &menu; }, [key] { emu::deliverKey(rcKey0 + key); })
            .when([&, isExpected, waitQuiet] { return isExpected() && (!waitQuiet || ModalScript::quiet()); },
                  [&, name] {
                      opened.push_back(name);
                      EXPECT_FALSE(menu.isVisible()) << name;
                      ModalScript::top()->close(0);
                  })
            .when([&] { return ModalScript::top() == &menu; },
                  [&, name] {
                      EXPECT_TRUE(menu.isVisible()) << name;
                      EXPECT_EQ(menu.getFocus(), first) << name;
                  });
    };
    visit(1, ModalScript::topIs<downArea>, "downArea");
    visit(2, ModalScript::topIs<rssFeed>, "rssFeed english", false);
    visit(3, ModalScript::topIs<rssFeed>, "rssFeed italian", false);
    visit(4, ModalScript::topIs<rssStat>, "rssStat");
    visit(5, ModalScript::topIs<eShowFile>, "eShowFile");
    visit(6, ModalScript::topIs<eSetConfig>, "eSetConfig");
    visit(7, ModalScript::topIs<rssAbout>, "rssAbout");
    run(menu, script);
    EXPECT_EQ(opened, (std::vector<std::string>{"downArea", "rssFeed english", "rssFeed italian", "rssStat",
                                                "eShowFile", "eSetConfig", "rssAbout"}));
}

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

TEST_F(MainMenu, SavedFrenchSettingsReachTheWindowsOpenedAfterwards) {
    root.mkdirs("/media/hdd");
    rssMain menu;
    eString aboutTitle;
    ModalScript script;
    script.then([] { emu::deliverKey(rcKey0 + 6); })
        .when([] { return ModalScript::topIs<eSetConfig>(); },
              [&] {
                  auto* window = static_cast<eSetConfig*>(ModalScript::top());
                  for (eWidget* child : window->getChildren())
                      if (auto* combo = dynamic_cast<eComboBox*>(child)) combo->setCurrent(1, false);
                  window->saveConfig();
              })
        .when([&] { return ModalScript::top() == &menu; }, [] { emu::deliverKey(rcKey0 + 7); })
        .when([] { return ModalScript::topIs<rssAbout>(); },
              [&] {
                  aboutTitle = ModalScript::top()->getText();
                  ModalScript::top()->close(0);
              })
        .when([&] { return ModalScript::top() == &menu; }, [] {});
    run(menu, script);
    EXPECT_EQ(root.read(paths::settingsFile).substr(0, 7), "lang=2\n");
    EXPECT_EQ(CORLANG, 2);
    EXPECT_EQ(aboutTitle, LangT(31, 2));
    EXPECT_EQ(menu.getText(), LangT(15, 1));  // the menu keeps the texts it was built with
}
