// Combo boxes: the current entry without a choice, setCurrent, and picking
// in the popup list.
#include <gtest/gtest.h>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

class ComboBox : public ::testing::Test {
protected:
    eWindow window;
    eComboBox* combo = new eComboBox(&window, 3);
    std::vector<eListBoxEntryText*> picked;

    void SetUp() override {
        window.cmove(ePoint(100, 95));
        window.cresize(eSize(520, 386));
        window.show();
        combo->move(ePoint(60, 160));
        combo->resize(eSize(400, 35));
        new eListBoxEntryText(combo->getList(), "English", 1);
        new eListBoxEntryText(combo->getList(), "French", 2);
        new eListBoxEntryText(combo->getList(), "Italian", 3);
        combo->selected_id.connect([this](eListBoxEntryText* e) { picked.push_back(e); });
        window.setFocus(combo);
    }

    void run(std::vector<ModalScript::Step> steps) {
        steps.push_back([this] { window.close(0); });
        ModalScript script(std::move(steps));
        window.exec();
    }
};

TEST_F(ComboBox, SetCurrentSelectsQuietlyAndShowsTheEntry) {
    combo->setCurrent(2, false);
    EXPECT_EQ(combo->getCurrent()->getKey(), 3);
    EXPECT_EQ(combo->getText(), "Italian");
    EXPECT_TRUE(picked.empty());
    combo->setCurrent(1, true);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0]->getKey(), 2);
}

TEST_F(ComboBox, OkOpensThePopupWhereOkPicks) {
    combo->setCurrent(0, false);
    eWidget* popup = nullptr;
    run({press("ok"),
         [&] {
             ASSERT_EQ(emu::execStack().size(), 2u);
             popup = emu::execStack().back();
             EXPECT_TRUE(popup->isShown());
             // Right below the box, as wide as it.
             EXPECT_EQ(popup->getAbsoluteClientPosition().x, combo->getAbsolutePosition().x);
             EXPECT_GE(popup->getPosition().y, combo->getAbsolutePosition().y + combo->getSize().h);
             EXPECT_EQ(popup->getClientSize().w, combo->getSize().w);
         },
         press("down"), press("down"), press("ok"),
         [&] { EXPECT_EQ(emu::execStack().size(), 1u); }});
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0]->getKey(), 3);
    EXPECT_EQ(combo->getCurrent()->getKey(), 3);
    EXPECT_EQ(combo->getText(), "Italian");
    EXPECT_FALSE(popup->isShown());
}

TEST_F(ComboBox, ExitInThePopupKeepsTheChoiceAndTheWindowOpen) {
    combo->setCurrent(1, false);
    run({press("ok"), press("down"), press("exit"), [this] {
             EXPECT_TRUE(window.isRunning());
             EXPECT_EQ(emu::execStack().size(), 1u);
         }});
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(combo->getCurrent()->getKey(), 2);
}

TEST_F(ComboBox, PopupOpensAtTheCurrentEntry) {
    combo->setCurrent(2, false);
    run({press("ok"), press("up"), press("ok")});
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0]->getKey(), 2);
}

TEST_F(ComboBox, NearTheScreenBottomThePopupOpensAbove) {
    combo->move(ePoint(60, 380));
    eWidget* popup = nullptr;
    run({press("ok"), [&] { popup = emu::execStack().back(); }, press("exit")});
    ASSERT_NE(popup, nullptr);
    EXPECT_LE(popup->getPosition().y + popup->getSize().h, combo->getAbsolutePosition().y);
}

TEST(ComboBoxText, ShowsTheFirstEntryUntilAPositionIsSetAndStartsAfreshAfterAClear) {
    eWindow window;
    auto* combo = new eComboBox(&window, 3);
    EXPECT_EQ(combo->getText(), "");
    new eListBoxEntryText(combo->getList(), "English", 1);
    new eListBoxEntryText(combo->getList(), "French", 2);
    EXPECT_EQ(combo->getText(), "English");
    combo->setCurrent(7, false);  // a language number out of range
    EXPECT_EQ(combo->getText(), "English");
    EXPECT_EQ(combo->getCurrent()->getKey(), 1);
    combo->setCurrent(1, false);
    combo->getList()->clearList();
    EXPECT_EQ(combo->getText(), "");
    EXPECT_EQ(combo->getCurrent(), nullptr);
    new eListBoxEntryText(combo->getList(), "Italian", 3);
    new eListBoxEntryText(combo->getList(), "German", 4);
    EXPECT_EQ(combo->getCurrent()->getKey(), 3);
    EXPECT_EQ(combo->getText(), "Italian");
}

}  // namespace
