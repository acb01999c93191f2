#include "game/ScriptFrame.h"

#include <algorithm>

#include "game/GameConfig.h"
#include "game/PictureLoader.h"
#include "game/TextDrawable.h"
#include "game/TextLabel.h"

namespace {

// The text's margins inside its plane: top, bottom, left, right.
constexpr int kTextMargins[4] = {15, 15, 10, 30};
constexpr uint32_t kNameColor = 0xFFFFFF;

void SizeOf(CPlaneBase* plane, int* w, int* h)
{
    *w = 0;
    *h = 0;
    if (plane)
        plane->GetSize(w, h);
}

// Per-pixel alpha pictures blend by alpha scaled by the level; pictures
// without alpha blend by the level alone (colour-keyed).
void DrawAtLevel(CPlaneBase* target, CPlaneBase* plane, int x, int y, int level, const Rect* clip)
{
    if (!plane || !plane->IsCreated())
        return;
    if (plane->HasAlpha())
        target->AlphaBltLevel(plane, x, y, level, nullptr, nullptr, clip);
    else
        target->BltLevel(plane, x, y, level, nullptr, nullptr, clip);
}

}  // namespace

CScriptFrame::CScriptFrame()
{
    buttons_[kButtonOver].LoadPicture(gConfig.FFOnMouse);
    buttons_[kButtonPressed].LoadPicture(gConfig.FFOnClick);
    buttons_[kButtonNormal].LoadPicture(gConfig.FFNormal);

    text_ = std::make_unique<CTextDrawable>(ScaleBySettings(gConfig.textWidth), ScaleBySettings(gConfig.textHeight), -1);
    text_->SetOption(1);
    text_->SetMargins(kTextMargins[0], kTextMargins[1], kTextMargins[2], kTextMargins[3]);
    text_->SetLineSpacing(gConfig.linespace);

    name_ = std::make_unique<CTextLabel>();
    name_->SetBoxSize(ScaleBySettings(gConfig.nameWidth), ScaleBySettings(gConfig.nameHeight));
    name_->SetPos(ScaleBySettings(gConfig.namePosX), ScaleBySettings(gConfig.namePosY));
    name_->GetTextDraw()->SetHeight(ScaleBySettings(gConfig.nameSize));
    name_->GetTextDraw()->SetColor(kNameColor);
}

CScriptFrame::~CScriptFrame()
{
    delete back_;
}

int CScriptFrame::LoadFramePicture(const std::string& name)
{
    delete back_;
    back_ = LoadPictureOrTofu(gConfig.baseDir + name);
    return back_ ? 0 : 1;
}

int CScriptFrame::SetFramePlane(CPlaneBase* plane)
{
    back_ = plane;
    return 0;
}

void CScriptFrame::ResetText()
{
    text_->Reset();
    text_->RecreatePlanes(ScaleBySettings(gConfig.textWidth), ScaleBySettings(gConfig.textHeight));
}

void CScriptFrame::SetButtonState(int32_t state)
{
    if (state >= kButtonNormal && state <= kButtonPressed)
        buttonState_ = state;
}

Rect CScriptFrame::ButtonRect()
{
    int w = 0;
    int h = 0;
    SizeOf(buttons_[kButtonNormal].GetPlane(), &w, &h);
    int32_t x = 0;
    int32_t y = 0;
    buttons_[kButtonNormal].GetPos(&x, &y);
    return {x, y, x + w, y + h};
}

