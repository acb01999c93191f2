// The executor's set-up, file handling, step loop and dispatch. The
// instruction families live in ExecutorControl.cpp and ExecutorServices.cpp,
// saves in ExecutorState.cpp.
#include "scenario/ScenarioExecutor.h"

#include "frame/DebugOutput.h"
#include "scenario/SceneSeen.h"

using namespace scenario;
using Flow = ScenarioExecutor::Flow;
using scenario::Instruction;
using scenario::StepInput;

namespace {

const char kScenarioFolder[] = "scenario\\";
const char kSceneJumpFile[] = "scenejump.dat";

}  // namespace

ScenarioExecutor::ScenarioExecutor() : reader_(&scenario::ReadThroughFileLayer) {}

ScenarioExecutor::~ScenarioExecutor() = default;

void ScenarioExecutor::setFileReader(scenario::FileReader reader, void* context)
{
    reader_ = reader;
    readerContext_ = context;
    cache_.clear();
}

std::shared_ptr<const SCENARIO> ScenarioExecutor::loadScript(const std::string& name, std::string* why)
{
    auto cached = cache_.find(name);
    if (cached != cache_.end())
        return cached->second;
    std::vector<uint8_t> bytes;
    if (reader_(readerContext_, kScenarioFolder + name, &bytes) != 0) {
        *why = "scenario " + name + ": " + std::string(scenario::ToString(scenario::LoadResult::kFileNotFound));
        return nullptr;
    }
    auto script = std::make_shared<SCENARIO>();
    const scenario::LoadResult result = script->loadFromMemory(bytes.data(), bytes.size());
    if (result != scenario::LoadResult::kOk) {
        *why = "scenario " + name + ": " + std::string(scenario::ToString(result));
        return nullptr;
    }
    cache_[name] = script;
    return script;
}

bool ScenarioExecutor::enter(const std::string& name, size_t pc)
{
    std::string why;
    std::shared_ptr<const SCENARIO> script = loadScript(name, &why);
    if (!script) {
        recordError(why);
        return false;
    }
    if (pc >= script->size()) {
        recordError("position " + std::to_string(pc) + " outside " + name);
        return false;
    }
    script_ = std::move(script);
    scriptName_ = name;
    pc_ = pc;
    applyDefaults();
    return true;
}

void ScenarioExecutor::applyDefaults()
{
    // Defaults only fill variables that have no value yet, so entering a file
    // again (a call, a return, a loaded game) never resets the story's state.
    for (const auto& [index, value] : script_->defaults())
        valsInt_.emplace(index, value);
}

bool ScenarioExecutor::openScenario(const std::string& name)
{
    closeScenario();
    error_.clear();
    errorDetail_.clear();
    errorShown_ = false;
    return enter(name, 0);
}

bool ScenarioExecutor::startSceneReplay(int32_t position)
{
    if (!openScenario(kSceneJumpFile))
        return false;
    sceneReplay = 1;
    if (position < 0 || static_cast<size_t>(position) >= script_->size()) {
        recordError("scene position " + std::to_string(position) + " outside " + kSceneJumpFile);
        return false;
    }
    pc_ = static_cast<size_t>(position);
    return true;
}

void ScenarioExecutor::closeScenario()
{
    script_.reset();
    scriptName_.clear();
    pc_ = 0;
    calls_.clear();
    cache_.clear();
    waiting_ = false;
    pagePending_ = false;
}

void ScenarioExecutor::resetGame()
{
    closeScenario();
    valsInt_.clear();
    valsStr_.clear();
    stack.assign({});
    layers_.clear();
    title_.clear();
    effect_ = 0;
    windowVisible_ = false;
    sceneReplay = 0;
    backlogRequested_ = false;
    error_.clear();
    errorShown_ = false;
    setFastForward(0);
}

void ScenarioExecutor::setFastForward(int mode)
{
    fastForward = mode;
    if (MessageService* messages = host_ ? host_->Messages() : nullptr)
        messages->SetFastForwardButton(mode != 0);
}

bool ScenarioExecutor::stopSounds(bool withMusic)
{
    scenario::SoundService* sounds = host_ ? host_->Sounds() : nullptr;
    if (!sounds)
        return false;
    sounds->StopSe();
    if (withMusic) {
        sounds->StopMusic();
        cdTrack = kNoTrack;
    }
    return true;
}

bool ScenarioExecutor::showScriptFrame(bool show)
{
    MessageService* messages = host_ ? host_->Messages() : nullptr;
    if (!messages || messages->ShowWindow(show) == HostResult::kFailed)
        return false;
    windowVisible_ = show;  // the effect has started; a picture change waits for it
    return true;
}

void ScenarioExecutor::markAllDirty()
{
    dirty_.push_back({0, 0, settings_.width, settings_.height});
}

void ScenarioExecutor::recordError(const std::string& why)
{
    if (error_.empty())
        error_ = why.empty() ? "error" : why;
}

Flow ScenarioExecutor::fail(const std::string& why)
{
    recordError(why);
    return Flow::kError;
}

bool ScenarioExecutor::servicePresent(const void* service, const char* what)
{
    if (service)
        return true;
    recordError(std::string("no ") + what + " service for this instruction");
    return false;
}

