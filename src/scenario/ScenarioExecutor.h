#pragma once
// ScenarioExecutor: runs compiled scenarios instruction by instruction within
// the game's frames. Control flow, variables, the expression stack, waits and
// saves are its own; everything that shows or sounds goes through the
// ScenarioHost services (ScenarioHost.h). Any fault in the scenario (unknown
// instruction, jump out of range, stack under- or overflow, a missing service)
// takes the error path: "エラーが発生しました" with a line saying what went
// wrong and where, and step() returns non-zero.
//
// Sections: construction and set-up; running; saves; state for the shell and tests.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "frame/Rect.h"
#include "scenario/SCENARIO.h"
#include "scenario/SEStack.h"
#include "scenario/ScenarioHost.h"

class ProfileFile;

// Values of the settings the executor reads (the shell fills them from gConfig).
struct ScenarioSettings {
    int32_t waitMouse = 0;  // auto-advance delay (ms) of a click wait with a non-zero operand
    int32_t wait = 0;       // the same for a zero operand
    int32_t width = 800;
    int32_t height = 600;
};

// Step results: 0 go on; the others end the game loop.
constexpr int kStepContinue = 0;
constexpr int kStepEnd = 1;
constexpr int kStepError = 2;

// loadState results.
constexpr int kLoadOk = 0;
constexpr int kLoadMissing = 1;      // a section or key is missing
constexpr int kLoadBadNumber = 2;    // a value is not a number or out of range
constexpr int kLoadBadScenario = 3;  // a saved scenario file cannot be loaded
constexpr int kLoadBadPosition = 4;  // a saved position lies outside its scenario
constexpr int kLoadBadPictures = 5;  // the pictures cannot be put back

class ScenarioExecutor {
public:
    static constexpr size_t kMaxCallDepth = 64;
    static constexpr size_t kMaxVariables = 65536;
    // A scenario that loops without waiting yields after this many
    // instructions so that the frame loop goes on; a stop request
    // (ScenarioHost::StopRequested) ends the step at once.
    static constexpr int kInstructionsPerStep = 100000;
    static constexpr int32_t kNoTrack = 999;

    // ---- construction and set-up
    ScenarioExecutor();
    ~ScenarioExecutor();
    // The shell's services; must be set before step(). Not owned.
    void setHost(scenario::ScenarioHost* host) { host_ = host; }
    // Where scenario files come from (the file layer by default).
    void setFileReader(scenario::FileReader reader, void* context);
    // The system variables (systemInt of the settings). Not owned; must outlive the executor.
    void setSystemVariables(std::map<int32_t, int32_t>* systemInt) { systemInt_ = systemInt; }
    void setSettings(const ScenarioSettings& settings) { settings_ = settings; }

    // ---- running
    // Opens "scenario\<name>" and starts it at its first instruction with an
    // empty call stack; false (and the error path at the next step) when it
    // cannot be loaded.
    bool openScenario(const std::string& name);
    // Sets the scene-replay flag, opens "scenejump.dat" and jumps to the position.
    bool startSceneReplay(int32_t position);
    // Clears the scenario, the call stack and any wait.
    void closeScenario();
    // Forgets the game being played, so the next one starts afresh: closes
    // the scenario and empties the scenario's variables, strings, expression
    // stack, picture records and save title (the system variables stay);
    // fast-forward, the scene-replay flag and the backlog request end.
    void resetGame();
    // Executes instructions until one waits, changes the picture or ends, the
    // budget is used up or the host asks to stop; see kStep*.
    int step(const scenario::StepInput& input);
    // Sets the mode (0 off, 1 skip, 2 auto-advance) and the message window's button.
    void setFastForward(int mode);
    void openBacklog() { backlogRequested_ = true; }
    void closeBacklog() { backlogRequested_ = false; }
    // Stops the two sound-effect channels (and the music when asked); false without a sound service.
    bool stopSounds(bool withMusic);
    // Starts the message window's show or hide effect (the hide-window
    // command); false without a message service or when the service refuses.
    bool showScriptFrame(bool show);
    // Adds the whole screen to the dirty-rectangle list.
    void markAllDirty();

