// eButton: a label that takes the focus and emits `selected` on OK.
#include "emu/widget_private.h"

eButton::eButton(eWidget* parent, eLabel* /*description*/, int takeFocus, const char* decoration)
    : eLabel(parent, 0, takeFocus, decoration) {}

int eButton::eventHandler(const eWidgetEvent& event) {
    if (event.type == eWidgetEvent::evtAction && event.action == &i_cursorActions->ok) {
        // The handler may close or even destroy the window: nothing of ours after it.
        selected();
        return 1;
    }
    return eLabel::eventHandler(event);
}
