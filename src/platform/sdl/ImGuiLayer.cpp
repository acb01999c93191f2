// The ImGui layer of the main window: set-up with a Japanese font, the
// overlay drawn over each presented frame, and the nested modal loop that
// message boxes and dialogs run in.
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "imgui.h"
#include "imgui_impl_sdl.h"
#include "imgui_impl_sdlrenderer.h"
#include "platform/Input.h"
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
    std::vector<std::pair<int, std::function<void()>>> drawers;
    int nextDrawerId = 1;
    // Frames the overlay still wants presented after input or a request
    // (ImGui settles hover and open state a frame after the event), and
    // whether its last frame had something under the pointer or open.
    int framesWanted = 0;
    bool busy = false;
};

// Two frames: the one that takes the event and the one ImGui settles in.
constexpr int kFramesAfterChange = 2;
OverlayState gOverlay;

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
    if (!path.empty() &&
        io.Fonts->AddFontFromFileTTF(path.c_str(), kFontPixels, nullptr, io.Fonts->GetGlyphRangesJapanese())) {
        return;
    }
    std::fprintf(stderr, "lantern: no Japanese font found (install fonts-ipafont-gothic); "
                         "menus and messages show only ASCII\n");
    io.Fonts->AddFontDefault();
}

void BeginImGuiFrame()
{
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    gOverlay.inFrame = true;
}

void EndImGuiFrame()
{
    // A hovered item, an open menu or box, or a held button animates or
    // answers the pointer: keep presenting while there is one.
    gOverlay.busy = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel) ||
                    ImGui::IsAnyItemHovered() || ImGui::IsAnyItemActive() || ImGui::GetIO().WantTextInput;
    ImGui::Render();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    gOverlay.inFrame = false;
}

void RunDrawers()
{
    // Copy: a drawer may add or remove drawers.
    const auto drawers = gOverlay.drawers;
    for (const auto& [id, draw] : drawers) {
        (void)id;
        draw();
    }
}

void RedrawBase()
{
    SDL_Renderer* renderer = MainWindowState().renderer;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (gOverlay.lastFrame) {
        gOverlay.lastFrame();
    }
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
    ImGui::StyleColorsDark();
    ImGui::GetStyle().FramePadding.y = 3.0f;
    // A box stands over the game's last frame as it was, undimmed.
    ImGui::GetStyle().Colors[ImGuiCol_ModalWindowDimBg] = ImVec4(0, 0, 0, 0);
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
}

void ImGuiProcessEvent(const void* event)
{
    if (gOverlay.ready) {
        ImGui_ImplSDL2_ProcessEvent(static_cast<const SDL_Event*>(event));
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

void DrawOverlay()
{
    if (!gOverlay.ready || gOverlay.inFrame) {
        return;
    }
    BeginImGuiFrame();
    RunDrawers();
    EndImGuiFrame();
}

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

bool RunModalLoop(const std::function<bool()>& frame)
{
    WindowState& state = MainWindowState();
    if (!gOverlay.ready || !state.renderer || gOverlay.inFrame) {
        return false;
    }
    const bool outerModal = gOverlay.inModal;
    gOverlay.inModal = true;
    // Messages meant for the window wait until the box is closed, in order;
    // presses belong to the modal, releases still reach the input state.
    std::vector<SDL_Event> deferred;
    const uint32_t posted = PostedMessageEvent();
    bool open = true;
    while (open) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 16)) {
            do {
                ImGuiProcessEvent(&event);
                TrackInputEvent(event, true);
                const bool keep = event.type == SDL_QUIT || (posted != 0 && event.type == posted) ||
                                  (event.type == SDL_WINDOWEVENT && event.window.event != SDL_WINDOWEVENT_EXPOSED);
                if (keep) {
                    deferred.push_back(event);
                }
            } while (SDL_PollEvent(&event));
        }
        RedrawBase();
        BeginImGuiFrame();
        ImGui::BeginDisabled();
        RunDrawers();
        ImGui::EndDisabled();
        open = frame();
        EndImGuiFrame();
        SDL_RenderPresent(state.renderer);
    }
    for (SDL_Event& event : deferred) {
        SDL_PushEvent(&event);
    }
    gOverlay.inModal = outerModal;
    return true;
}

}  // namespace platform::sdl
