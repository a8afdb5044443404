// Running a window modally, and a child window in place of its parent.
#pragma once
#include <utility>
#include "host/ewidget.h"

// Shows `window`, runs its modal loop and hides it; returns what exec
// returned.
int runModal(eWidget& window);

// Runs a child window of `parent` and comes back: hides the parent, builds
// a `Window` from `args` (after the hide, so that a box its constructor
// shows stands alone), runs and destroys it, then shows the parent again
// with `focus` focused.
template <class Window, class... Args>
void runChildWindow(eWidget& parent, eWidget* focus, Args&&... args) {
    parent.hide();
    {
        Window child(std::forward<Args>(args)...);
        runModal(child);
    }
    parent.show();
    parent.setFocus(focus);
}
