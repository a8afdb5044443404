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

TEST_F(TextInput, TypedTextGoesAfterTheExistingText) {
    field->setText("/media/");
    run({press("ok"), type("hdd"), press("ok")});
    EXPECT_EQ(field->getText(), "/media/hdd");
}

TEST_F(TextInput, LimitCountsCharactersNotBytes) {
    field->setMaxChars(5);
    run({press("ok"), type("äö"), type("ü€"), type("ßxyz")});
    EXPECT_EQ(field->getText(), "äöü€ß");
    EXPECT_EQ(field->getText().size(), 11u);
}

TEST_F(TextInput, FullFieldAcceptsNothingMoreButAfterDeletingOneMore) {
    field->setMaxChars(3);
    run({press("ok"), type("abc"), type("d"), type("\b"), type("€€")});
    EXPECT_EQ(field->getText(), "ab€");
}

TEST_F(TextInput, CursorMovesByWholeCharacters) {
    run({press("ok"), type("aéb"), press("left"), press("left"), type("X"), press("right"), type("\b"),
         press("left"), press("left"), press("left"), press("left"), type("<"), type("\x7f")});
    // aéb -> aXéb -> aXb (backspace after é) -> <aXb -> <Xb (delete at the a)
    EXPECT_EQ(field->getText(), "<Xb");
}

TEST_F(TextInput, MalformedUtf8AndControlBytesAreDropped) {
    field->setMaxChars(4);
    run({press("ok"), type("a\x80\xC3\n\tb\xE2\x82"), type("c\xF0\x9F\x98\x80")});
    EXPECT_EQ(field->getText(), "abc\xF0\x9F\x98\x80");
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

TEST_F(TextInput, TextReplacedWhileEditingKeepsTheCursorInside) {
    run({press("ok"), type("long text here"), [this] { field->setText("ab"); }, type("c")});
    EXPECT_EQ(field->getText(), "abc");
}

}  // namespace
