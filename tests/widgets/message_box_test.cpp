// Message boxes: what exec returns, the layout and the icon.
#include <gtest/gtest.h>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

eWidget* childNamed(eWidget* parent, const char* name) {
    for (eWidget* w : parent->getChildren())
        if (w->getName() == name) return w;
    return nullptr;
}

std::vector<eButton*> buttonsOf(eWidget* box) {
    std::vector<eButton*> out;
    for (eWidget* w : box->getChildren())
        if (auto* b = dynamic_cast<eButton*>(w)) out.push_back(b);
    return out;
}

int runBox(eMessageBox& box, std::vector<ModalScript::Step> steps) {
    ModalScript script(std::move(steps));
    box.show();
    int result = box.exec();
    box.hide();
    return result;
}

TEST(MessageBox, ExecReturnsThePressedButtonsFlagMinusOneOnExitOrTimeout) {
    const int yesNo = eMessageBox::btYes | eMessageBox::btNo | 0x40;
    struct Case { const char* name; int flags, defaultButton, timeout; std::vector<ModalScript::Step> steps; int result; };
    const Case cases[] = {{"ok", 0x21, 1, 0, {press("ok")}, 1},
                          {"exit", 0x21, 1, 0, {press("exit")}, -1},
                          {"ok on default No", yesNo, eMessageBox::btNo, 0, {press("ok")}, eMessageBox::btNo},
                          {"left to Yes", yesNo, eMessageBox::btNo, 0, {press("left"), press("ok")}, eMessageBox::btYes},
                          {"timeout", 1, 1, 1, {}, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        eMessageBox box("text", "caption", c.flags, c.defaultButton, c.timeout);
        EXPECT_EQ(runBox(box, c.steps), c.result);
    }
}

TEST(MessageBox, TextIsShownInAFittingLabel) {
    eMessageBox box("Error loading logo", "Error", 0x21, 1, 0);
    auto* text = dynamic_cast<eLabel*>(childNamed(&box, "message"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->getText(), "Error loading logo");
    EXPECT_LE(text->getExtend().h, text->getSize().h) << "the text fits its label";
}

TEST(MessageBox, CentredOnTheScreen) {
    eMessageBox box("Download Completed", "Details", 0x11, 1, 0);
    ePoint p = box.getPosition();
    eSize s = box.getSize();
    EXPECT_NEAR(p.x, 720 - (p.x + s.w), 1);
    EXPECT_NEAR(p.y, 576 - (p.y + s.h), 1);
}

TEST(MessageBox, OneOkButtonForFlagOneAndNoneWithoutIt) {
    eMessageBox withOk("text", "caption", 1, 1, 0);
    auto buttons = buttonsOf(&withOk);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->getText(), "OK");
    EXPECT_EQ(withOk.getFocus(), buttons[0]);
    EXPECT_EQ(childNamed(&withOk, "icon"), nullptr);

    eMessageBox bare("text", "caption", 0, 1, 0);
    EXPECT_TRUE(buttonsOf(&bare).empty());
}

TEST(MessageBox, IconsForInfoAndWarningDiffer) {
    eMessageBox info("done", "Details", 0x11, 1, 0);
    eMessageBox warning("careful", "Warning", 0x21, 1, 0);
    eWidget* infoIcon = childNamed(&info, "icon");
    eWidget* warningIcon = childNamed(&warning, "icon");
    ASSERT_NE(infoIcon, nullptr);
    ASSERT_NE(warningIcon, nullptr);
    EXPECT_NE(infoIcon->getText(), warningIcon->getText());
    // The text stays clear of the icon.
    eWidget* text = childNamed(&warning, "message");
    EXPECT_GE(text->getPosition().x, warningIcon->getPosition().x + warningIcon->getSize().w);
}

TEST(MessageBox, LongTextWrapsIntoABoxThatFitsTheScreen) {
    const eString text =
        "Type your message into the textinput field before to send the Shout. \nTo insert message: (1) Select "
        "textinput (2) Press Ok button (3) Type your text (4) Press Ok again when finished.";
    eMessageBox box(text, "Warning", 0x21, 1, 0);
    EXPECT_GE(box.getPosition().x, 0);
    EXPECT_LE(box.getPosition().x + box.getSize().w, 720);
    auto* label = dynamic_cast<eLabel*>(childNamed(&box, "message"));
    ASSERT_NE(label, nullptr);
    float line = fontRenderClass::getInstance()->getLineHeight(label->getFont());
    EXPECT_GT(label->getExtend().h, 2 * line) << "wrapped beyond the one line feed";
    EXPECT_LE(label->getExtend().h, label->getSize().h);
}

TEST(MessageBox, DefaultButtonHasTheFocus) {
    eMessageBox box("Overwrite?", "Question", eMessageBox::btYes | eMessageBox::btNo | 0x40, eMessageBox::btNo, 0);
    EXPECT_EQ(box.getFocus()->getText(), "No");
}

}  // namespace
