#pragma once
// CBacklogScreen: the backlog's reading screen. Over a darkened copy of the
// picture that stood when it opened, four lines show four logged pages (name
// over text), rendered with the message window's own text drawable and name
// label; voiced pages are tinted, and a click on a voiced line plays its voice
// again at the voice volume. A scroll bar on the right (up and down buttons,
// a track with a slider: the top is the oldest page), the wheel and the up and
// down keys move through the log; a right click or Esc closes the screen and
// puts the unfinished page back into the message window.
//
// Life: made by the backlog host, Load, CaptureBackground with the back
// buffer, then one Update per scenario step until it returns 1; Draw each
// frame from the first Update on. The pages are rendered into the work plane
// only when the view changed; Draw otherwise blits within its clip.
#include <cstdint>

#include "display/FastPlane.h"
#include "frame/Rect.h"
#include "game/ScreenObjectBase.h"

class CBacklog;
class CGameKeyInput;
class CMediaObject;
class CMouseInput;
class CScriptFrame;
class CTextDrawable;
class CTextLabel;

// How much the darkening subtracts from every channel of a picture whose mean
// brightness (0.299 R + 0.587 G + 0.114 B) is `mean`: 256 - min(12800 / mean,
// 200), so 56 to 206 for a mean of at least 1; 0 for a black picture (and
// anything not above 0), which stays black.
int BacklogDarkening(double mean);

class CBacklogScreen : public CScreenObjectBase {
public:
    static constexpr int kLines = 4;
    static constexpr int kLineLeft = 10;
    static constexpr int kLineTop = 30;
    static constexpr int kLineStep = 130;
    static constexpr int kTextBelowName = 20;
    // Colours (0x00RRGGBB) of a voiced page and of a page without voice.
    static constexpr uint32_t kVoicedColor = 0xB0B0FF;
    static constexpr uint32_t kPlainColor = 0xFFFFFF;

    CBacklogScreen();
    ~CBacklogScreen() override;

    // Darkens the captured background by its mean brightness. 0.
    int PrepareBackground(CPlaneBase* source) override;

    // Borrows the message window's text drawable and name label, the voice
    // player and the log (none owned; voice may be null: no replay) and
    // loads the scroll bar's pictures (missing ones draw nothing). 0.
    int Load(CScriptFrame* frame, CMediaObject* voice, CBacklog* log);
    // One step of input: 1 when the screen closes (the current page is back
    // in the message window and the voice stopped), else 0.
    int Update(CGameKeyInput* keys, CMouseInput* mouse);
    // For a backlog dropped without closing (the scenario was left): gives
    // the text drawable and name label back empty, the label white again,
    // and stops a replayed voice.
    void Abandon();
    // Draws background, pages and scroll bar within clip (the whole screen
    // when the view changed or nothing was drawn yet). 0.
    int Draw(CPlaneBase* target, const Rect* clip);

    // For tests: the rendered pages and the state of this step.
    CFastPlane* GetWorkPlane() { return &work_; }
    bool UpPressed() const { return upPressed_ != 0; }
    bool DownPressed() const { return downPressed_ != 0; }
    // Where the slider stands now.
    int SliderTop() const;
    // The rectangle of line l whose click replays its page's voice.
    static Rect VoiceRect(int line);

private:
    // The four lines into the work plane.
    void RenderPages();
    void PlayVoice(const std::string& path);
    void Close();
    int ScreenWidth() const;
    int ScreenHeight() const;
    int ColumnLeft() const { return ScreenWidth() - sliderWidth_; }

    CScriptFrame* frame_ = nullptr;
    CMediaObject* voice_ = nullptr;
    CBacklog* log_ = nullptr;
    CTextDrawable* text_ = nullptr;
    CTextLabel* label_ = nullptr;
    CFastPlane work_;
    CFastPlane barBack_;
    CFastPlane slider_;
    CFastPlane upNormal_;
    CFastPlane upPressedPicture_;
    CFastPlane downNormal_;
    CFastPlane downPressedPicture_;
    uint8_t upPressed_ = 0;
    uint8_t downPressed_ = 0;
    uint8_t changed_ = 0;
    uint8_t drawn_ = 0;
    int sliderWidth_ = 0;
    int sliderHeight_ = 0;
    int buttonHeight_ = 0;
    // Keys act once per press; one held as the screen opens waits for its release.
    bool upKeyHeld_ = true;
    bool downKeyHeld_ = true;
    bool escKeyHeld_ = true;
};