    // ---- saves
    // Writes position, call stack, variables, pictures, stack and save title
    // into the profile file and saves the user system file through the host.
    void saveState(ProfileFile* file);
    // Rebuilds the state from the profile file; kLoadOk, or a kLoad* code with
    // the running game left exactly as it was.
    int loadState(const ProfileFile& file);

    // ---- state for the shell and tests
    int fastForward = 0;  // 0 off, 1 skip to the next choice, 2 auto-advance
    int sceneReplay = 0;  // 1 while a scene replay runs
    SEStack stack;
    int32_t cdTrack = kNoTrack;

    std::map<int32_t, int32_t>& valsInt() { return valsInt_; }
    std::map<int32_t, std::string>& valsStr() { return valsStr_; }
    std::map<int32_t, int32_t>& systemInt() { return *systemInt_; }
    const std::string& scenarioName() const { return scriptName_; }
    size_t position() const { return pc_; }
    size_t callDepth() const { return calls_.size(); }
    const std::map<int32_t, scenario::PictureLayer>& pictures() const { return layers_; }
    const std::string& saveTitle() const { return title_; }
    int32_t effectNumber() const { return effect_; }
    bool windowVisible() const { return windowVisible_; }
    // What went wrong when the error path was taken (for logs and tests).
    const std::string& lastError() const { return error_; }
    // The second line of the error box: the error and where it happened
    // ("scenario start.nsd: bad section table"); empty until the box was shown.
    const std::string& errorDetail() const { return errorDetail_; }
    bool failed() const { return !error_.empty(); }
    std::vector<Rect>& dirtyRects() { return dirty_; }

    // What an instruction tells the step loop.
    enum class Flow { kNext, kJumped, kYield, kWait, kEnd, kToTitle, kError };

private:
    struct Frame {
        std::string name;
        size_t pc = 0;
    };
    std::shared_ptr<const SCENARIO> loadScript(const std::string& name, std::string* why);
    bool enter(const std::string& name, size_t pc);
    Flow execute(const scenario::Instruction& ins, scenario::StepInput& input);
    Flow executeControl(const scenario::Instruction& ins, scenario::StepInput& input);
    Flow executeVariables(const scenario::Instruction& ins);
    Flow executePicture(const scenario::Instruction& ins);
    Flow executeMessage(const scenario::Instruction& ins, scenario::StepInput& input);
    Flow executeSound(const scenario::Instruction& ins);
    Flow executeShell(const scenario::Instruction& ins);
    Flow calc(uint8_t op);
    Flow clickWait(uint8_t operand, scenario::StepInput& input);
    // Milliseconds since the waiting instruction's first frame (starts the wait).
    int64_t waitElapsed();
    Flow jumpTo(int32_t target);
    Flow farTransfer(const scenario::Instruction& ins, bool call);
    Flow fromHost(scenario::HostResult result, const char* what);
    Flow fail(const std::string& why);
    void recordError(const std::string& why);
    bool servicePresent(const void* service, const char* what);
    bool text(int32_t offset, std::string* out);
    Flow storeVar(std::map<int32_t, int32_t>* map, int32_t index, int32_t value);
    bool varSlot(const scenario::Instruction& ins, std::map<int32_t, int32_t>** map, int32_t* index);
    bool args(size_t count, int32_t* out);
    void applyDefaults();

    scenario::ScenarioHost* host_ = nullptr;
    scenario::FileReader reader_;
    void* readerContext_ = nullptr;
    std::map<int32_t, int32_t> ownSystemInt_;
    std::map<int32_t, int32_t>* systemInt_ = &ownSystemInt_;
    ScenarioSettings settings_;

    std::shared_ptr<const SCENARIO> script_;
    std::string scriptName_;
    size_t pc_ = 0;
    std::vector<Frame> calls_;
    std::map<std::string, std::shared_ptr<const SCENARIO>> cache_;

    std::map<int32_t, int32_t> valsInt_;
    std::map<int32_t, std::string> valsStr_;
    std::map<int32_t, scenario::PictureLayer> layers_;
    int32_t effect_ = 0;
    bool windowVisible_ = false;
    std::string title_;

    bool waiting_ = false;
    bool pagePending_ = false;  // the page's click wait has passed, its end is pending
    uint32_t waitStart_ = 0;
    bool backlogRequested_ = false;
    std::string error_;
    std::string errorDetail_;
    bool errorShown_ = false;
    std::vector<Rect> dirty_;

};
