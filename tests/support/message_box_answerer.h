// Answers the message boxes that the code under test runs modally: while an
// answerer lives, an idle hook of the main loop looks at the innermost
// modal window, and when that is a message box it records the box's text,
// caption and flags and presses OK on it. Header-only.
#pragma once
#include <string>
#include <vector>
#include "emu/mainloop.h"
#include "emu/screen.h"
#include "host/ewidget.h"

class MessageBoxAnswerer {
public:
    struct Box {
        std::string text;
        std::string caption;
        int flags;
    };

    MessageBoxAnswerer() {
        hook = mainloop().addIdle([this] { return answer(); });
    }
    ~MessageBoxAnswerer() { mainloop().removeIdle(hook); }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Every box answered so far, oldest first.
    const std::vector<Box>& boxes() const { return seen; }
    void clear() { seen.clear(); }

private:
    bool answer() {
        const auto& stack = emu::execStack();
        auto* box = stack.empty() ? nullptr : dynamic_cast<eMessageBox*>(stack.back());
        if (!box || !box->isRunning()) return false;
        seen.push_back({box->getMessage(), box->getText(), box->getFlags()});
        emu::deliverKey(rcOk);
        // A box that OK does not close is left with exit, so a test never spins.
        if (box->isRunning()) emu::deliverKey(rcExit);
        if (box->isRunning()) box->close(-1);
        return true;
    }

    int hook = 0;
    std::vector<Box> seen;
};
