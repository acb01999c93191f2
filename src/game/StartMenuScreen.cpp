#include "game/StartMenuScreen.h"

#include <cstdlib>

#include "display/FastPlane.h"
#include "frame/CRand.h"
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
    foreground_ = Load("chip\\start_a.png");
    for (int i = 0; i < 4; ++i)
        starPictures_[static_cast<size_t>(i)] = Load("chip\\start_star" + std::to_string(i + 1) + ".png");
    for (Star& s : stars_) {
        // Three draws per star, in this order, so a seeded generator gives
        // the same sky every time.
        s.x = static_cast<float>(crt::rand() % kFieldWidth);
        s.y = static_cast<float>(crt::rand() % kFieldHeight);
        const double speed = (-5 - (crt::rand() % 20)) * 0.1;
        s.dx = static_cast<float>(speed);
        s.dy = static_cast<float>(speed * -1.0);
    }
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

int CStartMenuScreen::DrawContents(CPlaneBase* target, const Rect&)
{
    target->Clear();
    for (Star& s : stars_) {
        // The fast stars (dx -2.0 and below) are drawn with the fourth picture.
        CFastPlane* picture = static_cast<int>(static_cast<double>(s.dx) * -0.5) == 0 ? starPictures_[2].get() : starPictures_[3].get();
        target->BltAuto(picture, static_cast<int>(s.x), static_cast<int>(s.y));
        s.x += s.dx;
        s.y += s.dy;
        if (s.x < 0)
            s.x += kFieldWidth;
        if (s.y > kFieldHeight)
            s.y -= kFieldHeight;
    }
    target->BltAuto(foreground_.get(), 0, 0);
    for (int b = 1; b <= kButtons; ++b) {
        if (b == kMusicButton || ((b == 3 || b == 4) && gConfig.hideCGReplay != 0))
            continue;
        const size_t i = static_cast<size_t>(b - 1);
        CFastPlane* picture = highlight_[i] == 1 ? lit_[i].get() : plain_[i].get();
        target->AlphaBlt(picture, kButtonX, kButtonTop + kButtonStep * (b - 1));
    }
    return 0;
}
