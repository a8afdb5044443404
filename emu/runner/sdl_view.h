// lumenhost's interactive mode: the emulated screen in an SDL window, the
// keyboard as the remote. Events are pumped from a short main-loop timer,
// so they also reach nested modal loops.
#pragma once
#include <string>
#include "emu/runner/exec_closer.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace runner {

class SdlView {
public:
    SdlView() = default;
    ~SdlView();
    SdlView(const SdlView&) = delete;
    SdlView& operator=(const SdlView&) = delete;

    static bool displayAvailable();  // DISPLAY or WAYLAND_DISPLAY set
    bool open(std::string& error);
    void start();  // begins pumping events and drawing
    bool closedByUser() const { return closing; }

private:
    void tick();
    bool handle(const SDL_Event& event);  // true when the screen may have changed
    void render();

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int timer = 0;
    unsigned lastRender = 0;
    bool closing = false;
    ExecCloser closer;
};

}  // namespace runner
