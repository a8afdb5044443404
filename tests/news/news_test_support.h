// Helpers of the news window tests: running the main loop until something
// has happened, and finding widgets inside a window.
#pragma once
#include <chrono>
#include <functional>
#include <string>
#include "emu/mainloop.h"
#include "host/ewidget.h"

namespace newstest {

// Runs the main loop until `done` holds or `seconds` have passed; returns
// whether it holds.
inline bool runUntil(const std::function<bool()>& done, int seconds = 10) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < deadline) mainloop().iterate(20);
    return done();
}

// The first descendant of `widget` of type T, depth first; nullptr if none.
template <class T>
T* findChild(eWidget* widget) {
    for (eWidget* child : widget->getChildren()) {
        if (auto* hit = dynamic_cast<T*>(child)) return hit;
        if (auto* deeper = findChild<T>(child)) return deeper;
    }
    return nullptr;
}

// `count` short lines joined by line feeds (no line feed after the last).
inline std::string numberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        if (i > 1) text += "\n";
        text += "line " + std::to_string(i);
    }
    return text;
}

}  // namespace newstest
