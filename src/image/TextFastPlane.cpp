#include "image/TextFastPlane.h"

#include "image/AntialiasTextPlane.h"

int CTextFastPlane::UpdateText()
{
    return Render(mode_ == 2 || mode_ == 3 ? mode_ : 1);
}

int CTextFastPlane::Render(int mode)
{
    CAntialiasTextPlane rendered;
    *rendered.GetTextDraw() = text_;
    int result = 0;
    switch (mode) {
    case 2: result = rendered.DrawTextMode2(); break;
    case 3: result = rendered.DrawTextMode3(); break;
    default: result = rendered.DrawTextMode1(); break;
    }
    if (result != CAntialiasTextPlane::kTextDone) {
        Release();
        return result;
    }
    // Load makes the surface at the rendered size, in the screen format (its
    // alpha format for the smoothed modes), with the rendered plane's key.
    return Load(&rendered) == kPlaneDone ? 0 : 1;
}
