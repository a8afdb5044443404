// Labels against the real font: the extent of one line, of several, and of
// wrapped text; the skin's values and fonts.
#include <gtest/gtest.h>
#include "emu/text_engine.h"
#include "host/ewidget.h"

namespace {

class LabelFont : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(emu::initFonts()) << "DejaVu Sans is needed for these tests"; }
    eWindow window;
    eLabel* label = new eLabel(&window);
    int line() const { return static_cast<int>(fontRenderClass::getInstance()->getLineHeight(label->getFont())); }
};

TEST_F(LabelFont, SkinKnowsFontsizeAndSizesItsFonts) {
    eSkin* skin = eSkin::getActive();
    EXPECT_EQ(skin->queryValue("fontsize", 99), 20);
    EXPECT_EQ(skin->queryValue("nosuchvalue", 7), 7);
    gFont labelFont = skin->queryFont("eLabel");
    gFont status = skin->queryFont("eStatusBar");
    gFont control = skin->queryFont("eButton");
    EXPECT_EQ(labelFont.family, "DejaVu Sans");
    EXPECT_EQ(control.pointSize, 20) << "controls use the skin's font size";
    EXPECT_GE(labelFont.pointSize, 14);
    EXPECT_LT(labelFont.pointSize, control.pointSize) << "texts are smaller than controls";
    EXPECT_GE(status.pointSize, 12);
    EXPECT_LE(status.pointSize, labelFont.pointSize);
    EXPECT_EQ(skin->queryFont("somethingElse"), control);
}

TEST_F(LabelFont, UnwrappedTextIsOneLineHeightPerLineFeedWhateverTheWidth) {
    EXPECT_EQ(label->getFont(), eSkin::getActive()->queryFont("eLabel")) << "labels default to the skin's label font";
    struct Case { const char* text; int width, lines; bool widerThanLabel; };
    const Case cases[] = {{"Wait please..", 500, 1, false},
                          {"first\nsecond", 500, 2, false},
                          {"first\nsecond\n\nfourth", 500, 4, false},
                          {"a sentence that is much wider than one hundred pixels", 100, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        label->resize(eSize(c.width, 10));
        label->setText(c.text);
        EXPECT_EQ(label->getExtend().h, c.lines * line());
        EXPECT_GT(label->getExtend().w, 0);
        EXPECT_EQ(label->getExtend().w > c.width, c.widerThanLabel);
    }
}

TEST_F(LabelFont, WrappedTextFillsTheLabelWidthAndGrowsDown) {
    label->resize(eSize(150, 10));
    label->setFlags(eLabel::flagWrap);
    label->setText("a sentence that is much wider than one hundred and fifty pixels");
    eSize extent = label->getExtend();
    EXPECT_LE(extent.w, 150);
    EXPECT_GT(extent.h, 2 * line());
    EXPECT_EQ(extent.h % line(), 0) << "whole lines";
    // Wider label, fewer lines.
    label->resize(eSize(400, 10));
    EXPECT_LT(label->getExtend().h, extent.h);
}

TEST_F(LabelFont, StatusBarFontGivesShorterLines) {
    label->setText("x");
    int labelLine = label->getExtend().h;
    label->setFont(eSkin::getActive()->queryFont("eStatusBar"));
    EXPECT_LT(label->getExtend().h, labelLine);
    EXPECT_EQ(label->getExtend().h, line());
}

}  // namespace
