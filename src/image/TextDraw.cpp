#include "image/TextDraw.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/FontRenderer.h"
#include "frame/TextEncoding.h"

namespace {

constexpr int kGdiNonAntialiased = 3;

platform::FontRequest RequestOf(const CTextDraw& text)
{
    platform::FontRequest request;
    request.face = text.GetFace();
    request.height = std::max(1, text.GetHeight());
    request.weight = text.GetWeight();
    request.italic = text.GetItalic();
    request.antialias = CTextDraw::GdiQuality(text.GetQuality()) != kGdiNonAntialiased;
    return request;
}

// The lines of a text ("\n" ends a line; a "\r" before it is dropped).
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

// Calls f(code) for each Shift-JIS character of the line.
template <typename F>
void ForEachChar(std::string_view line, F&& f)
{
    size_t pos = 0;
    while (size_t length = SjisCharLength(line, pos)) {
        const auto lead = static_cast<uint8_t>(line[pos]);
        const uint16_t code = length == 2 ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(line[pos + 1])) : lead;
        f(code);
        pos += length;
    }
}

// Widths and pens are kept below this, far past any picture, so that a
// hostile text of millions of characters cannot overflow them.
constexpr int64_t kMaxCoordinate = int64_t{1} << 28;

int LineWidth(platform::Font* font, std::string_view line)
{
    int64_t width = 0;
    ForEachChar(line, [&](uint16_t code) {
        if (width < kMaxCoordinate)
            width += font->GlyphForSjis(code).advance;
    });
    return static_cast<int>(std::min(width, kMaxCoordinate));
}

// 0x00RRGGBB over the pixel by coverage 0-255; the fourth byte becomes 0, as
// text output leaves it.
inline uint32_t Over(uint32_t dst, uint32_t color, int coverage)
{
    if (coverage >= 255) {
        return color;
    }
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = static_cast<int>((dst >> shift) & 0xFF);
        const int c = static_cast<int>((color >> shift) & 0xFF);
        out |= static_cast<uint32_t>((c * coverage + d * (255 - coverage) + 127) / 255) << shift;
    }
    return out;
}

void FillRect(const DibView& dc, int left, int top, int right, int bottom, uint32_t color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, dc.width);
    bottom = std::min(bottom, dc.height);
    for (int y = top; y < bottom; ++y) {
        std::fill(dc.Row(y) + left, dc.Row(y) + std::max(left, right), color);
    }
}

void DrawLine(const DibView& dc, platform::Font* font, std::string_view line, int x, int top, uint32_t color,
              bool underline, bool strikeOut)
{
    const platform::FontMetrics& metrics = font->Metrics();
    const int baseline = top + metrics.ascent;
    int pen = x;
    ForEachChar(line, [&](uint16_t code) {
        const platform::Glyph& glyph = font->GlyphForSjis(code);
        const int gx = pen + glyph.left;
        const int gy = baseline - glyph.top;
        const int x0 = std::max(0, -gx);
        const int y0 = std::max(0, -gy);
        const int x1 = std::min(glyph.width, dc.width - gx);
        const int y1 = std::min(glyph.height, dc.height - gy);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* cov = glyph.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(glyph.width);
            uint32_t* row = dc.Row(gy + y) + gx;
            for (int gxi = x0; gxi < x1; ++gxi) {
                if (cov[gxi] != 0) {
                    row[gxi] = Over(row[gxi], color, cov[gxi]);
                }
            }
        }
        pen = static_cast<int>(std::min<int64_t>(int64_t{pen} + glyph.advance, kMaxCoordinate));
    });
    if (underline) {
        const int y = baseline + metrics.underlineOffset;
        FillRect(dc, x, y, pen, y + metrics.underlineThickness, color);
    }
    if (strikeOut) {
        const int y = baseline - metrics.strikeOutOffset;
        FillRect(dc, x, y, pen, y + metrics.underlineThickness, color);
    }
}

// The top of line i, kept far enough inside int that glyph offsets cannot
// overflow (hostile spacings put far lines well outside any view anyway).
int LineTop(int y, size_t i, int spacing)
{
    const int64_t top = static_cast<int64_t>(y) + static_cast<int64_t>(i) * spacing;
    return static_cast<int>(std::clamp<int64_t>(top, -kMaxCoordinate, kMaxCoordinate));
}

}  // namespace

int CTextDraw::GdiQuality(int quality)
{
    static constexpr int kMap[5] = {0, 1, 2, 4, 3};
    return quality >= 0 && quality <= 4 ? kMap[quality] : 0;
}

int CTextDraw::GetExtent(int* width, int* height) const
{
    if (text_.empty()) {
        *width = 0;
        *height = 0;
        return 1;
    }
    platform::Font* font = platform::GetFont(RequestOf(*this));
    const std::vector<std::string_view> lines = SplitLines(text_);
    int widest = 0;
    for (std::string_view line : lines) {
        widest = std::max(widest, LineWidth(font, line));
    }
    const int64_t total = static_cast<int64_t>(lines.size() - 1) * lineSpacing_ + std::max(1, height_);
    *width = widest;
    *height = static_cast<int>(std::clamp<int64_t>(total, 0, INT32_MAX));
    return 0;
}

int CTextDraw::Draw(const DibView& dc, int x, int y) const
{
    if (dc.pixels == nullptr || dc.width <= 0 || dc.height <= 0) {
        return 1;
    }
    if (text_.empty()) {
        return 0;
    }
    platform::Font* font = platform::GetFont(RequestOf(*this));
    const std::vector<std::string_view> lines = SplitLines(text_);
    const int cell = std::max(1, height_);
    if (backColor_ != kNoColor) {
        for (size_t i = 0; i < lines.size(); ++i) {
            const int top = LineTop(y, i, lineSpacing_);
            FillRect(dc, x, top, x + LineWidth(font, lines[i]), top + cell, static_cast<uint32_t>(backColor_));
        }
    }
    const bool under = underline_ != 0;
    const bool strike = strikeOut_ != 0;
    if (color2_ != kNoColor) {
        for (size_t i = 0; i < lines.size(); ++i) {
            DrawLine(dc, font, lines[i], x + shadowX_, LineTop(y + shadowY_, i, lineSpacing_),
                     static_cast<uint32_t>(color2_), under, strike);
        }
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        DrawLine(dc, font, lines[i], x, LineTop(y, i, lineSpacing_), color_, under, strike);
    }
    return 0;
}
