// The emulated screen: which windows exist, which run modally, and the
// runner's ways in (keys, text) and out (dumps, screenshots).
#pragma once
#include <ostream>
#include <string>
#include <vector>
#include "host/ewidget.h"

namespace emu {

// Every existing top-level window, bottom to top (construction order; a
// window that is shown again is not raised).
const std::vector<eWidget*>& topLevelWindows();
// Windows whose exec() runs, outermost first. Keys go to the last.
const std::vector<eWidget*>& execStack();

// A remote-control key press to the innermost modal window (see the key
// routing comment in host/ewidget.h). Returns true when some widget
// consumed it.
bool deliverKey(int code);
// UTF-8 text typed into the focused widget of the innermost modal window.
bool deliverText(const std::string& utf8);

// Key names of the scripted remote: "0".."9", "ok", "exit", "up", "down",
// "left", "right", "pageup", "pagedown", "red", "green", "yellow", "blue".
// Returns -1 for an unknown name.
int keyCodeFromName(const std::string& name);

// The plain-text screen dump: every shown window bottom to top, its title
// and geometry, each shown widget with class, geometry and text (line
// feeds and tabs escaped), list entries with keys and the current one
// marked, the focused widget marked, message boxes with text, caption and
// flags. Written as it is made, so that a long text costs no copy.
void dumpScreen(std::ostream& out);
std::string dumpScreen();

// Draws every shown window into the 720 x 576 framebuffer.
void renderScreen();
// Renders and writes the framebuffer as PNG; false on failure.
bool writeScreenshot(const std::string& path);

}  // namespace emu
