#pragma once
// CAntialiasTextPlane: a software plane that renders the text of its own
// CTextDraw into itself, for the display core's text planes.
//   mode 1  the text as it is, with its colours, shadow and background; no alpha
//   mode 2  the text drawn hard-edged and white at twice the size on a work
//   mode 3  plane (four times for mode 3), each 2 x 2 (4 x 4) box reduced to a
//           coverage that becomes the alpha of the text colour; the shadow (the
//           second colour) is rendered the same way and composited under it
// A plane that is already created keeps its size; otherwise it is created at
// the text's extent (1 x 1 when either extent is 0).
#include "image/TextDraw.h"
#include "image/SoftPlane.h"

class CAntialiasTextPlane : public CSoftPlane {
public:
    // Result codes of the renderers.
    enum TextResult : int {
        kTextDone = 0,
        kTextCreateFailed = 1,
        kTextWorkFailed = 2,
    };

    // An empty plane whose pixels are a DIB section (drawable through GetDC).
    CAntialiasTextPlane();

    CTextDraw* GetTextDraw() { return &text_; }
    // Where the text's top-left corner lands in the plane; (0, 0) at first.
    void SetTextPos(int x, int y)
    {
        x_ = x;
        y_ = y;
    }

    // kTextDone, or kTextCreateFailed; clears the alpha flag.
    int DrawTextMode1();
    // kTextDone, kTextCreateFailed or kTextWorkFailed (the text settings are
    // then as they were given); sets the alpha flag.
    int DrawTextMode2() { return DrawTextSmoothed(2); }
    int DrawTextMode3() { return DrawTextSmoothed(4); }

private:
    // Creates the plane at the text's extent unless it is created. 0 or 1.
    int SizeToText();
    int DrawTextSmoothed(int factor);
    void CompositeShadow(int factor, int32_t shadowColor, int width, int height);

    CTextDraw text_;
    int x_ = 0;
    int y_ = 0;
};

const char* ToString(CAntialiasTextPlane::TextResult result);
