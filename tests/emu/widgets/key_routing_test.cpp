// Key routing: only the innermost modal window takes keys; the focused
// widget first, then the window; shortcuts; focus movement; actions.
#include <gtest/gtest.h>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

// Records what its handler sees, then lets the base window act.
class RecordingWindow : public eWindow {
public:
    std::vector<int> types;
    std::vector<const eAction*> actions;
    int eventHandler(const eWidgetEvent& event) override {
        types.push_back(event.type);
        if (event.type == eWidgetEvent::evtAction) actions.push_back(event.action);
        return eWindow::eventHandler(event);
    }
};

// A focusable widget that eats every event of one type (key records or
// typed text), counting them and keeping the text.
class Eater : public eWidget {
public:
    Eater(eWidget* parent, int eats) : eWidget(parent, 1), eats(eats) {}
    const int eats;  // eWidgetEvent::evtKey or evtText
    int eaten = 0;
    std::string text;
    int eventHandler(const eWidgetEvent& event) override {
        if (event.type != eats) return 0;
        ++eaten;
        if (event.type == eWidgetEvent::evtText) text += event.text;
        return 1;
    }
};

TEST(KeyRouting, KeysReachTheInnermostModalWindowOnly) {
    {
        eWindow shownOnly;
        shownOnly.show();
        EXPECT_FALSE(emu::deliverKey(rcOk)) << "no modal window takes keys";
        EXPECT_FALSE(emu::deliverText("x"));
    }
    eWindow outer, inner;
    int outerPresses = 0, innerPresses = 0;
    outer.setFocus(addButton(&outer, 10, &outerPresses));
    inner.setFocus(addButton(&inner, 10, &innerPresses));
    ModalScript script({[&] { inner.exec(); }, press("ok"), press("ok"), press("exit"), press("ok"),
                        [&] { outer.close(0); }});
    outer.exec();
    EXPECT_EQ(innerPresses, 2);
    EXPECT_EQ(outerPresses, 1) << "after the inner window left, the outer one takes keys again";
}

TEST(KeyRouting, FocusedWidgetSeesTheKeyBeforeTheWindow) {
    RecordingWindow window;
    auto* eater = new Eater(&window, eWidgetEvent::evtKey);
    window.setFocus(eater);
    ModalScript script({press("down"), press("exit"), [&] { window.close(5); }});
    EXPECT_EQ(window.exec(), 5) << "exit was eaten too";
    EXPECT_EQ(eater->eaten, 2);
    EXPECT_TRUE(window.types.empty());
}

TEST(KeyRouting, WindowHandlerSeesTheKeyRecordThenTheAction) {
    RecordingWindow window;
    window.setFocus(addButton(&window, 10));
    ModalScript script({press("down"), press("pagedown"), press("exit")});
    window.exec();
    EXPECT_EQ(window.types, (std::vector<int>{0, 15, 0, 0, 15}));
    EXPECT_EQ(window.actions, (std::vector<const eAction*>{&i_cursorActions->down, &i_cursorActions->cancel}));
}

TEST(KeyRouting, UpDownMoveFocusDepthFirstSkippingHiddenAndPassiveWidgets) {
    eWindow window;
    window.show();
    eButton* a = addButton(&window, 10);
    auto* group = new eWidget(&window);
    eButton* b = addButton(group, 0);
    new eLabel(group);  // takes no focus
    eButton* hidden = addButton(group, 40);
    hidden->hide();
    eButton* c = addButton(&window, 90);
    std::vector<eWidget*> seen;
    auto note = [&] { seen.push_back(window.getFocus()); };
    window.setFocus(a);
    ModalScript script({press("down"), note, press("down"), note, press("down"), note,
                        press("up"), note, press("left"), note, press("left"), note,
                        press("right"), note, press("exit")});
    window.exec();
    EXPECT_EQ(seen, (std::vector<eWidget*>{b, c, c, b, a, a, b}));
}

TEST(KeyRouting, AfterTheFocusedWidgetIsDeletedDownStartsAtTheTop) {
    eWindow window;
    eButton* first = addButton(&window, 10);
    eButton* second = addButton(&window, 50);
    window.setFocus(second);
    ModalScript script({[&] { delete second; }, press("ok"), press("down"), press("exit")});
    window.exec();
    EXPECT_EQ(window.getFocus(), first);
}

TEST(KeyRouting, ShortcutFiresTheShownButtonAndFocusesIt) {
    eWindow window;
    window.show();
    int one = 0, three = 0, green = 0, hiddenPresses = 0;
    eButton* b1 = addButton(&window, 10, &one, "1");
    eButton* b3 = addButton(&window, 50, &three, "3");
    addButton(&window, 90, &green, "green");
    eButton* hidden = addButton(&window, 130, &hiddenPresses, "4");
    hidden->hide();
    window.setFocus(b1);
    ModalScript script({press("3"), [&] { EXPECT_EQ(window.getFocus(), b3); }, press("green"), press("4"),
                        press("ok"), press("exit")});
    window.exec();
    EXPECT_EQ(one, 0);
    EXPECT_EQ(three, 1);
    EXPECT_EQ(green, 2) << "shortcut, then OK on the button it focused";
    EXPECT_EQ(hiddenPresses, 0);
}

TEST(KeyRouting, TextGoesToTheFocusedWidgetOfTheInnermostWindow) {
    eWindow outer, inner;
    auto* outerSink = new Eater(&outer, eWidgetEvent::evtText);
    auto* innerSink = new Eater(&inner, eWidgetEvent::evtText);
    outer.setFocus(outerSink);
    inner.setFocus(innerSink);
    ModalScript script({[&] { inner.exec(); }, type("héllo"), press("exit"), type("!"), press("exit")});
    outer.exec();
    EXPECT_EQ(innerSink->text, "héllo");
    EXPECT_EQ(outerSink->text, "!");
}

// The plug-in's only bound on what a user types (nickname 15, directory
// 100, shout 500): characters, not bytes; control bytes never get in.
TEST(KeyRouting, InputFieldKeepsAtMostItsMaximumOfCharacters) {
    const struct { int maxChars; const char* typed; const char* kept; } cases[] = {
        {3, "h\xC3\xA9llo", "h\xC3\xA9l"}, {3, "a\x01\x1b" "bcd", "abc"}, {0, "unbounded", "unbounded"}};
    for (const auto& c : cases) {
        eWindow window;
        auto* field = new eTextInputField(&window);
        field->setMaxChars(c.maxChars);
        window.setFocus(field);
        ModalScript script({press("ok"), type(c.typed), press("ok"), press("exit")});
        window.exec();
        EXPECT_EQ(field->getText(), c.kept) << c.typed;
    }
}

}  // namespace
