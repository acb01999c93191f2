#include "image/AntialiasTextPlane.h"

#include <algorithm>

namespace {

constexpr int kMaxScaled = 1 << 24;

// A text's extent with 1 taken for an empty side.
void ExtentAtLeastOne(const CTextDraw& text, int* width, int* height)
{
    text.GetExtent(width, height);
    *width = std::max(1, *width);
    *height = std::max(1, *height);
}

}  // namespace

const char* ToString(CAntialiasTextPlane::TextResult result)
{
    switch (result) {
    case CAntialiasTextPlane::kTextDone: return "done";
    case CAntialiasTextPlane::kTextCreateFailed: return "text plane not created";
    case CAntialiasTextPlane::kTextWorkFailed: return "work plane not created";
    }
    return "unknown";
}

CAntialiasTextPlane::CAntialiasTextPlane()
{
    GetImpl()->SetUseDIBSection(true);
}

int CAntialiasTextPlane::SizeToText()
{
    if (IsCreated()) {
        return 0;
    }
    int width = 0;
    int height = 0;
    ExtentAtLeastOne(text_, &width, &height);
    return Create(width, height) == 0 ? 0 : 1;
}

int CAntialiasTextPlane::DrawTextMode1()
{
    if (SizeToText() != 0) {
        return kTextCreateFailed;
    }
    text_.Draw(GetImpl()->GetDC(), x_, y_);
    *GetImpl()->GetAlphaFlagRef() = 0;
    return kTextDone;
}

int CAntialiasTextPlane::DrawTextSmoothed(int factor)
{
    if (SizeToText() != 0) {
        return kTextCreateFailed;
    }
    int width = 0;
    int height = 0;
    GetSize(&width, &height);

    // The text white and hard-edged at factor times the size, without shadow.
    const uint32_t color = text_.GetColor();
    const int32_t color2 = text_.GetColor2();
    const int quality = text_.GetQuality();
    const int textHeight = text_.GetHeight();
    const int lineSpacing = text_.GetLineSpacing();
    auto restoreSize = [&] {
        text_.SetHeight(textHeight);
        text_.SetLineSpacing(lineSpacing);
    };
    auto restoreLook = [&] {
        text_.SetQuality(quality);
        text_.SetColor(color);
        text_.SetColor2(color2);
    };
    text_.SetColor2(CTextDraw::kNoColor);
    text_.SetColor(0xFFFFFF);
    text_.SetQuality(4);
    // Clamped so that hostile settings cannot overflow; such sizes fail to
    // create the work plane below anyway.
    text_.SetHeight(std::clamp(textHeight, -kMaxScaled, kMaxScaled) * factor);
    text_.SetLineSpacing(std::clamp(lineSpacing, -kMaxScaled, kMaxScaled) * factor);

    CSoftPlane work;
    work.GetImpl()->SetUseDIBSection(true);
    int workWidth = 0;
    int workHeight = 0;
    ExtentAtLeastOne(text_, &workWidth, &workHeight);
    if (work.Create(workWidth, workHeight) != 0) {
        restoreSize();
        restoreLook();
        return kTextWorkFailed;
    }
    text_.Draw(work.GetImpl()->GetDC(), std::clamp(x_, -kMaxScaled, kMaxScaled) * factor,
               std::clamp(y_, -kMaxScaled, kMaxScaled) * factor);

    // Each factor x factor box of blue bytes (the white text's coverage)
    // becomes one pixel's alpha: the sum divided by the box's area, a shift.
    const int shift = factor == 2 ? 2 : 4;
    const int outWidth = std::min(workWidth / factor, width);
    const int outHeight = std::min(workHeight / factor, height);
    CSoftPlaneImpl* impl = GetImpl();
    CSoftPlaneImpl* workImpl = work.GetImpl();
    for (int py = 0; py < outHeight; ++py) {
        uint32_t* out = impl->GetRow(py);
        for (int px = 0; px < outWidth; ++px) {
            uint32_t sum = 0;
            for (int dy = 0; dy < factor; ++dy) {
                const uint32_t* in = workImpl->GetRow(py * factor + dy) + px * factor;
                for (int dx = 0; dx < factor; ++dx) {
                    sum += in[dx] & 0xFF;
                }
            }
            out[px] = (sum >> shift) << 24 | color;
        }
    }
    restoreSize();

    if (color2 != CTextDraw::kNoColor) {
        CompositeShadow(factor, color2, outWidth, outHeight);
    }
    restoreLook();
    *impl->GetAlphaFlagRef() = 1;
    return kTextDone;
}

void CAntialiasTextPlane::CompositeShadow(int factor, int32_t shadowColor, int width, int height)
{
    CAntialiasTextPlane shadow;
    *shadow.GetTextDraw() = text_;
    shadow.GetTextDraw()->SetColor(static_cast<uint32_t>(shadowColor));
    shadow.GetTextDraw()->SetColor2(CTextDraw::kNoColor);
    // The shadow lies at the shadow offset from where this plane's text lies.
    shadow.SetTextPos(x_ + text_.GetShadowX(), y_ + text_.GetShadowY());
    const int rendered = factor == 2 ? shadow.DrawTextMode2() : shadow.DrawTextMode3();
    if (rendered != kTextDone) {
        return;  // no shadow rather than none of the text
    }
    CSoftPlaneImpl* impl = GetImpl();
    CSoftPlaneImpl* shadowImpl = shadow.GetImpl();
    for (int py = 0; py < height; ++py) {
        uint32_t* row = impl->GetRow(py);
        for (int px = 0; px < width; ++px) {
            const uint32_t text = row[px];
            const uint32_t under = shadowImpl->GetPixel(px, py);
            const uint32_t a1 = text >> 24;
            const uint32_t a2 = (under >> 24) * (255 - a1) / 255;
            const uint32_t a = a1 + a2;
            if (a == 0 || a2 == 0) {
                continue;
            }
            uint32_t mixed = a << 24;
            for (int s = 0; s <= 16; s += 8) {
                const uint32_t t = (text >> s) & 0xFF;
                const uint32_t u = (under >> s) & 0xFF;
                mixed |= ((u * a2 + t * a1) / a) << s;
            }
            row[px] = mixed;
        }
    }
}
