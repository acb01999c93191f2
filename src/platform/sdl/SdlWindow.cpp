// The main window: one SDL window and its renderer, the client area below the
// menu strip.
#include <cstdio>
#include <cstring>

#include "platform/Input.h"
#include "frame/TextEncoding.h"
#include "platform/sdl/SdlContext.h"
#include "platform/sdl/SdlMemory.h"
#include "platform/sdl/WindowState.h"

namespace platform::sdl {

namespace {
WindowState gState;
// The handle is a tag address: the program never looks inside it.
struct WindowTagHolder {
    char tag = 0;
} gHandleTag;
constexpr uint32_t kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK;
uint32_t gWindowSerial = 0;
}  // namespace

WindowState& MainWindowState() { return gState; }

WindowHandle MainHandle()
{
    return gState.window ? reinterpret_cast<WindowHandle>(&gHandleTag) : nullptr;
}

void WindowToClient(int windowX, int windowY, int* clientX, int* clientY)
{
    const Viewport& v = gState.viewport;
    if (v.w <= 0 || v.h <= 0) {
        *clientX = windowX;
        *clientY = windowY - gState.stripHeight;
        return;
    }
    *clientX = static_cast<int>((static_cast<int64_t>(windowX) - v.x) * gState.clientWidth / v.w);
    *clientY = static_cast<int>((static_cast<int64_t>(windowY) - v.y) * gState.clientHeight / v.h);
}

void SetClientViewport(const Viewport& viewport) { gState.viewport = viewport; }
Viewport ClientViewport() { return gState.viewport; }

namespace {
// True when renderer is SDL's GL renderer on a GL driver that draws on the
// CPU (llvmpipe, softpipe, swrast).
bool RendersOnSoftwareGl(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr || std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    // The GL renderer has made its context current: ask it who draws.
    constexpr unsigned kGlRenderer = 0x1F01;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
    if (name == nullptr) {
        return false;
    }
    const char* text = reinterpret_cast<const char*>(name);
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (std::strstr(text, software) != nullptr) {
            return true;
        }
    }
    return false;
}
}  // namespace

bool KeepsWindowSurface(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    return renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0 &&
           SDL_RenderGetWindow(renderer) != nullptr;
}

void UseSystemArrow(WindowState& state)
{
    state.arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (state.arrow) {
        SDL_SetCursor(state.arrow);
    }
}

void FreeSystemArrow(WindowState& state)
{
    if (state.arrow) {
        SDL_FreeCursor(state.arrow);
        state.arrow = nullptr;
    }
}

SDL_Window* MainWindow() { return gState.window; }
SDL_Renderer* MainRenderer() { return gState.renderer; }
uint32_t MainWindowSerial() { return gWindowSerial; }

}  // namespace platform::sdl

