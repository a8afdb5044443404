// Focus: each top-level window remembers its own focused widget, so a
// window that comes back after a nested one closed has the focus it had.
#include "emu/widget_private.h"

void eWidget::setFocus(eWidget* widget) {
    eWidget* window = widget ? widget->getTLW() : getTLW();
    eWidget* old = window->impl().focus;
    if (old == widget) return;
    window->impl().focus = widget;
    if (old) old->eventHandler(eWidgetEvent(eWidgetEvent::lostFocus));
    // The old widget may have moved the focus again while losing it.
    if (widget && window->impl().focus == widget)
        widget->eventHandler(eWidgetEvent(eWidgetEvent::gotFocus));
}

eWidget* eWidget::getFocus() const {
    return const_cast<eWidget*>(this)->getTLW()->impl().focus;
}

bool eWidget::hasFocus() const { return getFocus() == this; }

namespace emu {

bool shownInWindow(const eWidget* w) {
    for (; w && w->getParent(); w = w->getParent())
        if (!w->isVisible()) return false;
    return true;
}

namespace {
bool focusable(eWidget* w) { return w->takesFocus() && shownInWindow(w); }
}  // namespace

void moveFocus(eWidget* window, int direction) {
    std::vector<eWidget*> order;
    collectDescendants(window, order);
    eWidget* current = window->getFocus();
    int n = static_cast<int>(order.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (order[i] == current) at = i;
    if (at < 0) {
        // Nothing focused yet (or the focus is outside the tree): start at
        // the end the key points away from.
        at = direction > 0 ? -1 : n;
    }
    for (int i = at + direction; i >= 0 && i < n; i += direction)
        if (focusable(order[i])) {
            window->setFocus(order[i]);
            return;
        }
}

}  // namespace emu
