// Instructions that the game shell carries out: pictures, the message window
// and text, sound, movies and screen effects. Each checks that its service
// exists; a missing one takes the error path.
#include <cstdio>

#include "scenario/ScenarioExecutor.h"

using namespace scenario;
using Flow = ScenarioExecutor::Flow;

namespace {

constexpr int32_t kTransitionCount = 75;

}  // namespace

Flow ScenarioExecutor::executePicture(const Instruction& ins)
{
    PictureService* pictures = host_->Pictures();
    if (!servicePresent(pictures, "picture"))
        return Flow::kError;
    int32_t arg[4];
    switch (ins.op) {
    case kOpShow:
    case kOpReplace:
    case kOpPan: {
        const bool pan = ins.op == kOpPan;
        PictureLayer layer;
        if (!args(pan ? 3 : 4, arg) || !text(ins.c, &layer.name))
            return Flow::kError;
        layer.key = arg[0];
        if (pan) {
            layer.kind = kLayerPan;
            layer.direction = arg[1];
            layer.frames = arg[2];
        } else {
            layer.x = arg[1];
            layer.y = arg[2];
            layer.blit = arg[3];
        }
        // A picture never changes under the message window: hide it first and
        // come back to this instruction on each frame until it is hidden.
        if (windowVisible_) {
            MessageService* messages = host_->Messages();
            if (!servicePresent(messages, "message"))
                return Flow::kError;
            const Flow hidden = fromHost(messages->ShowWindow(false), "ShowWindow");
            if (hidden != Flow::kNext)
                return hidden;
            windowVisible_ = false;
        }
        const Flow flow = fromHost(pan ? pictures->PanPicture(layer)
                                       : pictures->ShowPicture(layer, effect_, ins.op == kOpReplace),
                                   "ShowPicture");
        if (flow != Flow::kNext)
            return flow;
        layers_[layer.key] = std::move(layer);
        markAllDirty();
        return Flow::kYield;
    }
    case kOpRemove: {
        if (!args(1, arg))
            return Flow::kError;
        const Flow flow = fromHost(pictures->RemovePicture(arg[0]), "RemovePicture");
        if (flow != Flow::kNext)
            return flow;
        layers_.erase(arg[0]);
        markAllDirty();
        return Flow::kYield;
    }
    case kOpEffect:
        if (!args(1, arg))
            return Flow::kError;
        effect_ = arg[0];
        if (effect_ < 0 || effect_ >= kTransitionCount) {
            char message[96];
            std::snprintf(message, sizeof message, "cEffectNo がはみ出しちゃったの (%d) mod とるね", effect_);
            host_->ShowMessage(message, "Debug");
            effect_ = ((effect_ % kTransitionCount) + kTransitionCount) % kTransitionCount;
        }
        return Flow::kNext;
    case kOpVista:
        if (!args(1, arg))
            return Flow::kError;
        return fromHost(pictures->SetRevealBand(arg[0] != 0), "SetRevealBand");
    default:
        return fail("unknown opcode " + std::to_string(ins.op));
    }
}

