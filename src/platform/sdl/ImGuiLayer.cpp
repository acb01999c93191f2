// The ImGui layer of the main window: set-up with a Japanese font, the
// overlay drawn over each presented frame, and the nested modal loop that
// message boxes and dialogs run in.
#include <fontconfig/fontconfig.h>

#include <cfloat>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "imgui.h"
#include "imgui_impl_sdl.h"
#include "imgui_impl_sdlrenderer.h"
#include "platform/EventInjection.h"
#include "platform/Input.h"
#include "platform/Menu.h"
#include "platform/MessagePump.h"
#include "platform/sdl/OverlayPlaces.h"
#include "platform/sdl/WindowState.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps (and never frees) a few blocks made while it parses its
// configuration, and libdbus (which SDL opens for an X11 window) keeps its
// connection data until a dbus_shutdown that SDL 2.26 never calls. Both are
// the libraries' own and not ours to chase.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
#endif

namespace platform::sdl {

namespace {

// 14-pixel text with 3-pixel frame padding makes a 20-pixel menu bar, the
// height of the strip the window keeps for it.
constexpr float kFontPixels = 14.0f;
static_assert(kMenuBarHeight == 20);

struct OverlayState {
    bool ready = false;
    bool inFrame = false;
    bool inModal = false;
    std::function<void()> lastFrame;
    std::function<void(const std::vector<WindowRect>&)> keepUnder;
    std::vector<std::pair<int, std::function<void()>>> drawers;
    int nextDrawerId = 1;
    // Frames the overlay still wants presented after input or a request
    // (ImGui settles hover and open state a frame after the event), and
    // whether its last frame had something under the pointer or open.
    int framesWanted = 0;
    bool busy = false;
    // What the overlay last drew over the window looked like (Look), or 0
    // when the window was cleared under it since.
    uint64_t drawnLook = 0;
    // Events given to ImGui since its last frame, and what else that frame
    // drew from (StillInputs).
    uint32_t eventsSinceFrame = 0;
    uint64_t frameInputs = 0;
};

// Two frames: the one that takes the event and the one ImGui settles in.
constexpr int kFramesAfterChange = 2;
OverlayState gOverlay;

// The pointer as the layer's own event stream reports it. ImGui's SDL backend
// asks SDL for the global mouse state instead, which events pushed with
// SDL_PushEvent never change: with this, injected input drives the widgets
// exactly as a person's does.
struct Pointer {
    ImVec2 pos{-FLT_MAX, -FLT_MAX};
    bool held[3] = {};
    bool pressed[3] = {};   // since the last ImGui frame: a click shorter than a frame still counts
    uint32_t motions = 0;   // motion events so far
};
Pointer gPointer;

std::function<void()> gModalTurnHook;
bool gInTurnHook = false;

// Key presses and the modifier keys held, from the same event stream.
struct Keys {
    bool shiftHeld[2] = {};   // left, right
    bool altHeld[2] = {};
    std::vector<KeyStroke> pending;   // since the current ImGui frame began
    std::vector<KeyStroke> frame;     // handed to the current frame
};
Keys gKeys;

std::vector<std::pair<int, std::function<void(bool)>>> gModalListeners;
int gNextModalListener = 1;

void TellModalListeners(bool running)
{
    // Copy: a listener may remove itself.
    const auto listeners = gModalListeners;
    for (const auto& [id, listener] : listeners) {
        (void)id;
        listener(running);
    }
}

void TrackKeys(const SDL_Event& event)
{
    if (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                                          event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)) {
        // Alt+Tab to another window: the release never comes here.
        for (int i = 0; i < 2; ++i) {
            gKeys.shiftHeld[i] = gKeys.altHeld[i] = false;
        }
        return;
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) {
        return;
    }
    const bool down = event.type == SDL_KEYDOWN;
    switch (event.key.keysym.scancode) {
    case SDL_SCANCODE_LSHIFT: gKeys.shiftHeld[0] = down; break;
    case SDL_SCANCODE_RSHIFT: gKeys.shiftHeld[1] = down; break;
    case SDL_SCANCODE_LALT: gKeys.altHeld[0] = down; break;
    case SDL_SCANCODE_RALT: gKeys.altHeld[1] = down; break;
    default: break;
    }
    // Keys of a still game screen wait here for the next ImGui frame; a
    // nested loop drops them at its start anyway, so a few are plenty.
    constexpr size_t kPendingMax = 64;
    if (down && gKeys.pending.size() < kPendingMax) {
        gKeys.pending.push_back(StrokeOf(event.key));
    }
}

void TrackPointer(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEMOTION:
        gPointer.pos = ImVec2(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
        ++gPointer.motions;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        gPointer.pos = ImVec2(static_cast<float>(event.button.x), static_cast<float>(event.button.y));
        int index = -1;
        if (event.button.button == SDL_BUTTON_LEFT) index = 0;
        if (event.button.button == SDL_BUTTON_RIGHT) index = 1;
        if (event.button.button == SDL_BUTTON_MIDDLE) index = 2;
        if (index >= 0) {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            gPointer.held[index] = down;
            gPointer.pressed[index] = gPointer.pressed[index] || down;
        }
        break;
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_LEAVE) {
            gPointer.pos = ImVec2(-FLT_MAX, -FLT_MAX);
        }
        break;
    default:
        break;
    }
}