bool CScriptFrame::ButtonHitTest(int x, int y)
{
    const Rect r = ButtonRect();
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void CScriptFrame::Origin(int targetWidth, int targetHeight, int* x, int* y)
{
    // The backing picture fixes the origin (the window picture when there is
    // no backing), so that the window lies on its backing.
    int w = 0;
    int h = 0;
    SizeOf(back_ && back_->IsCreated() ? back_ : plane_, &w, &h);
    *x = (targetWidth - w) / 2;
    *y = targetHeight - h - kBottomGap;
}

void CScriptFrame::OriginOn(CPlaneBase* target, int* x, int* y, int* targetHeight)
{
    int tw = 0;
    target->GetSize(&tw, targetHeight);
    Origin(tw, *targetHeight, x, y);
}

bool CScriptFrame::Instant() const
{
    return static_cast<int64_t>(end_) - start_ - 1 < 1;
}

// Without steps the frame counter cannot carry the window from hidden to
// shown (with fewer than two frames it never even leaves the first), and the
// level of such a range is always the end's. Left so, a window counted as
// hidden would stand on the screen, and a right click, which only brings a
// hidden window back, would never open the menu. The state and the level
// both follow the direction instead.
int CScriptFrame::SetAttr(int32_t direction, int32_t keepFrame)
{
    CEffectBase::SetAttr(direction, keepFrame);
    if (Instant())
        Invalidate();  // appears or goes at once: repaint the whole window
    return 0;
}

int CScriptFrame::ComputeFrame(int32_t tick, int32_t* frame, int32_t* elapsed)
{
    CEffectBase::ComputeFrame(tick, frame, elapsed);
    if (Instant())
        state_ = direction_ == 1 ? kStateDone : kStateBefore;
    return 0;
}

int32_t CScriptFrame::Level() const
{
    if (Instant())
        return state_ == kStateDone ? 255 : 0;
    return std::clamp(LevelAt(elapsed_), 0, 255);
}

int32_t CScriptFrame::BackLevel() const
{
    const int64_t maxLevel = gConfig.BackColor & 0xFF;
    if (Instant())
        return state_ == kStateDone ? static_cast<int32_t>(maxLevel) : 0;
    const int64_t divisor = static_cast<int64_t>(end_) - start_ - 1;
    return static_cast<int32_t>(std::clamp<int64_t>(maxLevel * elapsed_ / divisor, 0, 255));
}

void CScriptFrame::PlaceParts(int x0, int y0)
{
    name_->SetPos(x0 + ScaleBySettings(gConfig.namePosX), y0 + ScaleBySettings(gConfig.namePosY));
    text_->SetPos(x0 + ScaleBySettings(gConfig.textPosX), y0 + ScaleBySettings(gConfig.textPosY));
    buttons_[kButtonNormal].SetPos(x0 + gConfig.scriptFFx, y0 + gConfig.scriptFFy);
}

int CScriptFrame::DrawEffect(CPlaneBase* target, const Rect* clip)
{
    int x0 = 0;
    int y0 = 0;
    int th = 0;
    OriginOn(target, &x0, &y0, &th);
    const int32_t level = Level();
    name_->SetLevel(static_cast<uint8_t>(level));
    text_->SetLevel(static_cast<uint8_t>(level));
    if (showExtras_) {
        DrawAtLevel(target, back_, x0, y0, BackLevel(), clip);
        DrawAtLevel(target, plane_, x0, y0, level, clip);
    }
    PlaceParts(x0, y0);
    if (showExtras_) {
        int32_t bx = 0;
        int32_t by = 0;
        buttons_[kButtonNormal].GetPos(&bx, &by);
        DrawAtLevel(target, buttons_[buttonState_].GetPlane(), bx, by, level, clip);
    }
    return 0;
}

int CScriptFrame::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    int x0 = 0;
    int y0 = 0;
    int th = 0;
    OriginOn(target, &x0, &y0, &th);
    // Placed here too, so the parts' own rectangles of this frame are right.
    PlaceParts(x0, y0);

    int32_t frame = 0;
    int32_t before = 0;
    int32_t after = 0;
    ComputeFrame(tick_ - 1, &frame, &before);
    ComputeFrame(tick_ + 1, &frame, &after);
    list->push_back(ButtonRect());
    if (before == elapsed_ && after == elapsed_ && !redraw_)
        return 2;
    // Everything drawn from the origin: the backing and the window picture,
    // down to the bottom edge.
    int bw = 0;
    int bh = 0;
    int ww = 0;
    int wh = 0;
    SizeOf(back_, &bw, &bh);
    SizeOf(plane_, &ww, &wh);
    list->push_back({x0, y0, x0 + std::max(bw, ww), th});
    redraw_ = 0;
    return 3;
}

int CScriptFrame::HitTest(CGameKeyInput* keys, CMouseInput* mouse, int32_t* file, int32_t* offset)
{
    text_->HitTest(keys, mouse, file, offset);
    return 0;
}