namespace platform {

using sdl::gState;

WindowHandle CreateMainWindow(const MainWindowDesc& desc, WindowProc proc)
{
    if (gState.window) {
        std::fprintf(stderr, "lantern: the main window exists already\n");
        return nullptr;
    }
    if (desc.width <= 0 || desc.height <= 0 || desc.width > 16384 || desc.height > 16384) {
        std::fprintf(stderr, "lantern: bad window size %d x %d\n", desc.width, desc.height);
        return nullptr;
    }
    sdl::PutLargeBlocksOnHugePages();
    if (SDL_InitSubSystem(sdl::kSubsystems) != 0) {
        std::fprintf(stderr, "lantern: SDL cannot start its video: %s\n", SDL_GetError());
        return nullptr;
    }
    sdl::EnsureEventSystem();
    const int strip = desc.menuBar ? kMenuBarHeight : 0;
    const std::string title = SjisToUtf8(desc.caption);
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          desc.width, desc.height + strip, SDL_WINDOW_SHOWN);
    if (!window) {
        std::fprintf(stderr, "lantern: SDL cannot make the window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(sdl::kSubsystems);
        return nullptr;
    }
    // An accelerated renderer when there is one; the software renderer
    // otherwise, so the dummy video driver of the tests works too.
    // (The dummy and offscreen drivers have no GPU: asking for one there only
    // loads the system's GL stack for nothing.)
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless = driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
    SDL_Renderer* renderer = headless ? nullptr : SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    // A render driver named in the environment (SDL_RENDER_DRIVER) is taken
    // as it is: the one who named it knows the machine.
    const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (renderer && (named == nullptr || *named == '\0') && sdl::RendersOnSoftwareGl(renderer)) {
        // A GL driver that draws on the CPU (llvmpipe on a bare X server)
        // spends far more than SDL's own software renderer, which also
        // lets the presenter send only the changed parts to the window.
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer) {
        // SDL would put the software renderer's window surface on the screen
        // through a GL texture, which on a bare X server is llvmpipe again,
        // redrawing the whole window on every update: send the surface's
        // changed parts to the window itself (X's shared-memory images).
        // Asked for by default only, so the environment can still say otherwise.
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!renderer) {
        std::fprintf(stderr, "lantern: SDL cannot make a renderer: %s\n", SDL_GetError());
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(sdl::kSubsystems);
        return nullptr;
    }
    ++sdl::gWindowSerial;
    gState.window = window;
    gState.renderer = renderer;
    gState.proc = std::move(proc);
    gState.clientWidth = desc.width;
    gState.clientHeight = desc.height;
    gState.stripHeight = strip;
    gState.viewport = {0, strip, desc.width, desc.height};
    // A new window is shown active, as the program expects after start-up;
    // focus events correct it afterwards.
    gState.active = true;
    gState.cursorShown = true;
    sdl::UseSystemArrow(gState);
    SDL_JoystickEventState(SDL_ENABLE);
    if (SDL_NumJoysticks() > 0) {
        SDL_JoystickOpen(0);
    }
    sdl::InitImGuiLayer();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    return sdl::MainHandle();
}

void DestroyMainWindow()
{
    if (!gState.window) {
        return;
    }
    // ImGui's renderer backend owns a texture of the renderer: it goes first.
    sdl::ShutdownImGuiLayer();
    SDL_DestroyRenderer(gState.renderer);
    SDL_DestroyWindow(gState.window);
    sdl::FreeSystemArrow(gState);
    gState = sdl::WindowState{};
    ResetInputState();
    SDL_QuitSubSystem(sdl::kSubsystems);
    // Only SDL_Quit lets go of the desktop bus connection SDL opened for the
    // window; do it when nothing else of SDL (the sound) is still in use.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}

WindowHandle GetMainWindow() { return sdl::MainHandle(); }
int ClientWidth() { return gState.clientWidth; }
int ClientHeight() { return gState.clientHeight; }
bool IsMainWindowActive() { return gState.window && gState.active; }

void RaiseMainWindow()
{
    if (!gState.window) {
        return;
    }
    SDL_RestoreWindow(gState.window);
    SDL_ShowWindow(gState.window);
    SDL_RaiseWindow(gState.window);
}

namespace {
// The window manager's frame around the window; 0 where SDL cannot tell
// (no window manager, the dummy driver).
void FrameBorders(int* top, int* left, int* bottom, int* right)
{
    if (SDL_GetWindowBordersSize(gState.window, top, left, bottom, right) != 0) {
        *top = *left = *bottom = *right = 0;
    }
}
}  // namespace

bool GetMainWindowFrame(int* x, int* y, int* width, int* height)
{
    if (!gState.window) {
        return false;
    }
    int top = 0, left = 0, bottom = 0, right = 0;
    FrameBorders(&top, &left, &bottom, &right);
    int cx = 0, cy = 0, cw = 0, ch = 0;
    SDL_GetWindowPosition(gState.window, &cx, &cy);
    SDL_GetWindowSize(gState.window, &cw, &ch);
    *x = cx - left;
    *y = cy - top;
    *width = cw + left + right;
    *height = ch + top + bottom;
    return true;
}

bool CenterMainWindow()
{
    if (!gState.window) {
        return false;
    }
    int index = SDL_GetWindowDisplayIndex(gState.window);
    SDL_Rect desktop{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &desktop) != 0) {
        return false;
    }
    int top = 0, left = 0, bottom = 0, right = 0;
    FrameBorders(&top, &left, &bottom, &right);
    int w = 0, h = 0;
    SDL_GetWindowSize(gState.window, &w, &h);
    const int frameW = w + left + right;
    const int frameH = h + top + bottom;
    // SDL places the client area; the frame's corner lies border pixels
    // above and left of it.
    SDL_SetWindowPosition(gState.window, desktop.x + (desktop.w - frameW) / 2 + left,
                          desktop.y + (desktop.h - frameH) / 2 + top);
    SDL_ShowWindow(gState.window);
    SDL_RaiseWindow(gState.window);
    return true;
}

void ShowSystemCursor(bool show)
{
    gState.cursorShown = show;
    if (gState.window) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

}  // namespace platform
