// Laying out a page of scrolling text: a tall label inside a clipping area
// that shows whole lines of the label's font.
#pragma once
#include "host/ewidget.h"

// How a window cuts its page.
struct PageRule {
    // The area keeps 1/extraLineDivisor of a line under the whole lines, so
    // that the descenders of the last line are not cut.
    int extraLineDivisor;
    // Whole lines are counted with the line height cut to whole pixels
    // (else with the height as the font gives it).
    bool countWithWholePixelLines;
    // A scroll step moves the text by the whole area, extra included (else
    // by the whole lines only).
    bool stepIsWholeArea;
};

// How many scroll steps tall the label is made.
inline constexpr int labelSteps = 14;

// Shrinks `visible` to as many whole lines of `label`'s font as fit it (at
// least one) plus the rule's extra, and makes `label` as wide as `visible`
// and labelSteps steps tall. Returns the step, at least one pixel: a step
// of 0 would never end the scroll range's computation.
int layOutTextPage(eWidget* visible, eLabel* label, const PageRule& rule);
