// The screen's window registry, the exec stack and the way keys and text
// reach the innermost modal window.
#include <algorithm>
#include "emu/screen.h"
#include "emu/widget_private.h"

static eCursorActions cursorActions;
eCursorActions* i_cursorActions = &cursorActions;

namespace emu {

namespace {
// Never freed: windows with static storage may unregister after main().
std::vector<eWidget*>& windows() {
    static auto* list = new std::vector<eWidget*>;
    return *list;
}
std::vector<eWidget*>& stack() {
    static auto* list = new std::vector<eWidget*>;
    return *list;
}

void erase(std::vector<eWidget*>& list, eWidget* w) {
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

struct KeyName {
    const char* name;
    int code;
};
const KeyName keyNames[] = {
    {"ok", rcOk},         {"exit", rcExit},         {"up", rcUp},         {"down", rcDown},
    {"left", rcLeft},     {"right", rcRight},       {"pageup", rcPageUp}, {"pagedown", rcPageDown},
    {"red", rcRed},       {"green", rcGreen},       {"yellow", rcYellow}, {"blue", rcBlue},
};
}  // namespace

const std::vector<eWidget*>& topLevelWindows() { return windows(); }
const std::vector<eWidget*>& execStack() { return stack(); }

void registerTopLevel(eWidget* window) { windows().push_back(window); }

void unregisterTopLevel(eWidget* window) {
    erase(windows(), window);
    erase(stack(), window);
}

void pushExec(eWidget* window) { stack().push_back(window); }

void popExec(eWidget* window) {
    // Normally the top; a window closed out of order leaves from where it is.
    auto& s = stack();
    auto it = std::find(s.rbegin(), s.rend(), window);
    if (it != s.rend()) s.erase(std::next(it).base());
}

int keyCodeFromName(const std::string& name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return rcKey0 + (name[0] - '0');
    for (const KeyName& k : keyNames)
        if (name == k.name) return k.code;
    return -1;
}

std::string keyNameFromCode(int code) {
    if (code >= rcKey0 && code <= rcKey0 + 9) return std::string(1, static_cast<char>('0' + code - rcKey0));
    for (const KeyName& k : keyNames)
        if (code == k.code) return k.name;
    return std::string();
}

const eAction* actionFromKey(int code) {
    switch (code) {
    case rcUp: return &i_cursorActions->up;
    case rcDown: return &i_cursorActions->down;
    case rcLeft: return &i_cursorActions->left;
    case rcRight: return &i_cursorActions->right;
    case rcOk: return &i_cursorActions->ok;
    case rcExit: return &i_cursorActions->cancel;
    default: return nullptr;
    }
}

bool deliverKey(int code) {
    if (stack().empty()) return false;
    eWidget* window = stack().back();
    eRCKey key{code, 0};
    eWidgetEvent event(eWidgetEvent::evtKey, &key);
    eWidget* focus = window->getFocus();
    if (focus && focus != window && shownInWindow(focus) && focus->eventHandler(event)) return true;
    return window->eventHandler(event) != 0;
}

bool deliverText(const std::string& utf8) {
    if (stack().empty()) return false;
    eWidget* focus = stack().back()->getFocus();
    if (!focus || !shownInWindow(focus)) return false;
    return focus->eventHandler(eWidgetEvent(eWidgetEvent::evtText, utf8.c_str())) != 0;
}

}  // namespace emu
