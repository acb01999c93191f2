#include "game/StartMenuScreen.h"

#include <algorithm>
#include <cstdlib>

#include "display/FastPlane.h"
#include "frame/CTimer.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"
#include "sound/MediaObject.h"

namespace {

const char* const kButtonNames[] = {"start", "load", "cg", "replay", "music", "exit"};
constexpr const char* kHoverSound = "se\\sys_start.wav";
constexpr int kMusicTrack = 2;
constexpr int kButtonX = 80;
constexpr int kButtonTop = 260;
constexpr int kButtonStep = 50;
constexpr int kMusicButton = 5;

// The top of button b (1-6).
int ButtonTop(int b)
{
    return kButtonTop + kButtonStep * (b - 1);
}

std::unique_ptr<CFastPlane> Load(const std::string& name)
{
    return std::unique_ptr<CFastPlane>(LoadPictureOrTofu(name));
}

}  // namespace

CStartMenuScreen::CStartMenuScreen() : idleStart_(CTimer::Now())
{
    back_ = Load("chip\\start_back.png");
    for (int i = 0; i < kButtons; ++i)
        lit_[static_cast<size_t>(i)] = Load(std::string("chip\\start_") + kButtonNames[i] + "_l.png");
    for (int i = 0; i < kButtons; ++i)
        plain_[static_cast<size_t>(i)] = Load(std::string("chip\\start_") + kButtonNames[i] + "_d.png");
    for (int b = 1; b <= kButtons; ++b)
        buttonRects_[static_cast<size_t>(b - 1)] = MeasureButton(b);
    foreground_ = Load("chip\\start_a.png");
    foregroundShows_.Take(foreground_.get());
    for (int i = 0; i < 4; ++i)
        starPictures_[static_cast<size_t>(i)] = Load("chip\\start_star" + std::to_string(i + 1) + ".png");
    stars_.Scatter();
    stars_.SetPictures(starPictures_[2].get(), starPictures_[3].get());
    Setup("chip\\start_hittest.png");
    if (CMediaObject* se = SoundEffect()) {
        se->Load(kHoverSound);
        // The hover sound is an effect like any other: it follows the effect volume.
        se->SetVolume(LevelToVolume(gConfig.seLevel));
    }
    highlight_.fill(0);
    PlayBGM(kMusicTrack);
}

CStartMenuScreen::~CStartMenuScreen() = default;

int CStartMenuScreen::Update(CGameKeyInput* keys, CMouseInput* mouse)
{
    CGameScreen::Update(keys, mouse);
    if (IsDone())
        return Result();
    const int64_t idle = static_cast<int64_t>(CTimer::Now()) - idleStart_;
    if (std::llabs(idle) >= kIdleMs)
        EndScreen(kScreenOpening);
    return IsDone() ? Result() : 0;
}

int CStartMenuScreen::ButtonFromHitColor(unsigned long color)
{
    const bool extrasShown = gConfig.hideCGReplay == 0;
    switch (color) {
    case 0x0000F0: return 1;
    case 0x00F0F0: return 2;
    case 0x00F000: return extrasShown ? 3 : 0;
    case 0xF0F000: return extrasShown ? 4 : 0;
    case 0xF000F0: return 6;
    default: return 0;
    }
}

int CStartMenuScreen::OnLeftClick(unsigned long color)
{
    EndScreen(ButtonFromHitColor(color) + 0xFF);
    return 0;
}

int CStartMenuScreen::OnHoverEnter(unsigned long color)
{
    const int b = ButtonFromHitColor(color);
    highlight_.fill(0);
    if (b != 0) {
        if (CMediaObject* se = SoundEffect())
            se->Play();
        highlight_[static_cast<size_t>(b - 1)] = 1;
    }
    return 0;
}

int CStartMenuScreen::OnHoverLeave(unsigned long)
{
    highlight_.fill(0);
    return 0;
}

bool CStartMenuScreen::ButtonShown(int b) const
{
    return b != kMusicButton && !((b == 3 || b == 4) && gConfig.hideCGReplay != 0);
}

CFastPlane* CStartMenuScreen::ButtonPicture(int b) const
{
    const size_t i = static_cast<size_t>(b - 1);
    return highlight_[i] == 1 ? lit_[i].get() : plain_[i].get();
}

