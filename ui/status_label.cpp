#include "ui/status_label.h"

namespace {
constexpr int sideMargin = 10;
}

eLabel* addStatusLabel(eWidget* window, int top, int height) {
    auto* label = new eLabel(window);  // owned by the window
    label->move(ePoint(sideMargin, top));
    label->resize(eSize(window->getClientSize().width() - 2 * sideMargin, height));
    label->loadDeco();
    return label;
}
