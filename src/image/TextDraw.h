#pragma once
// CTextDraw: the text object. It holds a Shift-JIS text with its font (face,
// height, weight, italic, underline, strike-out, quality) and colours, measures
// it and draws it into 32-bit pixels (a DibView: a DIB section's memory DC).
//
// Colours are 0x00RRGGBB. The second colour is the shadow, drawn first at the
// shadow offset (-1: no shadow); the background fills each line's cell
// (-1: transparent). Lines are separated by "\n" and stand line-spacing
// pixels apart, top to top. Height is the cell height in pixels.
//
// Quality 0-4 selects the GDI font quality 0, 1, 2, 4, 3 (default, draft,
// proof, antialiased, non-antialiased); only non-antialiased (quality 4) draws
// hard-edged glyphs, the others are smoothed as the desktop's standard font
// smoothing does. Copying a text object copies every setting and the text.
#include <cstdint>
#include <string>

#include "image/DIBSection.h"

class CTextDraw {
public:
    static constexpr int kDefaultHeight = 16;
    static constexpr int kDefaultLineSpacing = 20;
    static constexpr uint32_t kDefaultColor = 0xFFFFFF;
    static constexpr int32_t kDefaultColor2 = 0x808080;
    static constexpr int kDefaultQuality = 2;
    static constexpr int kDefaultWeight = 300;
    static constexpr int kNoColor = -1;

    CTextDraw() = default;

    void SetText(const std::string& text) { text_ = text; }
    const std::string& GetText() const { return text_; }
    // Shift-JIS face name; empty or missing faces use the default Japanese face.
    void SetFace(const std::string& face) { face_ = face; }
    const std::string& GetFace() const { return face_; }
    // Cell height in pixels (values below 1 draw at 1).
    void SetHeight(int height) { height_ = height; }
    int GetHeight() const { return height_; }
    void SetLineSpacing(int spacing) { lineSpacing_ = spacing; }
    int GetLineSpacing() const { return lineSpacing_; }
    void SetWeight(int weight) { weight_ = weight; }
    int GetWeight() const { return weight_; }
    void SetItalic(bool on) { italic_ = on ? 1 : 0; }
    void SetUnderline(bool on) { underline_ = on ? 1 : 0; }
    void SetStrikeOut(bool on) { strikeOut_ = on ? 1 : 0; }
    bool GetItalic() const { return italic_ != 0; }
    bool GetUnderline() const { return underline_ != 0; }
    bool GetStrikeOut() const { return strikeOut_ != 0; }
    // 0-4; other values read as GDI's default quality.
    void SetQuality(int quality) { quality_ = quality; }
    int GetQuality() const { return quality_; }
    // The GDI font quality a quality value selects (0, 1, 2, 4, 3; else 0).
    static int GdiQuality(int quality);
    void SetColor(uint32_t rgb) { color_ = rgb & 0xFFFFFFu; }
    uint32_t GetColor() const { return color_; }
    // Shadow colour 0x00RRGGBB, or -1 for no shadow.
    void SetColor2(int32_t rgb) { color2_ = rgb < 0 ? kNoColor : (rgb & 0xFFFFFF); }
    int32_t GetColor2() const { return color2_; }
    // Background colour 0x00RRGGBB, or -1 for a transparent background.
    void SetBackColor(int32_t rgb) { backColor_ = rgb < 0 ? kNoColor : (rgb & 0xFFFFFF); }
    int32_t GetBackColor() const { return backColor_; }
    void SetShadowOffset(int x, int y)
    {
        shadowX_ = x;
        shadowY_ = y;
    }
    int GetShadowX() const { return shadowX_; }
    int GetShadowY() const { return shadowY_; }

    // The size of the text: the widest line's advance and (lines - 1) x line
    // spacing + height. 0 with text; 1 without text (both outputs 0).
    int GetExtent(int* width, int* height) const;
    // Draws the text with its top-left corner at (x, y), clipped to the view.
    // 0; 1 when the view has no pixels.
    int Draw(const DibView& dc, int x, int y) const;

private:
    std::string text_;
    std::string face_;
    int height_ = kDefaultHeight;
    int lineSpacing_ = kDefaultLineSpacing;
    int weight_ = kDefaultWeight;
    uint8_t italic_ = 0;
    uint8_t underline_ = 0;
    uint8_t strikeOut_ = 0;
    int quality_ = kDefaultQuality;
    uint32_t color_ = kDefaultColor;
    int32_t color2_ = kDefaultColor2;
    int32_t backColor_ = kNoColor;
    int shadowX_ = 2;
    int shadowY_ = 2;
};