// The file of a Japanese gothic face through fontconfig; empty when none.
std::string FindJapaneseFont()
{
    std::string path;
    if (!FcInit()) {
        return path;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("IPAGothic:lang=ja"));
    if (!pattern) {
        return path;
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

void LoadFont()
{
    ImGuiIO& io = ImGui::GetIO();
    const std::string path = FindJapaneseFont();
    // The Japanese ranges, and the ellipsis that ends a box's text cut to
    // fit. The atlas reads the ranges when it is built: they must last.
    static ImVector<ImWchar> ranges;
    if (ranges.empty()) {
        ImFontGlyphRangesBuilder builder;
        builder.AddRanges(io.Fonts->GetGlyphRangesJapanese());
        builder.AddChar(0x2026);
        builder.BuildRanges(&ranges);
    }
    if (!path.empty() && io.Fonts->AddFontFromFileTTF(path.c_str(), kFontPixels, nullptr, ranges.Data)) {
        return;
    }
    std::fprintf(stderr, "lantern: no Japanese font found (install fonts-ipafont-gothic); "
                         "menus and messages show only ASCII\n");
    io.Fonts->AddFontDefault();
}

uint64_t StillInputs();

// True while the overlay draws nothing but the menu bar on its strip: no
// drawer is up, no nested loop runs, nothing is hovered or open.
bool OverlayKeepsToStrip() { return gOverlay.drawers.empty() && !gOverlay.inModal && !gOverlay.busy; }

void BeginImGuiFrame()
{
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = gPointer.pos;
    for (int i = 0; i < 3; ++i) {
        io.MouseDown[i] = gPointer.held[i] || gPointer.pressed[i];
        gPointer.pressed[i] = false;
    }
    gKeys.frame.swap(gKeys.pending);
    gKeys.pending.clear();
    ImGui::NewFrame();
    gOverlay.inFrame = true;
    gOverlay.eventsSinceFrame = 0;
    gOverlay.frameInputs = StillInputs();
}

// FNV-1a, 64 bits, over bytes one after the other.
class Fingerprint {
public:
    void operator()(const void* bytes, size_t count)
    {
        const auto* p = static_cast<const unsigned char*>(bytes);
        for (size_t i = 0; i < count; ++i) {
            hash_ = (hash_ ^ p[i]) * 1099511628211ull;
        }
    }
    // Never 0, which stands for "nothing".
    uint64_t Value() const { return hash_ != 0 ? hash_ : 1; }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

// What a frame with no new input and no drawer draws from besides time,
// which such a frame does not show: the window's size and the menu bar's
// titles (the program may grey or rename them without a word).
uint64_t StillInputs()
{
    Fingerprint mix;
    const WindowState& state = MainWindowState();
    int size[4] = {};
    if (state.window) {
        SDL_GetWindowSize(state.window, &size[0], &size[1]);
    }
    if (state.renderer) {
        SDL_GetRendererOutputSize(state.renderer, &size[2], &size[3]);
    }
    mix(size, sizeof size);
    const uint32_t changes = MenuBarChangeCount();
    mix(&changes, sizeof changes);
    const Menu* bar = GetWindowMenu();
    mix(&bar, sizeof bar);
    for (int i = 0; bar != nullptr && i < bar->ItemCount(); ++i) {
        const Menu::Item& item = *bar->ItemAt(i);
        mix(item.text.data(), item.text.size() + 1);
        mix(&item.grayed, sizeof item.grayed);
    }
    return mix.Value();
}

// A fingerprint of everything a frame's draw data draws: equal
// fingerprints draw the same pixels.
uint64_t Look(const ImDrawData* data)
{
    Fingerprint mix;
    mix(&data->DisplayPos, sizeof data->DisplayPos);
    mix(&data->DisplaySize, sizeof data->DisplaySize);
    mix(&data->FramebufferScale, sizeof data->FramebufferScale);
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        mix(list->VtxBuffer.Data, static_cast<size_t>(list->VtxBuffer.Size) * sizeof(ImDrawVert));
        mix(list->IdxBuffer.Data, static_cast<size_t>(list->IdxBuffer.Size) * sizeof(ImDrawIdx));
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            mix(&cmd.ClipRect, sizeof cmd.ClipRect);
            mix(&cmd.TextureId, sizeof cmd.TextureId);
            mix(&cmd.VtxOffset, sizeof cmd.VtxOffset);
            mix(&cmd.IdxOffset, sizeof cmd.IdxOffset);
            mix(&cmd.ElemCount, sizeof cmd.ElemCount);
            const bool callback = cmd.UserCallback != nullptr;
            mix(&callback, sizeof callback);
        }
    }
    return mix.Value();
}

// Ends the frame and draws it, unless only a frame that looks different
// should be drawn and this one looks like the one last drawn; before()
// (when set) runs just before drawing. True when drawn.
bool EndImGuiFrame(bool onlyWhenChanged = false, const std::function<void()>& before = nullptr)
{
    // A hovered item, an open menu or box, or a held button animates or
    // answers the pointer: keep presenting while there is one.
    gOverlay.busy = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel) ||
                    ImGui::IsAnyItemHovered() || ImGui::IsAnyItemActive() || ImGui::GetIO().WantTextInput;
    ImGui::Render();
    const uint64_t look = Look(ImGui::GetDrawData());
    const bool draw = !onlyWhenChanged || look != gOverlay.drawnLook;
    if (draw) {
        if (before) {
            before();
        }
        if (gOverlay.keepUnder) {
            int w = 0, h = 0;
            SDL_GetRendererOutputSize(MainWindowState().renderer, &w, &h);
            gOverlay.keepUnder(OverlayPlaces(*ImGui::GetDrawData(), w, h));
        }
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
        gOverlay.drawnLook = look;
    }
    gOverlay.inFrame = false;
    return draw;
}