void CStartMenuScreen::DrawWithin(CPlaneBase* target, const Rect* clip)
{
    target->Clear(clip);
    stars_.Draw(target, clip, true);
    if (!clip || foregroundShows_.Shows(*clip, 0, 0))
        target->BltAuto(foreground_.get(), 0, 0, nullptr, nullptr, clip);
    for (int b = 1; b <= kButtons; ++b) {
        if (!ButtonShown(b) || (clip && !ButtonRect(b).Overlaps(*clip)))
            continue;
        target->AlphaBlt(ButtonPicture(b), kButtonX, ButtonTop(b), nullptr, nullptr, clip);
    }
}

void CStartMenuScreen::PrefetchWithin(CPlaneBase* target, const Rect& r) const
{
    // The star pictures are a few hundred bytes that every star shares: they stay cached.
    if (target->IsDisplayPlane())
        static_cast<CFastPlane*>(target)->Prefetch(r, PrefetchFor::kWrite);
    if (foreground_ && foregroundShows_.Shows(r, 0, 0))
        foreground_->Prefetch(r, PrefetchFor::kRead);
    for (int b = 1; b <= kButtons; ++b) {
        CFastPlane* picture = ButtonShown(b) && ButtonRect(b).Overlaps(r) ? ButtonPicture(b) : nullptr;
        if (picture)
            picture->Prefetch({r.left - kButtonX, r.top - ButtonTop(b), r.right - kButtonX, r.bottom - ButtonTop(b)},
                              PrefetchFor::kRead);
    }
}

Rect CStartMenuScreen::MeasureButton(int b) const
{
    const size_t i = static_cast<size_t>(b - 1);
    int w = 0, h = 0;
    for (const Plane* p : {&lit_[i], &plain_[i]}) {
        int pw = 0, ph = 0;
        if (*p)
            (*p)->GetSize(&pw, &ph);
        w = std::max(w, pw);
        h = std::max(h, ph);
    }
    const int top = ButtonTop(b);
    return {kButtonX, top, kButtonX + w, top + h};
}

int CStartMenuScreen::DrawContents(CPlaneBase* target, const Rect&)
{
    DrawWithin(target, nullptr);
    stars_.MarkDrawn();
    stars_.Move();
    drawnOn_ = target;
    target->GetSize(&drawnWidth_, &drawnHeight_);
    drawnHighlight_ = highlight_;
    return 0;
}

int CStartMenuScreen::DrawChanges(CPlaneBase* target, const Rect& cursor, const RectList& repaint, RectList* drawn)
{
    int w = 0, h = 0;
    target->GetSize(&w, &h);
    // Anything but the target last drawn whole, at its size, gets a whole frame.
    if (target != drawnOn_ || w != drawnWidth_ || h != drawnHeight_ || Background())
        return CGameScreen::DrawChanges(target, cursor, repaint, drawn);
    RectList rects;
    // A star that wraps round the field adds two rectangles.
    rects.reserve(repaint.size() + 2 * kStarCount + kButtons);
    rects.insert(rects.end(), repaint.begin(), repaint.end());
    stars_.AddMovedRects(&rects);
    for (int b = 1; b <= kButtons; ++b) {
        if (highlight_[static_cast<size_t>(b - 1)] != drawnHighlight_[static_cast<size_t>(b - 1)])
            rects.push_back(ButtonRect(b));
    }
    // Every rectangle is painted from black up as the whole frame is, so a
    // pixel gets the whole frame's value however many rectangles hold it:
    // the rectangles need no merging, only clipping to the target. Their
    // memory, cold after the sleep between frames, is all asked for first.
    const size_t first = drawn->size();
    drawn->reserve(first + rects.size());
    for (Rect r : rects) {
        r = r.ClippedTo({0, 0, w, h});
        if (r.IsEmpty())
            continue;
        PrefetchWithin(target, r);
        drawn->push_back(r);
    }
    for (size_t i = first; i < drawn->size(); ++i)
        DrawWithin(target, &(*drawn)[i]);
    stars_.MarkDrawn();
    stars_.Move();
    drawnHighlight_ = highlight_;
    return 1;
}
