#include "game/TextHost.h"

#include "frame/CMouseInput.h"
#include "game/DrawQueue.h"
#include "game/FrameAnimation.h"
#include "game/GameConfig.h"
#include "game/NameInputDialog.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "game/TextLabel.h"

using scenario::HostResult;

TextHost::TextHost(CDrawQueue* queue, CGameKeyInput* keys, CMouseInput* mouse, const int* fastForward)
    : queue_(queue), keys_(keys), mouse_(mouse), fastForward_(fastForward)
{
}

TextHost::~TextHost()
{
    if (!inQueue_ || !queue_)
        return;
    // Only our own entries: a key someone else took stays theirs.
    if (queue_->Find(kWindowKey) == frame_.get())
        queue_->Remove(kWindowKey);
    if (queue_->Find(kNameKey) == frame_->GetNameLabel())
        queue_->Remove(kNameKey);
    if (queue_->Find(kTextKey) == frame_->GetTextDrawable())
        queue_->Remove(kTextKey);
}

void TextHost::Init()
{
    if (frame_)
        return;
    frame_ = std::make_unique<CScriptFrame>();
    frame_->SetFrameRange(gConfig.AnimationLength, 0, -1);
    frame_->LoadPicture(gConfig.FileName);
    frame_->LoadFramePicture(gConfig.BackFileName);
    frame_->SetAttr(0, 0);
    CTextDrawable* text = frame_->GetTextDrawable();
    text->SetMarkerVisible(1);
    if (!text->GetMarker()) {
        auto marker = std::make_unique<CFrameAnimation>();
        for (const std::string& name : gConfig.ParaParaAnimationFileName)
            marker->AddFrame(name);
        marker->SetInterval(gConfig.ParaParaAnimationInterval > 0 ? gConfig.ParaParaAnimationInterval : 1);
        text->SetMarker(marker.release());
    }
    if (queue_) {
        queue_->Insert(kWindowKey, frame_.get());
        queue_->Insert(kNameKey, frame_->GetNameLabel());
        queue_->Insert(kTextKey, text);
        inQueue_ = true;
    }
}

CTextDrawable* TextHost::GetTextDrawable() const
{
    return frame_ ? frame_->GetTextDrawable() : nullptr;
}

int TextHost::Speed() const
{
    const bool skipping = fastForward_ && *fastForward_ == 1;
    return skipping ? 0 : gConfig.interval;
}

HostResult TextHost::Ready() const
{
    return frame_ ? HostResult::kDone : HostResult::kFailed;
}

void TextHost::Update()
{
    if (!frame_ || !mouse_)
        return;
    if (fastForward_ && *fastForward_ != 0)
        return;  // the button stays pressed while fast-forwarding
    int x = 0;
    int y = 0;
    mouse_->GetPos(&x, &y);
    frame_->SetButtonState(frame_->ButtonHitTest(x, y) ? CScriptFrame::kButtonOver : CScriptFrame::kButtonNormal);
}

bool TextHost::ButtonClicked() const
{
    if (!frame_ || !mouse_ || !mouse_->IsLeftNewPress() || frame_->GetState() != CEffectBase::kStateDone)
        return false;
    int x = 0;
    int y = 0;
    mouse_->GetPos(&x, &y);
    return frame_->ButtonHitTest(x, y);
}

void TextHost::RestoreAfterLoad(bool windowShown)
{
    if (!frame_)
        return;
    frame_->GetTextDrawable()->Reset();
    frame_->GetNameLabel()->ClearText();
    if (log_)
        log_->DiscardPage();
    frame_->SetAttr(windowShown ? 1 : 0, 0);
    frame_->Invalidate();
}

bool TextHost::OnAdvance()
{
    CTextDrawable* text = GetTextDrawable();
    if (!text || !text->IsTyping())
        return false;
    text->SkipTyping();
    return true;
}

HostResult TextHost::ShowWindow(bool show)
{
    if (!frame_)
        return HostResult::kFailed;
    if (frame_->GetDirection() != (show ? 1 : -1))
        frame_->SetAttr(show ? 1 : 0, 1);
    const int32_t state = frame_->GetState();
    const bool done = show ? state == CEffectBase::kStateDone : state == CEffectBase::kStateBefore;
    return done ? HostResult::kDone : HostResult::kBusy;
}

