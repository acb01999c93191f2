#include "game/BacklogHost.h"

#include "game/BacklogScreen.h"
#include "game/GameSound.h"
#include "game/ScriptFrame.h"
#include "game/TextHost.h"
#include "scenario/ScenarioExecutor.h"
#include "sound/ScenarioSound.h"

using scenario::HostResult;

BacklogHost::BacklogHost(TextHost* text, CGameKeyInput* keys, CMouseInput* mouse, CGameSound* sound,
                         ScenarioExecutor* executor)
    : text_(text), keys_(keys), mouse_(mouse), sound_(sound), executor_(executor)
{
}

BacklogHost::~BacklogHost() = default;

void BacklogHost::MarkAllDirty()
{
    if (executor_)
        executor_->markAllDirty();
}

HostResult BacklogHost::Step()
{
    CScriptFrame* frame = text_ ? text_->GetScriptFrame() : nullptr;
    if (!frame)
        return HostResult::kFailed;
    stepped_ = true;
    if (!screen_) {
        // The window goes at once, so that the picture captured in this frame
        // is the scene alone.
        windowWasShown_ = frame->IsShown() != 0;
        frame->SetAttr(0, 0);
        frame->Invalidate();
        CMediaObject* voice = nullptr;
        if (sound_ && sound_->Sound())
            voice = sound_->Sound()->Channels().voice;
        screen_ = std::make_unique<CBacklogScreen>();
        screen_->Load(frame, voice, &log_);
        justOpened_ = true;
        MarkAllDirty();
        return HostResult::kBusy;
    }
    if (screen_->Update(keys_, mouse_) != 1)
        return HostResult::kBusy;
    screen_.reset();
    frame->SetAttr(windowWasShown_ ? 1 : 0, 0);
    frame->Invalidate();
    MarkAllDirty();
    return HostResult::kDone;
}

void BacklogHost::EndStep()
{
    if (screen_ && !stepped_)
        Close();
    stepped_ = false;
}

void BacklogHost::CaptureIfNew(CPlaneBase* target)
{
    if (screen_ && justOpened_) {
        screen_->CaptureBackground(target);
        justOpened_ = false;
    }
}

bool BacklogHost::Draw(CPlaneBase* target, const RectList& rects)
{
    if (!screen_ || justOpened_)
        return false;
    if (rects.empty())
        screen_->Draw(target, nullptr);
    for (const Rect& r : rects)
        screen_->Draw(target, &r);
    return true;
}

void BacklogHost::Close()
{
    if (!screen_)
        return;
    screen_->Abandon();
    screen_.reset();
    justOpened_ = false;
    MarkAllDirty();
}
