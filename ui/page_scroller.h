// The scrolling model of the three text views: a tall label inside a
// clipping area moves by whole pages, and a vertical bar shows start and
// size in per cent. The scroll range is 0 while the text fits one page.
#pragma once

class eLabel;
class eProgress;

class PageScroller {
public:
    // `label` scrolls by `page` pixels; `bar` shows where. Both borrowed:
    // they are child widgets of the window that owns this scroller.
    PageScroller(eLabel* label, eProgress* bar, int page) : label(label), bar(bar), page(page) {}

    // Recomputes the range from the label's current text height and
    // position, and sets the bar.
    void update();
    // One page towards the top / bottom; false when nothing moved (at the
    // end, or scrolling is off).
    bool up();
    bool down();
    // Back to the top (after a new text).
    void reset();

    int range() const { return scrollRange; }
    int pageHeight() const { return page; }

private:
    eLabel* label;
    eProgress* bar;
    int page;
    int scrollRange = 0;
};
