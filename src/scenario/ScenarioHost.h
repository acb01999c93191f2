#pragma once
// What the scenario executor asks of the game shell. The shell implements
// ScenarioHost and hands out one service object per family of instructions;
// a family whose service is null (not built yet, or a headless test) makes its
// instructions take the scenario error path instead of doing nothing.
#include <cstdint>
#include <string>

namespace scenario {

// Answer of a service call. kBusy: not finished yet; the executor ends its
// step and runs the same instruction again on the next frame.
enum class HostResult : int { kDone = 0, kBusy = 1, kFailed = 2 };

// One picture under a draw-queue key, as the executor records it for saves.
struct PictureLayer {
    int32_t key = 0;
    int32_t kind = 0;  // kLayerPicture or kLayerPan
    std::string name;
    int32_t x = 0;          // left edge, or a negative horizontal anchor code
    int32_t y = 0;          // top edge, or a negative vertical anchor code
    int32_t blit = 0;       // blit mode
    int32_t direction = 0;  // pan direction
    int32_t frames = 0;     // pan length in frames
};
constexpr int32_t kLayerPicture = 0;
constexpr int32_t kLayerPan = 1;

class PictureService {
public:
    virtual ~PictureService() = default;
    // Shows (or, with replace, swaps the picture of) the drawable under
    // layer.key through transition `effect` (0-74); kFailed when it cannot.
    virtual HostResult ShowPicture(const PictureLayer& layer, int32_t effect, bool replace) = 0;
    // Shows a vertical pan picture under layer.key.
    virtual HostResult PanPicture(const PictureLayer& layer) = 0;
    // Takes the drawable under the key out of the draw queue.
    virtual HostResult RemovePicture(int32_t key) = 0;
    // Starts or stops the reveal band (scrolling backdrop effect).
    virtual HostResult SetRevealBand(bool on) = 0;
    // After a load: puts a saved layer back at once, without a transition.
    virtual HostResult RestorePicture(const PictureLayer& layer) = 0;
    // After a load: removes every picture the executor put in the draw queue.
    virtual HostResult ClearPictures() = 0;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    // Starts the message window's show or hide effect; kBusy until it is done.
    virtual HostResult ShowWindow(bool show) = 0;
    virtual HostResult SetName(const std::string& speaker) = 0;
    virtual HostResult AddText(const std::string& text) = 0;
    virtual HostResult AddRuby(const std::string& base, const std::string& reading) = 0;
    virtual HostResult BeginLink(int32_t id) = 0;
    virtual HostResult EndLink() = 0;
    // 0x00RRGGBB, or -1 for the default colour.
    virtual HostResult SetColor(int32_t rgb) = 0;
    virtual HostResult NewLine() = 0;
    // The page was read: log it and clear the window for the next one.
    virtual HostResult EndPage() = 0;
    // The id of the link the player chose; kBusy while none is chosen yet.
    virtual HostResult TakeChosenLink(int32_t* id) = 0;
    // Shows the fast-forward button pressed (skip or auto-advance on) or not.
    virtual HostResult SetFastForwardButton(bool pressed) = 0;
    // Runs the name-input dialog; kDone with the name in *out, kBusy while open.
    virtual HostResult InputName(const std::string& initial, std::string* out) = 0;
};

class SoundService {
public:
    virtual ~SoundService() = default;
    virtual HostResult PlaySe(const std::string& name, bool loop) = 0;
    virtual HostResult StopSe() = 0;
    virtual HostResult PlayVoice(const std::string& name) = 0;
    virtual HostResult PlayMusic(int32_t track) = 0;
    virtual HostResult StopMusic() = 0;
};

class ShellService {
public:
    virtual ~ShellService() = default;
    virtual HostResult PlayMovie(const std::string& name) = 0;
    // Shakes the screen for `frames` frames: axis 1 vertical only, 2 sideways
    // only, else both; envelope 1 growing, 2 dying away, 3 strong at both
    // ends, 4 strong in the middle, else constant; amplitude in pixels.
    virtual HostResult StartQuake(int32_t axis, int32_t frames, int32_t envelope, int32_t amplitude) = 0;
    // Flashes the screen towards rgb (0x00RRGGBB; the top byte is ignored)
    // and back, over the settings' flash lengths.
    virtual HostResult StartFlash(int32_t rgb) = 0;
    // Opens the backlog screen; kBusy while it is open.
    virtual HostResult OpenBacklog() = 0;
    // The right-click popup menu at a wait.
    virtual HostResult ShowPopupMenu() = 0;
    // Saves the running game into the "latest choice" slot.
    virtual HostResult SavePoint() = 0;
    // A scene replay reached its end: back to the scene replay screen.
    virtual HostResult EndSceneReplay() = 0;
    // The game reached its end: the game is forgotten and the start menu
    // opens, as after the player's return to the title (without its question).
    virtual HostResult ReturnToTitle() = 0;
};

class ScenarioHost {
public:
    virtual ~ScenarioHost() = default;
    // Milliseconds of a monotonic clock (waits measure against it).
    virtual uint32_t TickCount() = 0;
    // A message box for the player (the error path, debug notices).
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // Writes the user system file; 0 on success.
    virtual int SaveSystemData() = 0;
    // Whether the program has been asked to stop (a signal, the window's
    // close button) and the game's loop has yet to hear of it: the step then
    // ends before its next instruction, so that a scenario that never waits
    // cannot hold the stop back. Asked between every two instructions: it
    // must be cheap. Without a window to stop, false.
    virtual bool StopRequested() { return false; }

    virtual PictureService* Pictures() { return nullptr; }
    virtual MessageService* Messages() { return nullptr; }
    virtual SoundService* Sounds() { return nullptr; }
    virtual ShellService* Shell() { return nullptr; }
};

// The player's input of one frame, as the step needs it.
struct StepInput {
    bool advance = false;     // a new left click, Space or Enter
    bool rightClick = false;  // a new right click
};

}  // namespace scenario
