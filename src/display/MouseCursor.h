#pragma once
// CMouseCursor: the software mouse cursor, a picture drawn on the back
// buffer with its hot spot at the pointer. It keeps the rectangle it covers,
// which every frame adds to the dirty area.
//
// Boxes, menus and dialogs run loops of their own over the last frame and
// are pointed at with the system's pointer; shown on a display, the cursor
// leaves that frame while such a loop runs (two pointers would stand side by
// side) and comes back when it ends.
#include "display/FastPlane.h"
#include "display/PlaneBase.h"
#include "frame/CRingPtr.h"
#include "frame/Rect.h"

class CFastDraw;

class CMouseCursor {
public:
    CMouseCursor() = default;
    ~CMouseCursor();
    CMouseCursor(const CMouseCursor&) = delete;
    CMouseCursor& operator=(const CMouseCursor&) = delete;

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
    // Draws the image at its rectangle (BltAuto) when on; 0, or the blit's
    // result. On the display's back buffer it keeps what it covers.
    int Draw(CPlaneBase* target);
    // The display whose back buffer the game draws the cursor on: while a
    // nested loop runs (platform::AddModalLoopListener) the cursor is taken
    // off its frame on screen, and drawn again after. Null: none. The display
    // must outlive the cursor or be replaced first.
    void ShowOn(CFastDraw* display);

private:
    void UpdateRect();
    void OnModalLoop(bool running);
    // Puts back what the last Draw on the back buffer covered and shows it;
    // false when the frame on screen may not hold that drawing any more.
    bool TakeOff();

    CRingPtr<CPlaneBase> image_;
    int width_ = 0, height_ = 0;
    int hotX_ = 0, hotY_ = 0;
    int x_ = 0, y_ = 0;
    bool enabled_ = false;
    Rect rect_;

    CFastDraw* display_ = nullptr;
    int listener_ = 0;
    // What the last Draw on the display's back buffer covered, where (the
    // rectangle inside the buffer) and how many presents the display had made.
    CFastPlane under_;
    Rect underRect_;
    CFastPlane* drawnOn_ = nullptr;
    uint32_t drawnAtPresent_ = 0;
    bool takenOff_ = false;
};
