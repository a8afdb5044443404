// Text input fields: OK enters and leaves edit mode, typed text goes in at
// the cursor, the length limit counts UTF-8 characters.
#include <gtest/gtest.h>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

class TextInput : public ::testing::Test {
protected:
    eWindow window;
    eTextInputField* field = new eTextInputField(&window);
    eButton* after = new eButton(&window);

    void SetUp() override { window.setFocus(field); }

    void run(std::vector<ModalScript::Step> steps) {
        steps.push_back([this] { window.close(0); });
        ModalScript script(std::move(steps));
        window.exec();
    }
};

TEST_F(TextInput, TypingNeedsEditModeWhichOkTogglesOnAndOff) {
    run({type("ignored"), press("ok"), [this] { EXPECT_TRUE(field->isEditing()); }, type("Tom"),
         press("ok"), type("x")});
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(field->getText(), "Tom");
}

// Edit mode entered with OK, then keys and typed text; the resulting text.
TEST_F(TextInput, EditingInsertsWholeCharactersAtTheCursorWithinTheLimit) {
    struct Case { const char* name; const char* initial; int maxChars; std::vector<ModalScript::Step> steps; const char* text; };
    const Case cases[] = {
        {"appends to existing text", "/media/", 0, {type("hdd"), press("ok")}, "/media/hdd"},
        {"limit counts characters, not bytes", "", 5, {type("äö"), type("ü€"), type("ßxyz")}, "äöü€ß"},
        {"full field takes one more after a deletion", "", 3, {type("abc"), type("d"), type("\b"), type("€€")}, "ab€"},
        // aéb -> aXéb -> aXb (backspace after é) -> <aXb -> <Xb (delete at the a)
        {"cursor moves by whole characters", "", 0,
         {type("aéb"), press("left"), press("left"), type("X"), press("right"), type("\b"), press("left"),
          press("left"), press("left"), press("left"), type("<"), type("\x7f")},
         "<Xb"},
        {"malformed UTF-8 and control bytes are dropped", "", 4,
         {type("a\x80\xC3\n\tb\xE2\x82"), type("c\xF0\x9F\x98\x80")}, "abc\xF0\x9F\x98\x80"},
        {"text replaced while editing keeps the cursor inside", "", 0,
         {type("long text here"), [this] { field->setText("ab"); }, type("c")}, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        field->setMaxChars(c.maxChars);  // 0: unlimited
        field->setText(c.initial);
        std::vector<ModalScript::Step> steps = {press("ok")};
        steps.insert(steps.end(), c.steps.begin(), c.steps.end());
        run(steps);
        EXPECT_EQ(field->getText(), c.text);
        if (field->isEditing()) run({press("ok")});
    }
}

TEST_F(TextInput, DigitKeysTypeWhileEditingAndFireShortcutsOtherwise) {
    int shortcutPresses = 0;
    after->setShortcut("1");
    after->selected.connect([&] { ++shortcutPresses; });
    run({press("ok"), press("1"), press("2"), press("ok"), press("1")});
    EXPECT_EQ(field->getText(), "12");
    EXPECT_EQ(shortcutPresses, 1);
}

TEST_F(TextInput, UpDownStayInTheFieldWhileEditingAndMoveFocusOtherwise) {
    run({press("ok"), press("down"), [this] { EXPECT_EQ(window.getFocus(), field); }, press("ok"),
         press("down"), [this] { EXPECT_EQ(window.getFocus(), after); }});
}

TEST_F(TextInput, ExitEndsEditingKeepingTheTextAndTheWindow) {
    run({press("ok"), type("abc"), press("exit"), [this] {
             EXPECT_FALSE(field->isEditing());
             EXPECT_TRUE(window.isRunning());
         }});
    EXPECT_EQ(field->getText(), "abc");
}

TEST_F(TextInput, LosingTheFocusEndsEditing) {
    after->setShortcut("green");
    run({press("ok"), press("green"), type("lost")});
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(window.getFocus(), after);
    EXPECT_EQ(field->getText(), "");
}


}  // namespace
