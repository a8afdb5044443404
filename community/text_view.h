// What the two scrolling text windows of the community (shoutbox, file
// detail) share: the page geometry, the scroll keys and the row of two
// buttons under the text.
#pragma once
#include "host/ewidget.h"
#include "ui/page_scroller.h"

namespace community {
// Places `window` where both text windows stand, its client area at
// (65, 70), 595 x 460.
void placeTextWindow(eWidget* window);

// The scroll bar ("scrollbar") and the clipping area ("visible") of a text
// window, both children of `window`, in the window's client area.
struct TextArea {
    eProgress* scrollbar;
    eWidget* visible;
};
TextArea addTextArea(eWidget* window);

// The page: as many whole text lines as fit `visible` (at least one), which
// is then shrunk to that page plus a sixth of a line; `label` is sized to
// fourteen pages, hidden and put at the top. Returns the page height.
int layoutPage(eWidget* visible, eLabel* label);

// Shows `text` in the scroller's label from its top, with the range and bar
// recomputed.
void showFromTop(PageScroller& scroller, eLabel* label, const eString& text);

// The keys of a text window: cancel closes it with 0; while the text is
// longer than a page, up and down scroll and are consumed even at the ends.
// Returns 1 when the event was consumed.
int handleTextKeys(eWidget& window, PageScroller& scroller, const eWidgetEvent& event);

// One of the two buttons under the text (slot 0 left, 1 right).
eButton* addButton(eWidget* window, int slot, const eString& caption);
}  // namespace community
