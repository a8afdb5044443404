// The screen dump: one line per shown window and widget, stable prefixes,
// escaped texts.
#include <gtest/gtest.h>
#include <sstream>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

std::vector<std::string> lines(const std::string& dump) {
    std::vector<std::string> out;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The one line that starts with `prefix` (after the indentation given in it).
std::string lineStarting(const std::string& dump, const std::string& prefix) {
    std::string found;
    int count = 0;
    for (const std::string& line : lines(dump))
        if (line.compare(0, prefix.size(), prefix) == 0) {
            found = line;
            ++count;
        }
    EXPECT_EQ(count, 1) << "lines starting with '" << prefix << "' in\n" << dump;
    return found;
}

class ScreenDump : public ::testing::Test {
protected:
    eWindow window;
    void SetUp() override {
        window.cmove(ePoint(100, 100));
        window.cresize(eSize(520, 400));
        window.setText("Main \"menu\"");
        window.show();
    }
};

TEST_F(ScreenDump, WindowLineHasGeometryModalStateAndTitle) {
    eRect c = window.getClientRect();
    std::string expected = "window eWindow outer=" + std::to_string(100 - c.x) + "," + std::to_string(100 - c.y) +
                           "," + std::to_string(window.getSize().w) + "x" + std::to_string(window.getSize().h) +
                           " client=100,100,520x400 modal=no title=\"Main \\\"menu\\\"\"";
    EXPECT_EQ(lineStarting(emu::dumpScreen(), "window "), expected);
    EXPECT_EQ(lines(emu::dumpScreen()).front(), "screen 720x576");
}

TEST_F(ScreenDump, WidgetsAreIndentedByDepthWithTheirOwnDetails) {
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
    label->setText("a\\b\tc\nd\r");
    auto* bar = new eProgress(&window);
    bar->direction = 1;
    bar->setParams(33, 34);
    auto* field = new eTextInputField(&window);
    field->setMaxChars(15);
    window.setFocus(button);

    std::string dump = emu::dumpScreen();
    EXPECT_EQ(lineStarting(dump, "  eButton"),
              "  eButton name=\"entry1\" rect=35,140,450x30 shortcut=\"1\" focus text=\"Download Area\"");
    EXPECT_EQ(lineStarting(dump, "  eWidget"), "  eWidget rect=10,5,500x300 text=\"\"");
    std::string labelLine = lineStarting(dump, "    eLabel");
    EXPECT_NE(labelLine.find(" rect=0,-300,500x4200 flags=1 extent="), std::string::npos) << labelLine;
    EXPECT_NE(labelLine.find(" text=\"a\\\\b\\tc\\nd\\r\""), std::string::npos) << labelLine;
    EXPECT_NE(lineStarting(dump, "  eProgress").find(" start=33 size=34 direction=vertical"), std::string::npos);
    EXPECT_NE(lineStarting(dump, "  eTextInputField").find(" maxchars=15 editing=0"), std::string::npos);
}

TEST_F(ScreenDump, HiddenWidgetsAndWindowsAreLeftOut) {
    auto* shown = new eLabel(&window);
    shown->setText("shown");
    auto* hiddenBox = new eWidget(&window);
    hiddenBox->hide();
    auto* inside = new eLabel(hiddenBox);
    inside->setText("inside hidden");
    eWindow hiddenWindow;
    hiddenWindow.setText("not on screen");
    std::string dump = emu::dumpScreen();
    EXPECT_NE(dump.find("\"shown\""), std::string::npos);
    EXPECT_EQ(dump.find("inside hidden"), std::string::npos);
    EXPECT_EQ(dump.find("not on screen"), std::string::npos);
}

TEST_F(ScreenDump, ListEntriesFollowTheirListWithTheCurrentOneMarked) {
    auto* list = new eListBox<eListBoxEntryText>(&window);
    list->resize(eSize(300, 200));
    new eListBoxEntryText(list, "Plugin A", 17);
    new eListBoxEntryText(list, "Tips & \"Tricks\"\n", 23);
    list->setCurrentIndex(1);
    std::vector<std::string> all = lines(emu::dumpScreen());
    auto at = std::find_if(all.begin(), all.end(), [](const std::string& l) { return l.rfind("  eListBox ", 0) == 0; });
    ASSERT_NE(at, all.end());
    EXPECT_NE(at->find(" count=2 current=1 top=0"), std::string::npos) << *at;
    ASSERT_GE(all.end() - at, 3);
    EXPECT_EQ(at[1], "    entry key=17 text=\"Plugin A\"");
    EXPECT_EQ(at[2], "    entry key=23 current text=\"Tips & \\\"Tricks\\\"\\n\"");
}

TEST_F(ScreenDump, ComboShowsItsCurrentEntryAndItsEntries) {
    auto* combo = new eComboBox(&window, 3);
    new eListBoxEntryText(combo->getList(), "English", 1);
    new eListBoxEntryText(combo->getList(), "French", 2);
    combo->setCurrent(1, false);
    std::string dump = emu::dumpScreen();
    EXPECT_NE(lineStarting(dump, "  eComboBox").find(" current=1 "), std::string::npos);
    EXPECT_EQ(lineStarting(dump, "    entry key=2"), "    entry key=2 current text=\"French\"");
}

TEST_F(ScreenDump, MessageBoxLineCarriesFlagsAndTextAndModalStateFollowsTheStack) {
    std::string during;
    eMessageBox box("Line one\nline two", "Warning", 0x21, 1, 0);
    box.show();
    ModalScript script({[&] { box.exec(); }, [&] { during = emu::dumpScreen(); }, press("ok"),
                        [&] { window.close(0); }});
    window.exec();
    std::string boxLine = lineStarting(during, "window eMessageBox");
    EXPECT_NE(boxLine.find(" modal=innermost "), std::string::npos) << boxLine;
    EXPECT_NE(boxLine.find(" title=\"Warning\" flags=0x21 message=\"Line one\\nline two\""), std::string::npos)
        << boxLine;
    EXPECT_NE(lineStarting(during, "window eWindow").find(" modal=outer "), std::string::npos);
    // Bottom to top: the box was constructed after the main window.
    EXPECT_LT(during.find("window eWindow"), during.find("window eMessageBox"));
    EXPECT_NE(lineStarting(during, "  eButton").find(" focus "), std::string::npos);
}

}  // namespace