void RunDrawers()
{
    DrawMenuBarOverlay();
    // Copy: a drawer may add or remove drawers.
    const auto drawers = gOverlay.drawers;
    for (const auto& [id, draw] : drawers) {
        (void)id;
        draw();
    }
}

void RedrawBase()
{
    // The presenter's redraw paints the whole window itself, and may first
    // read back what the window holds: nothing may go over it before.
    if (gOverlay.lastFrame) {
        gOverlay.lastFrame();
        return;
    }
    SDL_Renderer* renderer = MainWindowState().renderer;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    gOverlay.drawnLook = 0;
}

}  // namespace

bool InitImGuiLayer()
{
    WindowState& state = MainWindowState();
    if (gOverlay.ready || !state.window) {
        return gOverlay.ready;
    }
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;   // the program keeps no ImGui settings file
    io.LogFilename = nullptr;
    // The system pointer is the layer's to show (ShowSystemCursor, the menu
    // strip, nested loops): ImGui's backend would show it at every frame,
    // beside the game's own cursor.
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    ImGui::StyleColorsDark();
    ImGui::GetStyle().FramePadding.y = 3.0f;
    // A box stands over the game's last frame as it was, undimmed.
    ImGui::GetStyle().Colors[ImGuiCol_ModalWindowDimBg] = ImVec4(0, 0, 0, 0);
    // Boxes, dialogs and menus are opaque: the game must not show through
    // their controls (the dark style leaves them slightly see-through).
    for (ImGuiCol background : {ImGuiCol_WindowBg, ImGuiCol_PopupBg}) {
        ImGui::GetStyle().Colors[background].w = 1.0f;
    }
    LoadFont();
    if (!ImGui_ImplSDL2_InitForSDLRenderer(state.window)) {
        ImGui::DestroyContext();
        return false;
    }
    if (!ImGui_ImplSDLRenderer_Init(state.renderer)) {
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
        return false;
    }
    gOverlay.ready = true;
    return true;
}

