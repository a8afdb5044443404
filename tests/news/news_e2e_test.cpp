// Reading news from end to end, in process: the main menu, the feed list and
// the detail window against the demo community server.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "emu/http_settings.h"
#include "news/rssDetail.h"
#include "news/rssFeed.h"
#include "plugin/rssMain.h"
#include "settings/lang.h"
#include "settings/settings.h"
#include "tests/news/news_test_support.h"
#include "tests/plugin/logos.h"
#include "tests/plugin/modal_script.h"
#include "tests/support/box_root.h"
#include "tests/support/demo_server.h"
#include "tests/support/message_box_answerer.h"

using newstest::findChild;

namespace {

using List = eListBox<eListBoxEntryText>;

std::vector<std::string> listTitles() {
    std::vector<std::string> titles;
    for (eListBoxEntry* entry : findChild<List>(ModalScript::top())->getEntries()) titles.push_back(entry->getText());
    return titles;
}

int currentEntry() { return findChild<List>(ModalScript::top())->getCurrentIndex(); }

// The detail window once its article is shown, or nullptr.
rssDetail* loadedDetail() {
    auto* detail = dynamic_cast<rssDetail*>(ModalScript::top());
    return detail && detail->getText() == LangT(28, 1) ? detail : nullptr;
}

int offset(rssDetail* detail) { return detail->textLabel()->getPosition().y; }
int page(rssDetail* detail) { return detail->visibleArea()->getSize().height(); }

const std::string kSeparator = std::string(89, '-') + "\n";

}  // namespace

TEST(NewsEndToEnd, EnglishListArticlePagesAndBackThenTheItalianList) {
    BoxRoot root;
    installLogos(root);
    MessageBoxAnswerer boxes;
    DemoServer server;
    emu::setHttpConnectTo(server.connectTo());
    CORLANG = 0;
    rssMain menu;
    std::vector<std::string> english, italian;
    std::string englishTitle, italianTitle, shortArticle;
    int shortRange = -1, shortPage = 0, shortOffsetAfterDown = 1;
    std::vector<int> offsets, starts;
    int longPage = 0, longRange = 0;
    bool menuBack = false;

    ModalScript script(60000);
    script.then([] { emu::deliverKey(rcKey0 + 2); })
        .when(ModalScript::topIs<rssFeed>,
              [&] {
                  englishTitle = ModalScript::top()->getText();
                  english = listTitles();
                  emu::deliverKey(rcDown);
                  emu::deliverKey(rcDown);
                  emu::deliverKey(rcOk);  // runs the detail window until it closes
              })
        .when([] { return loadedDetail() != nullptr; },
              [&] {
                  rssDetail* detail = loadedDetail();
                  shortArticle = detail->textLabel()->getText();
                  shortRange = detail->scrollRange();
                  shortPage = page(detail);
                  emu::deliverKey(rcPageDown);
                  shortOffsetAfterDown = offset(detail);
                  emu::deliverKey(rcExit);
              })
        .when([] { return ModalScript::topIs<rssFeed>(); },
              [&] {
                  EXPECT_EQ(currentEntry(), 2);
                  emu::deliverKey(rcUp);
                  emu::deliverKey(rcUp);
                  emu::deliverKey(rcOk);
              })
        .when([] { return loadedDetail() != nullptr; },
              [&] {
                  rssDetail* detail = loadedDetail();
                  longPage = page(detail);
                  longRange = detail->scrollRange();
                  for (int code : {rcPageDown, rcPageDown, rcPageUp}) {
                      emu::deliverKey(code);
                      offsets.push_back(offset(detail));
                      starts.push_back(detail->scrollbar()->getStart());
                  }
                  emu::deliverKey(rcExit);
              })
        .when([] { return ModalScript::topIs<rssFeed>(); }, [] { emu::deliverKey(rcExit); })
        .when([&] { return ModalScript::top() == &menu && ModalScript::quiet(); },
              [&] {
                  menuBack = menu.isVisible();
                  emu::deliverKey(rcKey0 + 3);
              })
        .when(ModalScript::topIs<rssFeed>,
              [&] {
                  italianTitle = ModalScript::top()->getText();
                  italian = listTitles();
                  emu::deliverKey(rcExit);
              })
        .when([&] { return ModalScript::top() == &menu && ModalScript::quiet(); }, [&] { menu.close(0); });
    menu.show();
    menu.exec();
    menu.hide();
    emu::setHttpConnectTo("");
    ASSERT_FALSE(script.timedOut());
    ASSERT_TRUE(script.finished());

    EXPECT_EQ(englishTitle, LangT(24, 1));
    EXPECT_EQ(english, (std::vector<std::string>{
                           "Firmware 3.2 for the Orbivox receivers brings faster zapping",
                           "Kr\xC3\xA4henfeld relay station switches to HD",
                           "Weekend schedule: two new radio channels on the community transponder",
                           "Shoutbox \"meet-up\" this Saturday at the Li\xC3\xA8ge club",
                           "Tips & tricks: aligning a dish with a budget signal meter",
                           "Download area: new skins and the Weather Globe plug-in",
                       }));

    // The third item's page: header, separator, decoded text.
    const std::string header = "TITLE: Weekend schedule: two new radio channels on the community transponder\n"
                               "\nBY: orbivox_editor\n"
                               "\nSaturday, 01 March 2025 @ 12:00 GMT " + LangT(3, 1) + "211\n" + kSeparator +
                               "From this Saturday the community transponder carries two new radio\n";
    EXPECT_EQ(shortArticle.substr(0, header.size()), header);
    EXPECT_NE(shortArticle.find("Orbivox Folk & Roots"), std::string::npos);
    EXPECT_EQ(shortOffsetAfterDown, shortRange == 0 ? 0 : -shortPage);

    // The first item's page runs over several pages and moves by whole ones.
    ASSERT_GE(longRange, 3 * longPage);
    EXPECT_EQ(offsets, (std::vector<int>{-longPage, -2 * longPage, -longPage}));
    int pages = longRange / longPage;
    EXPECT_EQ(starts, (std::vector<int>{100 / pages, 200 / pages, 100 / pages}));

    EXPECT_TRUE(menuBack);
    EXPECT_EQ(italianTitle, LangT(25, 1));
    EXPECT_EQ(italian, (std::vector<std::string>{
                           "Il firmware 3.2 rende pi\xC3\xB9 veloce il cambio canale",
                           "Il ripetitore di Kr\xC3\xA4henfeld passa all'alta definizione",
                           "Incontro della shoutbox sabato: caff\xC3\xA8, lotteria e la \"clinica della ricezione\"",
                           "Trucchi & consigli: puntare la parabola con un misuratore economico",
                       }));
    for (const auto& box : boxes.boxes()) ADD_FAILURE() << "box: " << box.caption << ": " << box.text;
}
