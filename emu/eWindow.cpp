// eWindow: a decorated top-level window and the host's own key handling.
#include "emu/widget_private.h"

eWindow::eWindow(int takeFocus) : eWidget(nullptr, takeFocus) {
    impl().frame = emu::Insets{emu::kWindowBorder, emu::kWindowTitleHeight, emu::kWindowBorder,
                               emu::kWindowBorder};
}

eWindow::~eWindow() = default;

namespace {

// The shown widget of `window` that a key name triggers, in creation order.
eWidget* shortcutTarget(eWidget* window, const std::string& keyName) {
    std::vector<eWidget*> widgets;
    emu::collectDescendants(window, widgets);
    for (eWidget* w : widgets)
        if (w->getShortcut() == keyName && emu::shownInWindow(w)) return w;
    return nullptr;
}

}  // namespace

int eWindow::eventHandler(const eWidgetEvent& event) {
    if (event.type == eWidgetEvent::evtKey) {
        if (!event.key || event.key->flags == 2) return 0;  // releases mean nothing here
        std::string name = emu::keyNameFromCode(event.key->code);
        if (eWidget* target = name.empty() ? nullptr : shortcutTarget(this, name)) {
            setFocus(target);
            if (auto* button = dynamic_cast<eButton*>(target)) button->selected();
            return 1;
        }
        const eAction* action = emu::actionFromKey(event.key->code);
        if (!action) return 0;
        eWidgetEvent actionEvent(eWidgetEvent::evtAction, action);
        eWidget* focus = getFocus();
        if (focus && focus != this && emu::shownInWindow(focus) && focus->eventHandler(actionEvent)) return 1;
        // The virtual call: a derived window sees the action first.
        return eventHandler(actionEvent);
    }
    if (event.type == eWidgetEvent::evtAction) {
        const eAction* a = event.action;
        if (a == &i_cursorActions->up || a == &i_cursorActions->left) {
            emu::moveFocus(this, -1);
            return 1;
        }
        if (a == &i_cursorActions->down || a == &i_cursorActions->right) {
            emu::moveFocus(this, +1);
            return 1;
        }
        if (a == &i_cursorActions->cancel) {
            reject();
            return 1;
        }
    }
    return eWidget::eventHandler(event);
}

void eWindow::redrawWidget(gPainter* target, const eRect& area) { eWidget::redrawWidget(target, area); }
