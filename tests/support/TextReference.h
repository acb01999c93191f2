#pragma once
// A plain reference rasteriser for the text tests: places the platform's
// FreeType glyphs by the GDI rules (pen advance, baseline at the cell top plus
// the ascent) and blends each pixel by the coverage formula, one pixel at a
// time, so that the text code is checked against the formulas rather than
// against its own output.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FontRenderer.h"

namespace textref {

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Canvas(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline platform::FontRequest Font(int height, bool antialias)
{
    platform::FontRequest request;
    request.height = height;
    request.weight = 300;
    request.antialias = antialias;
    return request;
}

// Shift-JIS codes of a string: a lead byte 0x81-0x9F or 0xE0-0xFC takes the
// next byte, everything else is one byte.
inline std::vector<uint16_t> Codes(const std::string& sjis)
{
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < sjis.size(); ++i) {
        const auto b = static_cast<uint8_t>(sjis[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (lead && i + 1 < sjis.size()) {
            codes.push_back(static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(sjis[i + 1])));
            ++i;
        } else {
            codes.push_back(b);
        }
    }
    return codes;
}

inline uint32_t Blend(uint32_t dst, uint32_t color, int coverage)
{
    if (coverage == 255)
        return color & 0xFFFFFF;
    uint32_t out = 0;
    for (int s = 0; s <= 16; s += 8) {
        const int d = (dst >> s) & 0xFF;
        const int c = (color >> s) & 0xFF;
        out |= static_cast<uint32_t>((c * coverage + d * (255 - coverage) + 127) / 255) << s;
    }
    return out;
}

// Draws one line with its cell's top-left corner at (x, top); returns its width.
inline int DrawString(Canvas& canvas, const platform::FontRequest& request, const std::string& sjis, int x, int top,
                      uint32_t color)
{
    platform::Font* font = platform::GetFont(request);
    const int baseline = top + font->Metrics().ascent;
    int pen = x;
    for (uint16_t code : Codes(sjis)) {
        const platform::Glyph& g = font->GlyphForSjis(code);
        for (int gy = 0; gy < g.height; ++gy) {
            for (int gx = 0; gx < g.width; ++gx) {
                const int px = pen + g.left + gx;
                const int py = baseline - g.top + gy;
                const int cov = g.coverage[static_cast<size_t>(gy) * g.width + gx];
                if (cov == 0 || px < 0 || py < 0 || px >= canvas.width || py >= canvas.height)
                    continue;
                canvas.At(px, py) = Blend(canvas.At(px, py), color, cov);
            }
        }
        pen += g.advance;
    }
    return pen - x;
}

inline int Width(const platform::FontRequest& request, const std::string& sjis)
{
    int width = 0;
    for (uint16_t code : Codes(sjis))
        width += platform::GetFont(request)->GlyphForSjis(code).advance;
    return width;
}

}  // namespace textref
