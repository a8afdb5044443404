// Inside the emulated widget toolkit: the widget's private state, the
// window decoration and the screen registry that the toolkit's sources share.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "emu/mainloop.h"
#include "host/ewidget.h"

namespace emu {

// The emulated screen.
constexpr int kScreenWidth = 720;
constexpr int kScreenHeight = 576;

// Decoration of every eWindow: a title bar above the client area and a thin
// border on the other three sides. These are the only place these values
// live; the renderer reads them back through getClientRect().
constexpr int kWindowBorder = 3;
constexpr int kWindowTitleHeight = 32;

struct Insets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Registry bookkeeping (screen_registry.cpp).
void registerTopLevel(eWidget* window);
void unregisterTopLevel(eWidget* window);  // also leaves the exec stack
void pushExec(eWidget* window);
void popExec(eWidget* window);

// "0".."9", colour names, ...; "" for codes without a name.
std::string keyNameFromCode(int code);
// The cursor action of a key, or nullptr.
const eAction* actionFromKey(int code);

// Shown within its window: the widget and its parents up to (not
// including) the top-level window are visible. Keys and focus ask this, so
// a window runs the same whether or not it is on screen.
bool shownInWindow(const eWidget* w);

// Moves the focus of `window` to the previous (-1) or next (+1) focusable
// shown widget in creation order; stays put at either end.
void moveFocus(eWidget* window, int direction);

// Widgets of `root`'s subtree in creation order, depth first, `root` itself
// excluded.
void collectDescendants(const eWidget* root, std::vector<eWidget*>& out);

}  // namespace emu

struct eWidget::Private {
    eWidget* parent = nullptr;
    std::vector<eWidget*> children;  // owned, creation order
    ePoint position;                 // outer frame in the parent's client area
    eSize size;                      // outer frame
    emu::Insets frame;               // client area inside the outer frame
    bool visible = false;
    eString text, name, shortcut;
    gFont font;
    std::map<eString, eString> properties;
    gPixmapPtr pixmap;
    int takeFocus = 0;
    eWidget* focus = nullptr;                // top-level widgets only
    eMainloop::LoopFrame* loop = nullptr;    // set while exec() runs
    bool* destroyedWhileRunning = nullptr;   // exec()'s flag, set by the destructor
    std::function<void()> entriesChanged;    // list boxes: after append and clearList
};
