#pragma once
// Fonts and glyphs for text drawing, in place of the system's GDI fonts.
//
// A font is asked for the way GDI is: a face name (Shift-JIS, from the
// settings), a height in pixels that is the cell height (ascent + descent),
// a weight, italic, and whether glyphs are smoothed. The face is matched with
// the Japanese language; a face that is not installed (or an empty name)
// falls back to the Japanese face the install scripts provide (IPA Gothic).
//
// Fonts and their glyphs are kept in a process-wide cache, so typing a page
// costs a hash look-up per character once each glyph has been rendered.
// Game thread only: returned references stay valid until ClearFontCache().
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct FontRequest {
    std::string face;       // Shift-JIS face name; empty: the default Japanese face
    int height = 16;        // cell height in pixels (ascent + descent), 1..1024
    int weight = 400;       // 100-900; 600 or more is drawn bold
    bool italic = false;
    bool antialias = true;  // false: hard-edged glyphs (coverage 0 or 255 only)
};

struct FontMetrics {
    int height = 0;              // cell height: ascent + descent
    int ascent = 0;              // from the cell top down to the baseline
    int descent = 0;
    int underlineOffset = 0;     // from the baseline down to the underline's top row
    int underlineThickness = 1;
    int strikeOutOffset = 0;     // from the baseline up to the strike-out's top row
};

// One rendered character. The bitmap's top-left pixel lies at
// (pen x + left, baseline y - top).
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;               // pixels the pen moves on
    std::vector<uint8_t> coverage;  // width * height bytes, rows top-down, 0-255
};

class Font {
public:
    virtual ~Font() = default;
    virtual const FontMetrics& Metrics() const = 0;
    // The glyph of one Shift-JIS character: a single byte (below 0x100), or
    // lead byte << 8 | trail byte. A code that does not convert draws as "?";
    // control characters have no bitmap and no advance. Never fails.
    virtual const Glyph& GlyphForSjis(uint16_t code) = 0;
    // The font file the face resolved to (empty when no font file could be
    // loaded at all; glyphs are then blank cells).
    virtual const std::string& FilePath() const = 0;
};

// The cached font for the request (never null). Heights are clamped to 1..1024.
Font* GetFont(const FontRequest& request);
// Drops every font and glyph (references from GetFont become invalid).
void ClearFontCache();
// The font file fontconfig chooses for a Shift-JIS face name with the
// Japanese language, or the fallback face's file when the face is missing;
// empty when not even the fallback exists.
std::string ResolveFontFile(const std::string& face);

}  // namespace platform
