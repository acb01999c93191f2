#include "game/GameScreen.h"

#include "display/FastPlane.h"
#include "frame/CMouseInput.h"
#include "frame/DebugOutput.h"
#include "game/Game.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"
#include "sound/CCDDA.h"
#include "sound/CSound.h"
#include "sound/CSoundMp3.h"
#include "sound/CStreamMusic.h"
#include "sound/MediaObject.h"
#include "sound/ScenarioSound.h"

bool IsGreyHitColor(unsigned long color)
{
    const unsigned long r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return r == g && g == b;
}

CGameScreen::CGameScreen() = default;
CGameScreen::~CGameScreen() = default;

int CGameScreen::Setup(std::string hitTestName)
{
    hitTest_.reset();
    hitTest_.reset(LoadPictureOrTofu(hitTestName));
    if (gConfig.useWindowsMP3Codec == 0)
        se_ = std::make_unique<CSoundMp3>();
    else
        se_ = std::make_unique<CSound>();
    if (gConfig.bgmCDDA == 0) {
        if (gConfig.useWindowsMP3Codec == 0)
            music_ = std::make_unique<CSoundMp3>();
        else
            music_ = std::make_unique<CStreamMusic>();
    }
    return 0;
}

unsigned long CGameScreen::HitColorAt(int x, int y)
{
    if (!hitTest_)
        return 0;
    return hitTest_->GetPixel(x, y) & kHitColorMask;
}

int CGameScreen::Update(CGameKeyInput*, CMouseInput* mouse)
{
    int x = 0, y = 0;
    mouse->GetPos(&x, &y);
    // The guarded edges: a click that ended a movie does not press a button.
    const bool left = mouse->IsLeftNewPress();
    const bool right = mouse->IsRightNewPress();
    const unsigned long color = HitColorAt(x, y);
    if (IsGreyHitColor(color))
        return 0;
    for (auto& [hovered, state] : hover_) {
        if (hovered != color && state == 1) {
            state = 0;
            OnHoverLeave(color);
        }
    }
    int& state = hover_[color];
    if (state == 0) {
        // The frame the pointer arrives only highlights: a click then would
        // press a button the player has not seen lit.
        state = 1;
        OnHoverEnter(color);
    } else {
        if (left)
            OnLeftClick(color);
        if (right)
            OnRightClick(color);
    }
    return done_ ? result_ : 0;
}

int CGameScreen::Draw(CPlaneBase* target, const Rect& clip)
{
    const Rect copy = clip;
    if (Background())
        target->BltColorKey(Background(), 0, 0, nullptr, nullptr, &copy);
    return DrawContents(target, copy);
}

int CGameScreen::DrawChanges(CPlaneBase* target, const Rect& cursor, const RectList&, RectList* drawn)
{
    Draw(target, cursor);
    int w = 0, h = 0;
    target->GetSize(&w, &h);
    drawn->push_back({0, 0, w, h});
    return 0;
}

void CGameScreen::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    int w = 0, h = 0;
    target->GetSize(&w, &h);
    list->push_back({0, 0, w, h});
}

int CGameScreen::EndScreen(int code)
{
    done_ = 1;
    result_ = code;
    return 0;
}

int CGameScreen::SetCDAudio(CCDDA* cdda)
{
    cdda_ = cdda;
    return 0;
}

int CGameScreen::PlayBGM(int track)
{
    if (gConfig.bgmCDDA == 0) {
        std::string name;
        // As in the scenario's music, the voice level gates the music too.
        if (gConfig.seLevel == 0 || !music_ || !MusicFilePath(gConfig.bgmDir, track, &name))
            return 0;
        music_->Load(name);
        music_->SetVolume(LevelToVolume(gConfig.cdLevel));
        music_->SetLoop(true);
        music_->Play();
        DebugOutput("StartCDDA " + name + "\n");
        return 0;
    }
    if (!cdda_ && gGame)
        SetCDAudio(&gGame->cdda);
    if (cdda_ && cdda_->IsOpen()) {
        if (gConfig.cdLevel == 0)
            return 0;
        cdda_->PlayTrack(track);
        DebugOutput("StartCDDA " + std::to_string(track) + "\n");
    } else {
        DebugOutput("StartCDDA Failed\n");
    }
    return 0;
}

int CGameScreen::StopBGM()
{
    if (gConfig.bgmCDDA == 0) {
        if (music_)
            music_->Stop();
    } else if (cdda_) {
        cdda_->Stop();
    }
    return 0;
}

int CGameScreen::ButtonFromHitColor(unsigned long)
{
    return 0;
}
