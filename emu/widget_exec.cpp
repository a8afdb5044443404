// Modal runs: exec() runs a nested main loop until close(); the exec stack
// says which window takes the keys.
#include "emu/widget_private.h"

int eWidget::exec() {
    if (d->loop) return -1;  // already running: a second run of the same widget has no loop of its own
    eMainloop::LoopFrame frame;
    bool destroyed = false;
    d->loop = &frame;
    d->destroyedWhileRunning = &destroyed;
    // A window nobody gave a focus starts at its first control, so OK works.
    if (!getFocus()) emu::moveFocus(getTLW(), +1);
    emu::pushExec(this);
    mainloop().run(frame);
    if (destroyed) return frame.result;  // the destructor has cleaned up
    emu::popExec(this);
    d->loop = nullptr;
    d->destroyedWhileRunning = nullptr;
    return frame.result;
}

void eWidget::close(int result) {
    // The loop returns once every run nested inside it has returned.
    if (d->loop) eMainloop::exit(*d->loop, result);
}

void eWidget::accept() { close(0); }

void eWidget::reject() { close(-1); }

bool eWidget::isRunning() const { return d->loop && !d->loop->done; }
