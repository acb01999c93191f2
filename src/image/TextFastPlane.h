#pragma once
// CTextFastPlane: a display plane that shows a text. Its CTextDraw holds the
// text and its look; a renderer makes the surface from it:
//   mode 1  the text as drawn (colour-keyed on black, no alpha), the surface
//           at the text's size (at least 1 x 1)
//   mode 2  smoothed from twice the size, in the screen's alpha format
//   mode 3  smoothed from four times the size, likewise
// Each redraw renders through a temporary CAntialiasTextPlane and converts it
// into this plane's surface.
#include "display/FastPlane.h"
#include "image/TextDraw.h"

class CTextFastPlane : public CFastPlane {
public:
    CTextFastPlane() = default;

    CTextDraw* GetTextDraw() { return &text_; }
    // 1, 2 or 3 (others render as 1); 1 at construction.
    void SetTextMode(int mode) { mode_ = mode; }
    int GetTextMode() const { return mode_; }

    // Renders by the text mode. 0; 1 when the text plane could not be made,
    // 2 when the smoothing work plane could not (the surface is then released).
    int UpdateText();
    int DrawTextMode1() { return Render(1); }
    int DrawTextMode2() { return Render(2); }
    int DrawTextMode3() { return Render(3); }

private:
    int Render(int mode);

    CTextDraw text_;
    int mode_ = 1;
};
