// The screen dump, which every end-to-end test reads: one line per shown
// window (bottom to top) and widget (indented by depth), each with its own
// details and escaped texts; hidden ones are left out. One screen with every
// kind of widget, during a modal message box and after it, is compared with
// its reviewed copy.
#include <gtest/gtest.h>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"
#include "tests/support/reviewed.h"

TEST(ScreenDump, EveryWidgetKindHasItsReviewedLine) {
    eWindow window;
    window.cmove(ePoint(100, 100));
    window.cresize(eSize(520, 400));
    window.setText("Main \"menu\"");
    window.show();
    auto* button = new eButton(&window);
    button->setName("entry1");
    button->move(ePoint(35, 140));
    button->resize(eSize(450, 30));
    button->setShortcut("1");
    button->setText("Download Area");
    auto* area = new eWidget(&window);
    area->move(ePoint(10, 5));
    area->resize(eSize(500, 300));
    auto* label = new eLabel(area, eLabel::flagWrap);
    label->move(ePoint(0, -300));
    label->resize(eSize(500, 4200));
    label->setText("a\\b\tc\nd\r\x01\xC3\xA9");
    auto* bar = new eProgress(&window);
    bar->direction = 1;
    bar->setParams(33, 34);
    (new eTextInputField(&window))->setMaxChars(15);
    auto* list = new eListBox<eListBoxEntryText>(&window);
    list->resize(eSize(300, 200));
    new eListBoxEntryText(list, "Plugin A", 17);
    new eListBoxEntryText(list, "Tips & \"Tricks\"\n", 23);
    list->setCurrentIndex(1);
    auto* combo = new eComboBox(&window, 3);
    new eListBoxEntryText(combo->getList(), "English", 1);
    new eListBoxEntryText(combo->getList(), "French", 2);
    combo->setCurrent(1, false);
    auto* hiddenBox = new eWidget(&window);
    hiddenBox->hide();
    (new eLabel(hiddenBox))->setText("inside hidden");
    eWindow hiddenWindow;
    hiddenWindow.setText("not on screen");
    window.setFocus(button);

    std::string during;
    eMessageBox box("Line one\nline two", "Warning", 0x21, 1, 0);
    box.show();
    ModalScript script({[&] { box.exec(); }, [&] { during = emu::dumpScreen(); }, press("ok"),
                        [&] { window.close(0); }});
    window.exec();
    expectReviewed(during + "== after\n" + emu::dumpScreen(), "widgets/screen_dump");
}