void ShutdownImGuiLayer()
{
    if (!gOverlay.ready) {
        return;
    }
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    gOverlay = OverlayState{};
    gPointer = Pointer{};
    gKeys = Keys{};
}

void ImGuiProcessEvent(const void* event)
{
    if (gOverlay.ready) {
        ImGui_ImplSDL2_ProcessEvent(static_cast<const SDL_Event*>(event));
        TrackPointer(*static_cast<const SDL_Event*>(event));
        TrackKeys(*static_cast<const SDL_Event*>(event));
        ++gOverlay.eventsSinceFrame;
        // Only drawers can answer input; without any, input changes nothing drawn.
        if (!gOverlay.drawers.empty()) {
            RequestOverlayRedraw();
        }
    }
}

void RequestOverlayRedraw() { gOverlay.framesWanted = kFramesAfterChange; }

bool OverlayWantsRedraw()
{
    if (!gOverlay.ready) {
        return false;
    }
    if (gOverlay.framesWanted > 0) {
        --gOverlay.framesWanted;
        return true;
    }
    return gOverlay.busy;
}

void SetLastFrameRedraw(std::function<void()> redraw) { gOverlay.lastFrame = std::move(redraw); }

void SetOverlayUnderKeeper(std::function<void(const std::vector<WindowRect>&)> keep)
{
    gOverlay.keepUnder = std::move(keep);
}

void DrawOverlay()
{
    if (!gOverlay.ready || gOverlay.inFrame) {
        return;
    }
    BeginImGuiFrame();
    RunDrawers();
    EndImGuiFrame();
}

bool DrawOverlayIfChanged(const std::function<void()>& before)
{
    if (!gOverlay.ready || gOverlay.inFrame) {
        return false;
    }
    // With no input since the last frame (so no press for it to take), no
    // drawer, nothing hovered or open and the same bar, the frame would draw
    // what the window shows: it need not run.
    if (gOverlay.drawnLook != 0 && gOverlay.eventsSinceFrame == 0 && OverlayKeepsToStrip() &&
        gOverlay.framesWanted == 0 && StillInputs() == gOverlay.frameInputs) {
        return false;
    }
    BeginImGuiFrame();
    RunDrawers();
    return EndImGuiFrame(true, before);
}

void OverlayCleared() { gOverlay.drawnLook = 0; }

void PresentLastFrame()
{
    WindowState& state = MainWindowState();
    if (!state.renderer || gOverlay.inFrame || gOverlay.inModal) {
        return;
    }
    RedrawBase();
    DrawOverlay();
    SDL_RenderPresent(state.renderer);
}

