#pragma once
// CMouseCursor: the software mouse cursor, a picture drawn on the back
// buffer with its hot spot at the pointer. It keeps the rectangle it covers,
// which every frame adds to the dirty area.
#include "display/PlaneBase.h"
#include "frame/CRingPtr.h"
#include "frame/Rect.h"

class CMouseCursor {
public:
    CMouseCursor() = default;

    // Makes picture the cursor image (shared, not copied), measures it, and
    // switches the software cursor on. A null or empty picture gives an empty
    // rectangle and nothing to draw.
    void SetImage(const CRingPtr<CPlaneBase>& picture, int hotX, int hotY);
    // On: the software cursor is drawn and the system cursor hidden over the
    // client area; off: the reverse.
    void SetEnabled(bool on);
    bool IsEnabled() const { return enabled_; }
    // The pointer's client position; moves the rectangle.
    void SetPosition(int x, int y);
    // The area the cursor image covers on the back buffer (whether or not it
    // is on).
    const Rect& GetRect() const { return rect_; }
    // Draws the image at its rectangle (BltAuto) when on; 0, or the blit's result.
    int Draw(CPlaneBase* target);

private:
    void UpdateRect();

    CRingPtr<CPlaneBase> image_;
    int width_ = 0, height_ = 0;
    int hotX_ = 0, hotY_ = 0;
    int x_ = 0, y_ = 0;
    bool enabled_ = false;
    Rect rect_;
};
