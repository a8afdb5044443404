#include "emu/runner/sdl_view.h"
#include <SDL.h>
#include <cstdlib>
#include "emu/mainloop.h"
#include "emu/screen.h"
#include "host/graphics.h"
#include "host/ewidget.h"

// SDL's video start-up initialises libdbus, which keeps a block for the
// life of the process; that block is not ours to free.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace runner {

namespace {

constexpr int kTickMs = 20;
constexpr unsigned kRedrawMs = 100;  // transfers change the screen without events

// True while the focused field of the innermost modal window edits text.
bool fieldEditing() {
    const auto& stack = emu::execStack();
    if (stack.empty()) return false;
    auto* field = dynamic_cast<eTextInputField*>(stack.back()->getFocus());
    return field && field->isEditing();
}

int remoteKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_UP: return rcUp;
    case SDLK_DOWN: return rcDown;
    case SDLK_LEFT: return rcLeft;
    case SDLK_RIGHT: return rcRight;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return rcOk;
    case SDLK_ESCAPE:
    case SDLK_BACKSPACE: return rcExit;
    case SDLK_PAGEUP: return rcPageUp;
    case SDLK_PAGEDOWN: return rcPageDown;
    case SDLK_F1: return rcRed;
    case SDLK_F2: return rcGreen;
    case SDLK_F3: return rcYellow;
    case SDLK_F4: return rcBlue;
    default: break;
    }
    if (key >= SDLK_0 && key <= SDLK_9) return rcKey0 + (key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return rcKey0 + 1 + (key - SDLK_KP_1);
    if (key == SDLK_KP_0) return rcKey0;
    return -1;
}

bool isDigitKey(SDL_Keycode key) {
    return (key >= SDLK_0 && key <= SDLK_9) || (key >= SDLK_KP_1 && key <= SDLK_KP_9) || key == SDLK_KP_0;
}

}  // namespace

bool SdlView::displayAvailable() {
    const char* x = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

SdlView::~SdlView() {
    if (timer) mainloop().removeTimer(timer);
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
}

bool SdlView::open(std::string& error) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open the display: ") + SDL_GetError();
        return false;
    }
    gPixmap& screen = gFBDC::getInstance()->getPixmap();
    window = SDL_CreateWindow("lumenhost", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, screen.width(),
                              screen.height(), SDL_WINDOW_RESIZABLE);
    if (window) renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer) {
        SDL_RenderSetLogicalSize(renderer, screen.width(), screen.height());  // scaled, aspect kept
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STREAMING,
                                    screen.width(), screen.height());
    }
    if (!texture) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    SDL_StartTextInput();
    return true;
}

void SdlView::start() {
    timer = mainloop().addTimer(0, [this] { tick(); });
}

void SdlView::tick() {
    // Re-armed first: a key may run a nested modal loop, which must pump too.
    timer = mainloop().addTimer(kTickMs, [this] { tick(); });
    bool changed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) changed |= handle(event);
    if (closing) closer.closeInnermost();
    if (changed || SDL_GetTicks() - lastRender >= kRedrawMs) render();
}

bool SdlView::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        closing = true;
        return false;
    case SDL_TEXTINPUT:
        if (!fieldEditing()) return false;
        emu::deliverText(event.text.text);
        return true;
    case SDL_KEYDOWN: {
        SDL_Keycode key = event.key.keysym.sym;
        if (fieldEditing()) {
            if (isDigitKey(key)) return false;  // arrives as text input
            if (key == SDLK_BACKSPACE) return emu::deliverText("\x08"), true;
            if (key == SDLK_DELETE) return emu::deliverText("\x7f"), true;
        }
        int code = remoteKey(key);
        if (code < 0) return false;
        emu::deliverKey(code);
        return true;
    }
    case SDL_WINDOWEVENT: return true;
    default: return false;
    }
}

void SdlView::render() {
    lastRender = SDL_GetTicks();
    emu::renderScreen();
    gPixmap& screen = gFBDC::getInstance()->getPixmap();
    SDL_UpdateTexture(texture, nullptr, screen.pixels.data(), screen.width() * 4);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

}  // namespace runner