Flow ScenarioExecutor::fromHost(scenario::HostResult result, const char* what)
{
    switch (result) {
    case scenario::HostResult::kDone: return Flow::kNext;
    case scenario::HostResult::kBusy: return Flow::kWait;
    case scenario::HostResult::kFailed: break;
    }
    return fail(std::string(what) + " failed");
}

int ScenarioExecutor::step(const StepInput& frameInput)
{
    StepInput input = frameInput;  // a click is consumed by the first wait that sees it
    Flow flow = Flow::kNext;
    if (!failed() && !host_)
        recordError("no host");
    if (!failed() && !script_)
        recordError("no scenario is open");
    if (!failed() && backlogRequested_) {
        scenario::ShellService* shell = host_->Shell();
        if (!servicePresent(shell, "shell"))
            flow = Flow::kError;
        else if ((flow = fromHost(shell->OpenBacklog(), "OpenBacklog")) == Flow::kNext)
            backlogRequested_ = false;
        if (flow == Flow::kWait)
            return kStepContinue;
    }
    for (int count = 0; !failed() && count < kInstructionsPerStep; ++count) {
        // The budget counts instructions, not time: one that takes long (a
        // save point) would otherwise keep the game from hearing a stop for
        // the whole budget. The step resumes here if the game goes on.
        if (host_->StopRequested())
            return kStepContinue;
        if (pc_ >= script_->size()) {
            fail("ran past the end of " + scriptName_);
            break;
        }
        const size_t before = pc_;
        const Instruction ins = script_->at(pc_);  // a copy: a far jump may replace script_
        flow = execute(ins, input);
        if (flow == Flow::kWait)
            return kStepContinue;
        if (flow == Flow::kError)
            break;
        waiting_ = false;
        pagePending_ = false;
        if (flow == Flow::kNext || flow == Flow::kYield) {
            if (pc_ == before)
                ++pc_;
        }
        if (flow == Flow::kYield)
            return kStepContinue;
        if (flow == Flow::kEnd && !sceneReplay)
            return kStepEnd;
        if (flow == Flow::kEnd || flow == Flow::kToTitle) {
            // The end of a replayed scene leads back to the scene replay
            // screen, wherever it ends; the game's own end to the start menu.
            // The shell forgets the game, so nothing of this step may run on.
            scenario::ShellService* shell = host_->Shell();
            if (!servicePresent(shell, "shell"))
                break;
            if (sceneReplay) {
                if (fromHost(shell->EndSceneReplay(), "EndSceneReplay") == Flow::kError)
                    break;
                sceneReplay = 0;
            } else if (fromHost(shell->ReturnToTitle(), "ReturnToTitle") == Flow::kError) {
                break;
            }
            closeScenario();
            return kStepContinue;
        }
    }
    if (!failed())
        return kStepContinue;  // instruction budget used up: go on next frame
    if (!errorShown_) {
        errorShown_ = true;
        // The box keeps its one line of the system's and adds what went wrong
        // and where, so a player can tell a damaged file from a broken scenario.
        errorDetail_ = error_;
        if (!scriptName_.empty())
            errorDetail_ += " (" + scriptName_ + ", instruction " + std::to_string(pc_) + ")";
        DebugOutput("ScenarioExecutor::step: " + errorDetail_ + "\n");
        if (host_)
            host_->ShowMessage("エラーが発生しました\n" + errorDetail_, "えら");
    }
    return kStepError;
}

Flow ScenarioExecutor::execute(const Instruction& ins, StepInput& input)
{
    const scenario::OpInfo* info = scenario::FindOp(ins.op);
    if (!info)
        return fail("unknown opcode " + std::to_string(ins.op));
    if (ins.op < 0x20) {
        if (ins.op < kOpStrSet || ins.op == kOpWaitClick || ins.op == kOpToTitle)
            return executeControl(ins, input);
    }
    Flow flow;
    if (ins.op < 0x20)
        flow = executeVariables(ins);
    else if (ins.op < 0x30)
        flow = executePicture(ins);
    else if (ins.op < 0x40)
        flow = executeMessage(ins, input);
    else if (ins.op < 0x50)
        flow = executeSound(ins);
    else
        flow = executeShell(ins);
    // Stack arguments are taken only once the instruction is done, so that an
    // instruction run again on the next frame finds them still in place.
    if ((flow == Flow::kNext || flow == Flow::kYield) &&
        (info->form == scenario::Form::kStr || info->form == scenario::Form::kStack)) {
        if (!stack.drop(info->stackArgs))
            return fail("expression stack underflow");
    }
    return flow;
}

bool ScenarioExecutor::args(size_t count, int32_t* out)
{
    // out[0] is the first value pushed.
    for (size_t i = 0; i < count; ++i) {
        if (!stack.peek(count - 1 - i, &out[i])) {
            recordError("expression stack underflow");
            return false;
        }
    }
    return true;
}

bool ScenarioExecutor::text(int32_t offset, std::string* out)
{
    if (script_->getText(offset, out))
        return true;
    recordError("SCENARIO::getText: offset " + std::to_string(offset) + " outside .ROData");
    return false;
}
