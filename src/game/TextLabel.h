#pragma once
// CTextLabel: a one-line text (the speaker's name) rendered once into its own
// text plane and drawn colour-keyed at a level. Its rectangle (the box size)
// is repainted on every frame, so a new name shows at once.
#include <cstdint>
#include <string>

#include "image/TextFastPlane.h"
#include "game/Drawable.h"

class CTextLabel : public CDrawable {
public:
    CTextLabel() = default;

    // The text plane at (getX, getY) through BlendBltColorKey at the level,
    // within clip; nothing when hidden. 0.
    int OnDraw(CPlaneBase* target, const Rect* clip) override;
    // Appends {x, y, x + box width, y + box height} on every frame. 0.
    int AddDirtyRects(CPlaneBase* target, RectList* list) override;

    // Sets the text and renders it (mode 1) into the text plane.
    virtual void SetText(const std::string& text);
    virtual std::string GetText();
    virtual void SetBoxSize(int width, int height);
    // The empty text, rendered.
    virtual void ClearText();
    virtual void SetLevel(uint8_t level) { level_ = level; }

    // The font and colours of the label (render again with SetText).
    CTextDraw* GetTextDraw() { return textPlane_.GetTextDraw(); }
    CTextFastPlane* GetTextPlane() { return &textPlane_; }
    uint8_t GetLevel() const { return level_; }

private:
    CTextFastPlane textPlane_;
    int boxWidth_ = 0;
    int boxHeight_ = 0;
    uint8_t level_ = 255;
};
