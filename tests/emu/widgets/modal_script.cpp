#include "modal_script.h"
#include <gtest/gtest.h>
#include "emu/mainloop.h"
#include "emu/screen.h"
#include "host/ewidget.h"

namespace {
constexpr int kWatchdogMs = 5000;
}

ModalScript::ModalScript(std::vector<Step> s) : steps(std::move(s)) {
    idle = mainloop().addIdle([this] {
        if (finished()) return false;
        // Advance first: the step may run a nested loop that calls us again.
        Step step = steps[next++];
        step();
        return true;
    });
    armWatchdog();
}

ModalScript::~ModalScript() {
    mainloop().removeIdle(idle);
    mainloop().removeTimer(watchdog);
}

void ModalScript::armWatchdog() {
    watchdog = mainloop().addTimer(kWatchdogMs, [this] {
        ADD_FAILURE() << "a modal run did not end; closing every running window";
        for (eWidget* w : emu::execStack()) w->close(-99);
        armWatchdog();
    });
}

ModalScript::Step press(const std::string& keyName) {
    return [keyName] {
        int code = emu::keyCodeFromName(keyName);
        ASSERT_GE(code, 0) << keyName;
        emu::deliverKey(code);
    };
}

ModalScript::Step type(const std::string& utf8) {
    return [utf8] { emu::deliverText(utf8); };
}

eButton* addButton(eWidget* parent, int y, int* presses, const char* shortcut) {
    auto* button = new eButton(parent);
    button->move(ePoint(10, y));
    button->resize(eSize(100, 28));
    if (presses) button->selected.connect([presses] { ++*presses; });
    if (shortcut) button->setShortcut(shortcut);
    return button;
}