int AddOverlayDrawer(std::function<void()> draw)
{
    const int id = gOverlay.nextDrawerId++;
    gOverlay.drawers.emplace_back(id, std::move(draw));
    RequestOverlayRedraw();
    return id;
}

void RemoveOverlayDrawer(int id)
{
    std::erase_if(gOverlay.drawers, [id](const auto& entry) { return entry.first == id; });
    RequestOverlayRedraw();
}

bool HasDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) {
        driver = std::getenv("SDL_VIDEODRIVER");
    }
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) {
        return false;
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool RunModalLoop(const std::function<bool()>& frame)
{
    WindowState& state = MainWindowState();
    if (!gOverlay.ready || !state.renderer || gOverlay.inFrame || EndRequested()) {
        return false;
    }
    // ImGui settles a new or changed window over a few frames (sizes, focus,
    // an opening popup); after that the loop sleeps until the next event.
    constexpr int kSettleTurns = 3;
    // While asleep it still looks up now and then; a signal also wakes it.
    constexpr int kIdleWaitMs = 250;
    // Without a display nobody can answer: once the input already queued (a
    // test's) has run dry, the loop gives up and the caller takes its
    // default, as before the window exists. A test's turn hook keeps it going.
    const bool unattended = !HasDisplay() && !gModalTurnHook;
    const bool outerModal = gOverlay.inModal;
    // A box, menu or dialog is pointed at with the system's arrow (the
    // game's own cursor leaves the screen: the listeners).
    const int cursorWas = SDL_ShowCursor(SDL_QUERY);
    if (!outerModal) {
        SDL_ShowCursor(SDL_ENABLE);
        TellModalListeners(true);
    }
    gOverlay.inModal = true;
    // Keys pressed before the loop were the game's (or opened this loop).
    gKeys.pending.clear();
    // Messages meant for the window wait until the box is closed, in order;
    // presses belong to the modal, releases still reach the input state.
    std::vector<SDL_Event> deferred;
    const uint32_t posted = PostedMessageEvent();
    bool open = true;
    bool abandoned = false;
    bool dismissed = false;
    int quietTurns = 0;
    while (open) {
        SDL_Event event;
        const int wait = quietTurns < kSettleTurns || unattended || gModalTurnHook ? 0 : kIdleWaitMs;
        if (SDL_WaitEventTimeout(&event, wait)) {
            quietTurns = 0;
            do {
                ImGuiProcessEvent(&event);
                TrackInputEvent(event, true);
                const bool close = event.type == SDL_QUIT ||
                                   (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
                if (close && state.boxOnly && event.type == SDL_WINDOWEVENT) {
                    // The close button of a box's own window only dismisses the box.
                    dismissed = true;
                } else if (close) {
                    // SIGTERM, SIGINT (SDL turns both into SDL_QUIT) or the
                    // window's close button: the program ends, from however
                    // deep a loop, as it would from the game's own loop.
                    RequestEnd();
                }
                const bool keep = event.type == SDL_QUIT || (posted != 0 && event.type == posted) ||
                                  (event.type == SDL_WINDOWEVENT && event.window.event != SDL_WINDOWEVENT_EXPOSED);
                if (keep) {
                    deferred.push_back(event);
                }
            } while (SDL_PollEvent(&event));
        } else if (quietTurns >= kSettleTurns) {
            if (unattended) {
                abandoned = true;
                break;
            }
            if (!EndRequested() && !gModalTurnHook) {
                continue;  // nothing happened: nothing to draw
            }
        } else {
            ++quietTurns;
        }
        if (EndRequested() || dismissed) {
            abandoned = true;
            break;
        }
        RedrawBase();
        BeginImGuiFrame();
        ImGui::BeginDisabled();
        RunDrawers();
        ImGui::EndDisabled();
        open = frame();
        EndImGuiFrame();
        if (gModalTurnHook) {
            gInTurnHook = true;
            // Copy: the hook may replace itself.
            const auto hook = gModalTurnHook;
            hook();
            gInTurnHook = false;
        }
        SDL_RenderPresent(state.renderer);
    }
    for (SDL_Event& event : deferred) {
        SDL_PushEvent(&event);
    }
    gOverlay.inModal = outerModal;
    gKeys.pending.clear();
    if (!outerModal) {
        SDL_ShowCursor(cursorWas);
        TellModalListeners(false);
        // What the loop drew over the game must leave the window with it,
        // though the game's frame may not change at all.
        RequestOverlayRedraw();
    }
    return !abandoned;
}

bool InModalLoop() { return gOverlay.inModal; }
const std::vector<KeyStroke>& FrameKeyStrokes() { return gKeys.frame; }

KeyStroke StrokeOf(const SDL_KeyboardEvent& key)
{
    KeyStroke stroke;
    stroke.scancode = key.keysym.scancode;
    stroke.repeat = key.repeat != 0;
    stroke.shift = gKeys.shiftHeld[0] || gKeys.shiftHeld[1] || (key.keysym.mod & KMOD_SHIFT) != 0;
    stroke.alt = gKeys.altHeld[0] || gKeys.altHeld[1] || (key.keysym.mod & KMOD_ALT) != 0;
    // The letter the layout puts on the key; the key's place on a US
    // keyboard when the layout gives none (a Japanese input method, say).
    const SDL_Keycode sym = key.keysym.sym;
    if ((sym >= SDLK_a && sym <= SDLK_z) || (sym >= SDLK_0 && sym <= SDLK_9)) {
        stroke.letter = static_cast<char>(sym);
    } else if (stroke.scancode >= SDL_SCANCODE_A && stroke.scancode <= SDL_SCANCODE_Z) {
        stroke.letter = static_cast<char>('a' + (stroke.scancode - SDL_SCANCODE_A));
    } else if (stroke.scancode >= SDL_SCANCODE_1 && stroke.scancode <= SDL_SCANCODE_9) {
        stroke.letter = static_cast<char>('1' + (stroke.scancode - SDL_SCANCODE_1));
    } else if (stroke.scancode == SDL_SCANCODE_0) {
        stroke.letter = '0';
    }
    return stroke;
}
uint32_t PointerMotionCount() { return gPointer.motions; }

bool PointerOnMenuStrip()
{
    return gPointer.pos.x >= 0 && gPointer.pos.y >= 0 && gPointer.pos.y < MainWindowState().stripHeight;
}

}  // namespace platform::sdl

namespace platform {

int AddModalLoopListener(std::function<void(bool running)> listener)
{
    const int id = sdl::gNextModalListener++;
    sdl::gModalListeners.emplace_back(id, std::move(listener));
    return id;
}

void RemoveModalLoopListener(int id)
{
    std::erase_if(sdl::gModalListeners, [id](const auto& entry) { return entry.first == id; });
}

}  // namespace platform

namespace platform::testing {

void SetModalTurnHook(std::function<void()> hook) { sdl::gModalTurnHook = std::move(hook); }

bool CaptureWindow(std::vector<uint32_t>* pixels, int* width, int* height)
{
    SDL_Renderer* renderer = sdl::MainWindowState().renderer;
    if (!renderer || sdl::gOverlay.inFrame) {
        return false;
    }
    if (!sdl::gInTurnHook) {
        // The picture after a present is undefined: draw it again first.
        sdl::RedrawBase();
        sdl::DrawOverlay();
    }
    int w = 0;
    int h = 0;
    if (SDL_GetRendererOutputSize(renderer, &w, &h) != 0 || w <= 0 || h <= 0) {
        return false;
    }
    std::vector<uint32_t> out(static_cast<size_t>(w) * static_cast<size_t>(h));
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, out.data(), w * 4) != 0) {
        return false;
    }
    for (uint32_t& p : out) {
        p &= 0xFFFFFF;
    }
    *pixels = std::move(out);
    *width = w;
    *height = h;
    return true;
}

}  // namespace platform::testing
