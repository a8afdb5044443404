// The about window: logo, credit, version, and closing with OK or green.
#include <gtest/gtest.h>
#include "about/rssAbout.h"
#include "settings/lang.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tests/plugin/logos.h"
#include "tests/plugin/modal_script.h"
#include "tests/support/box_root.h"
#include "tests/support/message_box_answerer.h"

namespace {

class AboutWindow : public ::testing::Test {
protected:
    void SetUp() override { CORLANG = 1; }
    // The labels that are not buttons, in creation order: logo, credit, version.
    static std::vector<eLabel*> labels(eWidget& window) {
        std::vector<eLabel*> found;
        for (eWidget* child : window.getChildren())
            if (auto* label = dynamic_cast<eLabel*>(child); label && !dynamic_cast<eButton*>(label))
                found.push_back(label);
        return found;
    }
    BoxRoot root;
    MessageBoxAnswerer boxes;
};

}  // namespace

TEST_F(AboutWindow, ShowsLogoCreditAndVersionInTheCurrentLanguage) {
    installLogos(root);
    for (int lang : {1, 2, 3}) {
        CORLANG = lang;
        rssAbout about;
        EXPECT_EQ(about.getText(), LangT(31, lang));
        auto found = labels(about);
        ASSERT_EQ(found.size(), 3u);
        ASSERT_TRUE(found[0]->getPixmap());
        EXPECT_EQ(found[0]->getSize(), eSize(105, 105));
        EXPECT_EQ(found[0]->getPixmapPosition(), ePoint(1, 1));
        EXPECT_EQ(found[1]->getText(), LangT(32, lang));
        EXPECT_EQ(found[2]->getText(), LangT(33, lang));
        EXPECT_EQ(found[2]->getProperty("align"), "center");
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(AboutWindow, MissingLogoShowsTheErrorBoxAndTheRestOfTheWindow) {
    rssAbout about;
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Error loading logo");
    EXPECT_EQ(boxes.boxes()[0].caption, "Error");
    EXPECT_EQ(boxes.boxes()[0].flags, 0x21);
    auto found = labels(about);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_FALSE(found[0]->getPixmap());
    EXPECT_EQ(found[2]->getText(), LangT(33, 1));
}

TEST_F(AboutWindow, GreenKeyAndOkBothCloseTheWindowAccepted) {
    installLogos(root);
    for (int key : {int(rcGreen), int(rcOk)}) {
        rssAbout about;
        ModalScript script;
        script.then([key] { emu::deliverKey(key); });
        about.show();
        EXPECT_EQ(about.exec(), 0) << key;
        EXPECT_TRUE(script.finished());
    }
}
