#include "game/BacklogScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frame/CKeyInput.h"
#include "frame/CMouseInput.h"
#include "frame/DebugOutput.h"
#include "game/Backlog.h"
#include "game/GameConfig.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "game/TextLabel.h"
#include "sound/MediaObject.h"

namespace {

// Buttons of CGameKeyInput.
constexpr int kButtonEsc = 0;
constexpr int kButtonUp = 1;
constexpr int kButtonDown = 2;

// The scroll bar's pictures, loaded in this order.
constexpr const char* kBarBack = ".\\chip\\backlog_back.png";
constexpr const char* kSlider = ".\\chip\\backlog_slider.png";
constexpr const char* kUpNormal = ".\\chip\\backlog_upnormal.png";
constexpr const char* kUpPressed = ".\\chip\\backlog_uponmouse.png";
constexpr const char* kDownNormal = ".\\chip\\backlog_downnormal.png";
constexpr const char* kDownPressed = ".\\chip\\backlog_downomouse.png";

// The mean of 0.299 R + 0.587 G + 0.114 B over every pixel; 0 without pixels.
double MeanBrightness(CFastPlane* plane)
{
    int w = 0;
    int h = 0;
    plane->GetSize(&w, &h);
    if (w <= 0 || h <= 0)
        return 0.0;
    double sum = 0.0;
    for (int y = 0; y < h; ++y) {
        double row = 0.0;
        for (int x = 0; x < w; ++x) {
            const uint32_t p = plane->GetPixel(x, y);  // 0x00BBGGRR
            row += 0.299 * (p & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * ((p >> 16) & 0xFF);
        }
        sum += row;
    }
    return sum / (static_cast<double>(w) * h);
}

bool KeyEdge(CGameKeyInput* keys, int button, bool* held)
{
    const bool now = keys && keys->IsPressed(button);
    const bool edge = now && !*held;
    *held = now;
    return edge;
}

}  // namespace

int BacklogDarkening(double mean)
{
    // 12800 / mean is unbounded as the mean nears 0 (and a division by zero
    // on a black picture), so the quotient is held in double before it
    // becomes an integer; a black picture has nothing to darken.
    if (!(mean > 0.0))
        return 0;
    const double factor = std::min(12800.0 / mean, 200.0);
    return 256 - static_cast<int>(factor);
}

CBacklogScreen::CBacklogScreen() = default;
CBacklogScreen::~CBacklogScreen() = default;

int CBacklogScreen::ScreenWidth() const { return gConfig.width; }
int CBacklogScreen::ScreenHeight() const { return gConfig.height; }

int CBacklogScreen::PrepareBackground(CPlaneBase*)
{
    CFastPlane* background = Background();
    if (!background)
        return 0;
    const double mean = MeanBrightness(background);
    const int s = BacklogDarkening(mean);
    if (s > 0)
        background->SubColorFast(static_cast<uint32_t>(s) * 0x010101u, nullptr);
    char line[96];
    std::snprintf(line, sizeof line, "平均明るさ=%f,factor=%d(0x%X)\n", mean, s, static_cast<unsigned>(s));
    DebugOutput(line);
    return 0;
}

int CBacklogScreen::Load(CScriptFrame* frame, CMediaObject* voice, CBacklog* log)
{
    frame_ = frame;
    voice_ = voice;
    log_ = log;
    text_ = frame ? frame->GetTextDrawable() : nullptr;
    label_ = frame ? frame->GetNameLabel() : nullptr;
    barBack_.LoadFile(kBarBack, 1, 100.0);
    slider_.LoadFile(kSlider, 1, 100.0);
    upNormal_.LoadFile(kUpNormal, 1, 100.0);
    upPressedPicture_.LoadFile(kUpPressed, 1, 100.0);
    downNormal_.LoadFile(kDownNormal, 1, 100.0);
    downPressedPicture_.LoadFile(kDownPressed, 1, 100.0);
    drawn_ = 0;
    work_.Create(ScreenWidth(), ScreenHeight());
    slider_.GetSize(&sliderWidth_, &sliderHeight_);
    int unused = 0;
    upNormal_.GetSize(&unused, &buttonHeight_);
    return 0;
}

Rect CBacklogScreen::VoiceRect(int line)
{
    const int top = kLineTop + kLineStep * line;
    return {kLineLeft, top, kLineLeft + gConfig.textWidth, top + 100};
}

int CBacklogScreen::Update(CGameKeyInput* keys, CMouseInput* mouse)
{
    int x = 0;
    int y = 0;
    bool leftClick = false;
    bool rightClick = false;
    if (mouse) {
        mouse->GetPos(&x, &y);
        leftClick = mouse->IsLeftNewPress();
        rightClick = mouse->IsRightNewPress();
    }
    changed_ = 0;
    upPressed_ = 0;
    downPressed_ = 0;

    const bool escape = KeyEdge(keys, kButtonEsc, &escKeyHeld_);
    if (rightClick || escape) {
        Close();
        return 1;
    }
    if (!log_)
        return 0;

    const int H = ScreenHeight();
    const bool inColumn = sliderWidth_ > 0 && x >= ColumnLeft();
    if (leftClick && inColumn) {
        changed_ = 1;
        if (y < buttonHeight_) {
            log_->Scroll(1);  // one page older
            upPressed_ = 1;
        } else if (y >= H - buttonHeight_) {
            log_->Scroll(-1);  // one page newer
            downPressed_ = 1;
        }
    }
    const int track = H - 2 * buttonHeight_;
    const bool leftHeld = mouse && mouse->IsLeftDown();
    if ((leftHeld || leftClick) && inColumn && track > 0 && y >= buttonHeight_ && y < H - buttonHeight_) {
        // The top of the track is the oldest page, the bottom the newest.
        const double p = static_cast<double>(y - buttonHeight_) / track;
        log_->SetScroll(static_cast<int>((1.0 - p) * static_cast<double>(log_->Count())));
        changed_ = 1;
    }

    if (leftClick) {
        for (int line = 0; line < kLines; ++line) {
            std::string voice;
            if (log_->GetEntryInfo(nullptr, &voice, line) != 0 || voice.empty())
                continue;
            const Rect r = VoiceRect(line);
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                PlayVoice(voice);
        }
    }

    int steps = mouse ? mouse->GetWheel() : 0;
    if (KeyEdge(keys, kButtonUp, &upKeyHeld_))
        ++steps;
    if (KeyEdge(keys, kButtonDown, &downKeyHeld_))
        --steps;
    if (steps != 0) {
        log_->Scroll(steps);  // away from the player: older pages
        changed_ = 1;
    }

    if (changed_ || !drawn_)
        RenderPages();
    return 0;
}

void CBacklogScreen::PlayVoice(const std::string& path)
{
    if (!voice_)
        return;
    voice_->Close();
    voice_->Load(path);
    voice_->SetVolume(LevelToVolume(gConfig.seLevel));
    voice_->Play();
    DebugOutput(path + "\n");
}

void CBacklogScreen::Close()
{
    if (text_ && label_ && log_) {
        text_->SetColorOverride(kPlainColor);
        label_->ClearText();
        label_->GetTextDraw()->SetColor(kPlainColor);
        log_->RenderCurrentPage(text_, label_);
        // The page comes back whole, not typed out again.
        text_->AdjustFrame();
    }
    if (voice_)
        voice_->Stop();
}

void CBacklogScreen::Abandon()
{
    if (text_)
        text_->Reset();
    if (label_) {
        label_->GetTextDraw()->SetColor(kPlainColor);
        label_->ClearText();
    }
    if (voice_)
        voice_->Stop();
}

void CBacklogScreen::RenderPages()
{
    work_.Clear(0x000000u, nullptr);
    if (!text_ || !label_ || !log_)
        return;
    for (int line = 0; line < kLines; ++line) {
        std::string name;
        std::string voice;
        if (log_->GetEntryInfo(&name, &voice, line) != 0)
            continue;
        const int top = kLineTop + kLineStep * line;
        const uint32_t color = voice.empty() ? kPlainColor : kVoicedColor;
        label_->GetTextDraw()->SetColor(color);
        text_->SetColorOverride(color);
        log_->RenderEntry(text_, line);
        text_->AdjustFrame();
        text_->BeginDraw();
        work_.BltAuto(text_->GetDisplayPlane(), kLineLeft, top + kTextBelowName);
        label_->SetText(name);
        work_.BltAuto(label_->GetTextPlane(), kLineLeft, top);
    }
}

int CBacklogScreen::SliderTop() const
{
    const size_t count = log_ ? log_->Count() : 0;
    if (count <= 1)
        return buttonHeight_;
    const long long scroll = log_->GetScroll();
    const long long travel = ScreenHeight() - 2LL * buttonHeight_ - sliderHeight_;
    const long long index = static_cast<long long>(count) - scroll - 1;
    return static_cast<int>(buttonHeight_ + index * travel / static_cast<long long>(count - 1));
}

int CBacklogScreen::Draw(CPlaneBase* target, const Rect* clip)
{
    const int W = ScreenWidth();
    const int H = ScreenHeight();
    Rect area = {0, 0, W, H};
    if (!changed_ && drawn_ && clip)
        area = *clip;
    // Whole once; further calls of the frame (one per repainted rectangle)
    // keep to their clip.
    drawn_ = 1;
    changed_ = 0;
    const int column = ColumnLeft();
    if (CFastPlane* background = Background())
        target->Blt(background, 0, 0, nullptr, nullptr, &area);
    target->BltColorKey(&work_, 0, 0, nullptr, nullptr, &area);
    target->Blt(&barBack_, column, 0, nullptr, nullptr, &area);
    // The buttons are small and drawn whole on every frame.
    target->Blt(upPressed_ ? &upPressedPicture_ : &upNormal_, column, 0);
    target->Blt(downPressed_ ? &downPressedPicture_ : &downNormal_, column, H - buttonHeight_);
    target->Blt(&slider_, column, SliderTop(), nullptr, nullptr, &area);
    return 0;
}
