#pragma once
// A 5 x 7 pixel font for the labels of the demo's pictures (buttons, tabs,
// the gallery's counter digits), so that the demo needs no font files.
// Capital letters, digits, '/', '>' and the blank.
#include <cstring>
#include <string>

namespace demofont {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kAdvance = 6;  // a column of space between letters

// The rows of c, top first ('#' lit); null for a character the font lacks.
inline const char* Glyph(char c)
{
    static const char* const kLetters[26] = {
        " ### #   ##   #######   ##   ##   #",  // A
        "#### #   ##   ##### #   ##   ##### ",  // B
        " ### #   ##    #    #    #   # ### ",  // C
        "#### #   ##   ##   ##   ##   ##### ",  // D
        "######    #    #### #    #    #####",  // E
        "######    #    #### #    #    #    ",  // F
        " ### #   ##    # ####   ##   # ####",  // G
        "#   ##   ##   #######   ##   ##   #",  // H
        " ###   #    #    #    #    #   ### ",  // I
        "  ###   #    #    #    ##  #  ##   ",  // J
        "#   ##  # # #  ##   # #  #  # #   #",  // K
        "#    #    #    #    #    #    #####",  // L
        "#   ### ### # ## # ##   ##   ##   #",  // M
        "#   ##   ###  ## # ##  ###   ##   #",  // N
        " ### #   ##   ##   ##   ##   # ### ",  // O
        "#### #   ##   ##### #    #    #    ",  // P
        " ### #   ##   ##   ## # ##  #  ## #",  // Q
        "#### #   ##   ##### # #  #  # #   #",  // R
        " #####    #     ###     #    ##### ",  // S
        "#####  #    #    #    #    #    #  ",  // T
        "#   ##   ##   ##   ##   ##   # ### ",  // U
        "#   ##   ##   ##   ##   # # #   #  ",  // V
        "#   ##   ##   ## # ## # ## # # # # ",  // W
        "#   ##   # # #   #   # # #   ##   #",  // X
        "#   ##   # # #   #    #    #    #  ",  // Y
        "#####    #   #   #   #   #    #####",  // Z
    };
    static const char* const kDigits[10] = {
        " ### #   ##  ### # ###  ##   # ### ",  // 0
        "  #   ##    #    #    #    #   ### ",  // 1
        " ### #   #    #   #   #   #   #####",  // 2
        "#####   #   #     #     ##   # ### ",  // 3
        "   #   ##  # # #  # #####   #    # ",  // 4
        "######    ####     #    ##   # ### ",  // 5
        "  ##  #   #    #### #   ##   # ### ",  // 6
        "#####    #   #   #   #    #    #   ",  // 7
        " ### #   ##   # ### #   ##   # ### ",  // 8
        " ### #   ##   # ####    #   #  ##  ",  // 9
    };
    if (c >= 'A' && c <= 'Z')
        return kLetters[c - 'A'];
    if (c >= '0' && c <= '9')
        return kDigits[c - '0'];
    switch (c) {
    case '/': return "    #    #   #   #   #   #    #    ";
    case '>': return "#     #     #     #   #   #   #    ";
    case ' ': return "                                   ";
    default: return nullptr;
    }
}

// Width in pixels of text drawn at scale (each font pixel scale x scale).
inline int TextWidth(const std::string& text, int scale)
{
    return text.empty() ? 0 : (static_cast<int>(text.size()) * kAdvance - 1) * scale;
}

// True when pixel (x, y) is lit by text drawn with its top-left at (left, top).
inline bool TextCovers(const std::string& text, int scale, int left, int top, int x, int y)
{
    if (x < left || y < top || scale <= 0)
        return false;
    const int gx = (x - left) / scale, gy = (y - top) / scale;
    const int index = gx / kAdvance, column = gx % kAdvance;
    if (gy >= kGlyphHeight || column >= kGlyphWidth || index >= static_cast<int>(text.size()))
        return false;
    const char* rows = Glyph(text[static_cast<size_t>(index)]);
    return rows && std::strlen(rows) == kGlyphWidth * kGlyphHeight && rows[gy * kGlyphWidth + column] == '#';
}

}  // namespace demofont