Flow ScenarioExecutor::executeMessage(const Instruction& ins, StepInput& input)
{
    if (ins.op == kOpBacklog) {
        ShellService* shell = host_->Shell();
        if (!servicePresent(shell, "shell"))
            return Flow::kError;
        return fromHost(shell->OpenBacklog(), "OpenBacklog");
    }
    MessageService* messages = host_->Messages();
    if (!servicePresent(messages, "message"))
        return Flow::kError;
    int32_t arg[1];
    std::string value;
    switch (ins.op) {
    case kOpWindow: {
        if (!args(1, arg))
            return Flow::kError;
        const Flow flow = fromHost(messages->ShowWindow(arg[0] != 0), "ShowWindow");
        if (flow == Flow::kNext)
            windowVisible_ = arg[0] != 0;
        return flow;
    }
    case kOpName:
    case kOpText:
        if (!text(ins.c, &value))
            return Flow::kError;
        return ins.op == kOpName ? fromHost(messages->SetName(value), "SetName")
                                 : fromHost(messages->AddText(value), "AddText");
    case kOpNameVar:
    case kOpTextVar: {
        auto it = valsStr_.find(ins.b);
        if (it != valsStr_.end())
            value = it->second;
        return ins.op == kOpNameVar ? fromHost(messages->SetName(value), "SetName")
                                    : fromHost(messages->AddText(value), "AddText");
    }
    case kOpRuby: {
        std::string reading;
        if (!args(1, arg) || !text(ins.c, &value) || !text(arg[0], &reading))
            return Flow::kError;
        return fromHost(messages->AddRuby(value, reading), "AddRuby");
    }
    case kOpLink:
        if (!args(1, arg))
            return Flow::kError;
        return fromHost(messages->BeginLink(arg[0]), "BeginLink");
    case kOpEndLink:
        return fromHost(messages->EndLink(), "EndLink");
    case kOpColor:
        if (!args(1, arg))
            return Flow::kError;
        return fromHost(messages->SetColor(arg[0]), "SetColor");
    case kOpNewLine:
        return fromHost(messages->NewLine(), "NewLine");
    case kOpPage:
        if (!pagePending_) {
            const Flow waited = clickWait(0, input);
            if (waited != Flow::kNext)
                return waited;
            pagePending_ = true;
        }
        return fromHost(messages->EndPage(), "EndPage");
    case kOpInput: {
        std::string name;
        if (!text(ins.c, &value))
            return Flow::kError;
        const Flow flow = fromHost(messages->InputName(value, &name), "InputName");
        if (flow == Flow::kNext)
            valsStr_[ins.b] = std::move(name);
        return flow;
    }
    case kOpSelect: {
        if (ins.a & kVarIndirect)
            return fail("select cannot store through an indirect variable");
        // Skipping stops at a choice.
        if (fastForward == 1)
            setFastForward(0);
        int32_t id = 0;
        const Flow flow = fromHost(messages->TakeChosenLink(&id), "TakeChosenLink");
        if (flow != Flow::kNext)
            return flow;
        std::map<int32_t, int32_t>* map;
        int32_t index;
        if (!varSlot(ins, &map, &index))
            return Flow::kError;
        return storeVar(map, index, id);
    }
    default:
        return fail("unknown opcode " + std::to_string(ins.op));
    }
}

Flow ScenarioExecutor::executeSound(const Instruction& ins)
{
    SoundService* sounds = host_->Sounds();
    if (!servicePresent(sounds, "sound"))
        return Flow::kError;
    int32_t arg[1];
    std::string name;
    switch (ins.op) {
    case kOpSe:
    case kOpSeLoop:
    case kOpVoice:
        if (!text(ins.c, &name))
            return Flow::kError;
        if (fastForward == 1)
            return Flow::kNext;  // nothing sounds while skipping
        return ins.op == kOpVoice ? fromHost(sounds->PlayVoice(name), "PlayVoice")
                                  : fromHost(sounds->PlaySe(name, ins.op == kOpSeLoop), "PlaySe");
    case kOpSeStop:
        return fromHost(sounds->StopSe(), "StopSe");
    case kOpMusic: {
        if (!args(1, arg))
            return Flow::kError;
        const Flow flow = fromHost(sounds->PlayMusic(arg[0]), "PlayMusic");
        if (flow == Flow::kNext)
            cdTrack = arg[0];
        return flow;
    }
    case kOpMusicStop: {
        const Flow flow = fromHost(sounds->StopMusic(), "StopMusic");
        if (flow == Flow::kNext)
            cdTrack = kNoTrack;
        return flow;
    }
    case kOpMovie: {
        ShellService* shell = host_->Shell();
        if (!servicePresent(shell, "shell") || !text(ins.c, &name))
            return Flow::kError;
        const Flow flow = fromHost(shell->PlayMovie(name), "PlayMovie");
        return flow == Flow::kNext ? Flow::kYield : flow;
    }
    default:
        return fail("unknown opcode " + std::to_string(ins.op));
    }
}

Flow ScenarioExecutor::executeShell(const Instruction& ins)
{
    ShellService* shell = host_->Shell();
    if (!servicePresent(shell, "shell"))
        return Flow::kError;
    int32_t arg[4];
    Flow flow;
    switch (ins.op) {
    case kOpQuake:
        if (!args(4, arg))
            return Flow::kError;
        flow = fromHost(shell->StartQuake(arg[0], arg[1], arg[2], arg[3]), "StartQuake");
        break;
    case kOpFlash:
        if (!args(1, arg))
            return Flow::kError;
        flow = fromHost(shell->StartFlash(arg[0]), "StartFlash");
        break;
    default: return fail("unknown opcode " + std::to_string(ins.op));
    }
    // The frame loop runs the effect; the scenario goes on after it.
    return flow == Flow::kNext ? Flow::kYield : flow;
}
