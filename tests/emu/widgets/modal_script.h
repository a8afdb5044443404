// Drives modal runs from inside: each step runs on its own turn of the main
// loop, at whatever nesting depth the loop then has, so a step may open a
// nested window and the next step already talks to it.
#pragma once
#include <functional>
#include <string>
#include <vector>

class eButton;
class eWidget;

class ModalScript {
public:
    using Step = std::function<void()>;
    explicit ModalScript(std::vector<Step> steps);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool finished() const { return next >= steps.size(); }

private:
    std::vector<Step> steps;
    size_t next = 0;
    int idle = 0;
    int watchdog = 0;
    void armWatchdog();
};

// A step that presses a key of the scripted remote ("ok", "down", "3", ...).
ModalScript::Step press(const std::string& keyName);
// A step that types UTF-8 text into the focused widget.
ModalScript::Step type(const std::string& utf8);
// A 100x28 button at (10, y) in `parent`; counts its presses in `presses`,
// answers to `shortcut`.
eButton* addButton(eWidget* parent, int y, int* presses = nullptr, const char* shortcut = nullptr);
