#pragma once
// CScriptFrame: the message window. The window picture sits centred 4 pixels
// above the bottom of the screen over a translucent backing picture; the
// speaker's name label and the text drawable are drawables of their own that
// the window places (relative to its origin) and fades with it; the
// fast-forward button shows one of three pictures (0 normal, 1 mouse over,
// 2 pressed). The frame counter of CEffectBase runs the fade in and out:
// hidden (0) -> fading in (2) -> shown (1) -> fading out -> hidden.
//
// Geometry comes from the "scriptframe" and "text" settings, scaled by
// width / basewidth (ScaleBySettings); the button offsets are not scaled.
#include <cstdint>
#include <memory>

#include "game/EffectBase.h"

class CTextDrawable;
class CTextLabel;

class CScriptFrame : public CEffectBase {
public:
    static constexpr int32_t kButtonNormal = 0;
    static constexpr int32_t kButtonOver = 1;
    static constexpr int32_t kButtonPressed = 2;
    static constexpr int kBottomGap = 4;

    // Loads the button pictures and makes the text drawable and name label
    // from the settings. The owner then sets the frame range, the pictures and
    // SetAttr(0, 0).
    CScriptFrame();
    ~CScriptFrame() override;

    // Forwards to the text drawable (link hits). 0.
    int HitTest(CGameKeyInput* keys, CMouseInput* mouse, int32_t* file, int32_t* offset) override;
    // The button's rectangle on every frame; the window's while it fades or
    // after Invalidate (then 3), else 2.
    int AddDirtyRects(CPlaneBase* target, RectList* list) override;
    int DrawEffect(CPlaneBase* target, const Rect* clip) override;
    // As for any effect; a window whose fade has no steps (see Instant) is
    // then simply shown (state 1) or hidden (state 0) by its direction.
    int SetAttr(int32_t direction, int32_t keepFrame) override;
    int ComputeFrame(int32_t tick, int32_t* frame, int32_t* elapsed) override;

    // Loads base directory + name as the backing picture (the previous one
    // is deleted). 0, or 1 when no plane came back.
    virtual int LoadFramePicture(const std::string& name);
    // Stores plane as the backing picture, owned from now on; the previous one
    // is not deleted (it stays its owner's).
    virtual int SetFramePlane(CPlaneBase* plane);
    virtual CTextDrawable* GetTextDrawable() { return text_.get(); }
    // 0 leaves out the window, backing and button (name and text still placed).
    virtual void SetShowExtras(uint8_t on) { showExtras_ = on; }
    // Resets the text and makes its planes anew at the scaled text size.
    virtual void ResetText();
    // Whether (x, y) lies on the button (right and bottom edges outside).
    virtual bool ButtonHitTest(int x, int y);
    // 0, 1 or 2; other values are ignored.
    virtual void SetButtonState(int32_t state);
    // The whole window is repainted on the next frame.
    virtual void Invalidate() { redraw_ = 1; }

    CTextLabel* GetNameLabel() const { return name_.get(); }
    int32_t GetButtonState() const { return buttonState_; }
    CDrawable* GetButton(int32_t state) { return &buttons_[state]; }
    // Where the window's top-left corner lies on a target of that size.
    void Origin(int targetWidth, int targetHeight, int* x, int* y);
    // The level of the window picture, name and text at the current frame.
    int32_t Level() const;
    // The level of the backing picture at the current frame.
    int32_t BackLevel() const;

private:
    // True when "AnimationLength" leaves the fade no frame between hidden and
    // shown (fewer than three frames).
    bool Instant() const;
    // Origin on the target; also gives the target's height.
    void OriginOn(CPlaneBase* target, int* x, int* y, int* targetHeight);
    // Places the name label, text drawable and button from the origin.
    void PlaceParts(int x0, int y0);
    Rect ButtonRect();

    CPlaneBase* back_ = nullptr;
    CDrawable buttons_[3];
    int32_t buttonState_ = kButtonNormal;
    std::unique_ptr<CTextLabel> name_;
    std::unique_ptr<CTextDrawable> text_;
    uint8_t redraw_ = 0;
    uint8_t showExtras_ = 1;
};
