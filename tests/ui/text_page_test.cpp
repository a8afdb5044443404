// The page cut of a scrolling text: whole lines, the rule's extra part of a
// line, the step, and a page of one line even when the font is taller than
// the area (a step of 0 would never end the scroll range's computation).
// Pages of several lines in both rules the windows use are pinned by the
// layout copies of the news and shoutbox tours (e2e/tour_test.cpp).
#include <gtest/gtest.h>
#include "host/ewidget.h"
#include "ui/text_page.h"

TEST(LayOutTextPage, CutsWholeLinesPlusTheRulesExtraAndMakesTheLabelFourteenSteps) {
    const struct {
        const char* what;
        int areaHalfLines;  // the area's height before
        PageRule rule;
        int pageHalfLines;  // the whole lines kept
    } cases[] = {
        {"exactly 3 lines", 6, {6, false, false}, 6},
        {"half a line: one line still", 1, {6, false, false}, 2},
        {"half a line, whole area", 1, {12, true, true}, 2},
    };
    for (const auto& c : cases) {
        eWindow window;
        auto* visible = new eWidget(&window);
        auto* label = new eLabel(visible);
        const int line = static_cast<int>(fontRenderClass::getInstance()->getLineHeight(label->getFont()));
        ASSERT_GE(line, 12) << "a line too short to show the extra part";
        visible->resize(eSize(300, c.areaHalfLines * line / 2));

        const int step = layOutTextPage(visible, label, c.rule);

        const int page = c.pageHalfLines * line / 2;
        const int height = page + line / c.rule.extraLineDivisor;
        EXPECT_EQ(visible->getSize(), eSize(300, height)) << c.what;
        EXPECT_EQ(step, c.rule.stepIsWholeArea ? height : page) << c.what;
        EXPECT_EQ(label->getSize(), eSize(300, labelSteps * step)) << c.what;
    }
}