HostResult TextHost::SetName(const std::string& speaker)
{
    if (!frame_)
        return HostResult::kFailed;
    frame_->GetNameLabel()->SetText(speaker);
    if (log_)
        log_->SetName(speaker);
    return HostResult::kDone;
}

HostResult TextHost::AddText(const std::string& text)
{
    if (!frame_)
        return HostResult::kFailed;
    CTextDrawable* drawable = frame_->GetTextDrawable();
    drawable->SetOption(Speed());
    drawable->Layout(text, -1);
    if (log_)
        log_->AddText(text);
    return HostResult::kDone;
}

HostResult TextHost::AddRuby(const std::string& base, const std::string& reading)
{
    if (!frame_)
        return HostResult::kFailed;
    CTextDrawable* drawable = frame_->GetTextDrawable();
    drawable->SetOption(Speed());
    drawable->SetString(reading);
    drawable->Layout(base, -1);
    if (log_)
        log_->AddRuby(base, reading);
    return HostResult::kDone;
}

HostResult TextHost::BeginLink(int32_t id)
{
    if (!frame_)
        return HostResult::kFailed;
    frame_->GetTextDrawable()->AddRecord(kLinkFile, id);
    if (log_)
        log_->AddAnchor(id);
    return HostResult::kDone;
}

HostResult TextHost::EndLink()
{
    if (!frame_)
        return HostResult::kFailed;
    frame_->GetTextDrawable()->EndLink();
    if (log_)
        log_->EndAnchor();
    return HostResult::kDone;
}

HostResult TextHost::SetColor(int32_t rgb)
{
    if (!frame_)
        return HostResult::kFailed;
    frame_->GetTextDrawable()->SetLayoutColor(rgb);
    return HostResult::kDone;
}

HostResult TextHost::NewLine()
{
    if (!frame_)
        return HostResult::kFailed;
    frame_->GetTextDrawable()->NewLine();
    if (log_)
        log_->AddLineBreak();
    return HostResult::kDone;
}

HostResult TextHost::EndPage()
{
    if (!frame_)
        return HostResult::kFailed;
    CTextDrawable* text = frame_->GetTextDrawable();
    if (text->IsTyping()) {
        // Reached without a click (skip or auto-advance): the page is shown
        // whole before it goes.
        text->SkipTyping();
        return HostResult::kBusy;
    }
    CommitLogPage();
    text->Reset();
    return HostResult::kDone;
}

void TextHost::CommitLogPage()
{
    if (!log_)
        return;
    log_->CommitPage();
    // The name plate keeps its name over the next pages until the scenario
    // changes it; each of those pages was spoken by it too.
    const std::string name = frame_->GetNameLabel()->GetText();
    if (!name.empty())
        log_->SetName(name);
}

HostResult TextHost::TakeChosenLink(int32_t* id)
{
    if (!frame_)
        return HostResult::kFailed;
    CTextDrawable* text = frame_->GetTextDrawable();
    if (text->Links().empty())
        return HostResult::kFailed;  // nothing could ever be chosen
    int32_t file = 0;
    int32_t offset = 0;
    frame_->HitTest(keys_, mouse_, &file, &offset);
    if (file != kLinkFile)
        return HostResult::kBusy;
    *id = offset;
    CommitLogPage();
    text->Reset();
    return HostResult::kDone;
}

HostResult TextHost::SetFastForwardButton(bool pressed)
{
    if (frame_)
        frame_->SetButtonState(pressed ? CScriptFrame::kButtonPressed : CScriptFrame::kButtonNormal);
    return Ready();
}

HostResult TextHost::InputName(const std::string& initial, std::string* out)
{
    // The dialog keeps the last presented frame behind it; within this step
    // the page may have turned (skipping) or the start menu may still be
    // what the window shows, so the current frame goes up first.
    if (beforeDialog_)
        beforeDialog_();
    *out = RunNameInputDialog(initial);
    return HostResult::kDone;
}
