// A window of its own for a message box that comes before the main window.
// SDL's own box cannot draw Japanese on X11 (its text turns to mojibake in
// most locales), so the box is the same ImGui modal as over the game, in a
// small window that stands in as the main window while the box is up.
#include <SDL.h>

#include <algorithm>

#include "platform/Input.h"
#include "platform/sdl/WindowState.h"

namespace platform::sdl {

namespace {

constexpr uint32_t kBoxSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS;

// The hint as it was, put back when the box is gone.
class HintOverride {
public:
    HintOverride(const char* name, const char* value) : name_(name)
    {
        const char* old = SDL_GetHint(name);
        had_ = old != nullptr;
        if (had_) {
            old_ = old;
        }
        SDL_SetHint(name, value);
    }
    ~HintOverride() { SDL_SetHint(name_, had_ ? old_.c_str() : nullptr); }
    HintOverride(const HintOverride&) = delete;
    HintOverride& operator=(const HintOverride&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace

bool RunInBoxWindow(const std::string& utf8Title, const std::function<void(int* width, int* height)>& measure,
                    const std::function<void()>& body)
{
    WindowState& state = MainWindowState();
    if (state.window || SDL_InitSubSystem(kBoxSubsystems) != 0) {
        return false;
    }
    EnsureEventSystem();
    bool ran = false;
    {
        // Closing the box's window dismisses the box: SDL must not also take
        // it for the last window closing, which ends the program.
        const HintOverride noQuit(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_Window* window = SDL_CreateWindow(utf8Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 320,
                                              120, SDL_WINDOW_HIDDEN);
        SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
        if (renderer) {
            state.window = window;
            state.renderer = renderer;
            state.boxOnly = true;
            UseSystemArrow(state);
            if (InitImGuiLayer()) {
                int width = 320;
                int height = 120;
                measure(&width, &height);
                // A text longer than the screen still leaves the window on it.
                SDL_Rect usable{0, 0, 0, 0};
                if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
                    width = std::min(width, usable.w);
                    height = std::min(height, usable.h);
                }
                SDL_SetWindowSize(window, width, height);
                SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
                SDL_ShowWindow(window);
                SDL_RaiseWindow(window);
                body();
                ran = true;
                // ImGui's renderer backend owns a texture of the renderer: it goes first.
                ShutdownImGuiLayer();
            }
            FreeSystemArrow(state);
            state = WindowState{};
        }
        if (renderer) {
            SDL_DestroyRenderer(renderer);
        }
        if (window) {
            SDL_DestroyWindow(window);
        }
        // What the box window left in the queue (its window events, keys and
        // pointer) means nothing to the main window to come; a signal's
        // SDL_QUIT stays.
        SDL_FlushEvents(SDL_WINDOWEVENT, SDL_MOUSEWHEEL);
        ResetInputState();
    }
    SDL_QuitSubSystem(kBoxSubsystems);
    return ran;
}

}  // namespace platform::sdl
