// List boxes: moving the current entry, the visible window of entries,
// paging, selecting and leaving.
#include <gtest/gtest.h>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

using TextList = eListBox<eListBoxEntryText>;

class ListBox : public ::testing::Test {
protected:
    eWindow window;
    TextList* list = nullptr;
    std::vector<eListBoxEntryText*> selections;
    int signals = 0;

    // A list three entries tall holding `count` entries with keys 100, 101, ...
    void fill(int count) {
        list = new TextList(&window);
        list->move(ePoint(4, 4));
        list->resize(eSize(300, 3 * list->getEntryHeightPx() + 5));
        list->beginAtomic();
        for (int i = 0; i < count; ++i) new eListBoxEntryText(list, "entry " + std::to_string(i), 100 + i);
        list->endAtomic();
        list->selected.connect([this](eListBoxEntryText* e) {
            ++signals;
            selections.push_back(e);
        });
        window.setFocus(list);
    }

    void run(std::vector<ModalScript::Step> steps) {
        steps.push_back([this] { window.close(0); });
        ModalScript script(std::move(steps));
        window.exec();
    }

    std::vector<int> current;
    ModalScript::Step noteCurrent() {
        return [this] { current.push_back(list->getCurrentIndex() * 100 + list->getTopIndex()); };
    }
};

TEST_F(ListBox, UpDownMoveTheCurrentEntryAndScrollTheVisibleWindow) {
    fill(10);
    // current * 100 + top after each step
    run({press("up"), noteCurrent(), press("down"), press("down"), noteCurrent(), press("down"),
         noteCurrent(), press("down"), noteCurrent(), press("up"), press("up"), press("up"), noteCurrent(),
         press("up"), noteCurrent()});
    EXPECT_EQ(current, (std::vector<int>{0, 200, 301, 402, 101, 0}));
    EXPECT_TRUE(selections.empty());
    current.clear();
    list->setCurrentIndex(9);
    run({press("down"), noteCurrent()});
    EXPECT_EQ(current, (std::vector<int>{907})) << "down stops at the last entry";
}

TEST_F(ListBox, LeftAndRightMoveByAPage) {
    fill(10);
    run({press("right"), noteCurrent(), press("right"), noteCurrent(), press("right"), press("right"),
         noteCurrent(), press("left"), noteCurrent()});
    EXPECT_EQ(current, (std::vector<int>{303, 606, 907, 604}));
}

TEST_F(ListBox, OkSelectsTheCurrentEntry) {
    fill(5);
    run({press("down"), press("down"), press("ok")});
    ASSERT_EQ(selections.size(), 1u);
    ASSERT_NE(selections[0], nullptr);
    EXPECT_EQ(selections[0]->getKey(), 102);
}

TEST_F(ListBox, ExitSelectsNothingAndKeepsTheWindowRunning) {
    fill(5);
    run({press("exit"), [this] { EXPECT_TRUE(window.isRunning()) << "the list consumed exit"; }});
    EXPECT_EQ(selections, (std::vector<eListBoxEntryText*>{nullptr}));
}

TEST_F(ListBox, OkOnAnEmptyListEmitsNothing) {
    fill(0);
    EXPECT_EQ(list->getCurrentEntry(), nullptr);
    EXPECT_EQ(list->getCurrentIndex(), -1);
    run({press("ok"), press("down"), press("right"), press("ok")});
    EXPECT_EQ(signals, 0);
}

TEST_F(ListBox, OutOfRangeIndexIsIgnoredAndClearListRefillStartsAtTheTop) {
    fill(10);
    list->setCurrentIndex(8);
    list->setCurrentIndex(10);
    list->setCurrentIndex(-1);
    EXPECT_EQ(list->getCurrentIndex(), 8);
    EXPECT_EQ(list->getTopIndex(), 6);
    list->clearList();
    EXPECT_EQ(list->getCount(), 0);
    EXPECT_EQ(list->getCurrentIndex(), -1);
    new eListBoxEntryText(list, "again", 7);
    EXPECT_EQ(list->getCurrentIndex(), 0);
    EXPECT_EQ(list->getTopIndex(), 0);
}

TEST_F(ListBox, StandardEntryHeightFitsOneLineOfTheLabelFont) {
    fill(0);
    float line = fontRenderClass::getInstance()->getLineHeight(eSkin::getActive()->queryFont("eLabel"));
    EXPECT_GE(eListBoxEntryText::getEntryHeight(), line);
    EXPECT_LT(eListBoxEntryText::getEntryHeight(), 2 * line);
    EXPECT_EQ(list->getEntryHeightPx(), eListBoxEntryText::getEntryHeight());
}

}  // namespace
