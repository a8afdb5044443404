// The page of the scrolling text views: as many whole text lines as fit
// the visible area, which is then shrunk to that page plus a sixth of a line.
#pragma once
#include "host/ewidget.h"

namespace community {
// Sizes `visible` and `label` and returns the page height (never below 1,
// so that a huge font cannot make the scroll range computation endless).
int layoutPage(eWidget* visible, eLabel* label);
}  // namespace community
