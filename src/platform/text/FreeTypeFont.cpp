// FreeType fonts with GDI's metrics: the requested height is the cell height
// (ascent + descent), and glyphs are cached per Shift-JIS code.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>

#include "platform/FontRenderer.h"
#include "frame/TextEncoding.h"
#include "platform/text/FontMatch.h"

namespace platform {
namespace {

constexpr int kMaxHeight = 1024;
// A page of text uses a few hundred distinct characters; past this many the
// cache starts afresh rather than growing without bound on hostile text.
constexpr size_t kMaxGlyphsPerFont = 8192;
constexpr int kBoldWeight = 600;
// Distinct requests are few (text, ruby and name sizes, times 2 and 4 for the
// smoothed modes); a flood of sizes empties the cache instead of growing it.
constexpr size_t kMaxFonts = 64;

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            lib = nullptr;
        }
        return lib;
    }();
    return library;
}

// The code point of a UTF-8 sequence holding one character; '?' when it is
// not exactly one well-formed character.
char32_t SingleCodePoint(const std::string& utf8)
{
    if (utf8.empty()) {
        return U'?';
    }
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t length = 0;
    char32_t cp = 0;
    if (s[0] < 0x80) {
        length = 1;
        cp = s[0];
    } else if ((s[0] & 0xE0) == 0xC0) {
        length = 2;
        cp = s[0] & 0x1F;
    } else if ((s[0] & 0xF0) == 0xE0) {
        length = 3;
        cp = s[0] & 0x0F;
    } else if ((s[0] & 0xF8) == 0xF0) {
        length = 4;
        cp = s[0] & 0x07;
    } else {
        return U'?';
    }
    if (utf8.size() != length) {
        return U'?';
    }
    for (size_t i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            return U'?';
        }
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    return cp;
}

char32_t SjisCodeToCodePoint(uint16_t code)
{
    std::string bytes;
    if (code >= 0x100) {
        bytes.push_back(static_cast<char>(code >> 8));
    }
    bytes.push_back(static_cast<char>(code & 0xFF));
    std::string utf8;
    if (!SjisToUtf8Strict(bytes, &utf8)) {
        return U'?';
    }
    return SingleCodePoint(utf8);
}

int Round26_6(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

class FreeTypeFont final : public Font {
public:
    explicit FreeTypeFont(const FontRequest& request) : request_(request)
    {
        const int height = request_.height;
        metrics_.height = height;
        metrics_.ascent = height - height / 8;
        metrics_.descent = height - metrics_.ascent;
        metrics_.underlineOffset = 1;
        metrics_.strikeOutOffset = metrics_.ascent / 3;
        text::FontFile file = text::ResolveFace(request_.face);
        if (file.path.empty() || Library() == nullptr) {
            return;
        }
        if (FT_New_Face(Library(), file.path.c_str(), file.index, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Size_RequestRec size{};
        size.type = FT_SIZE_REQUEST_TYPE_CELL;
        size.height = static_cast<FT_Long>(height) << 6;
        if (FT_Request_Size(face_, &size) != 0 && FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(height)) != 0) {
            FT_Done_Face(face_);
            face_ = nullptr;
            return;
        }
        path_ = file.path;
        const FT_Long cell = static_cast<FT_Long>(face_->ascender) - face_->descender;
        if (FT_IS_SCALABLE(face_) && cell > 0) {
            // Split the cell as the face's own ascender and descender do, so
            // that ascent + descent is the requested height exactly (GDI's tmHeight).
            metrics_.ascent = static_cast<int>(
                (static_cast<int64_t>(height) * face_->ascender + cell / 2) / cell);
            metrics_.descent = height - metrics_.ascent;
            const FT_Fixed yScale = face_->size->metrics.y_scale;
            metrics_.underlineThickness = std::max(1, Round26_6(FT_MulFix(face_->underline_thickness, yScale)));
            metrics_.underlineOffset = std::max(0, Round26_6(FT_MulFix(-face_->underline_position, yScale)) -
                                                       metrics_.underlineThickness / 2);
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
            if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0) {
                metrics_.strikeOutOffset = Round26_6(FT_MulFix(os2->yStrikeoutPosition, yScale));
            }
        }
        metrics_.descent = std::max(0, metrics_.descent);
    }
    ~FreeTypeFont() override
    {
        if (face_ != nullptr) {
            FT_Done_Face(face_);
        }
    }
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    const FontMetrics& Metrics() const override { return metrics_; }
    const std::string& FilePath() const override { return path_; }

    const Glyph& GlyphForSjis(uint16_t code) override
    {
        auto found = glyphs_.find(code);
        if (found != glyphs_.end()) {
            return found->second;
        }
        if (glyphs_.size() >= kMaxGlyphsPerFont) {
            glyphs_.clear();
        }
        return glyphs_.emplace(code, Render(code)).first->second;
    }

private:
    Glyph Render(uint16_t code)
    {
        Glyph glyph;
        const char32_t cp = SjisCodeToCodePoint(code);
        if (cp < 0x20 || cp == 0x7F) {
            return glyph;  // control characters: nothing drawn, no advance
        }
        if (face_ == nullptr) {
            glyph.advance = cp < 0x100 ? request_.height / 2 : request_.height;
            return glyph;
        }
        const bool mono = !request_.antialias;
        const FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
        if (FT_Load_Char(face_, cp, flags) != 0) {
            glyph.advance = cp < 0x100 ? request_.height / 2 : request_.height;
            return glyph;
        }
        FT_GlyphSlot slot = face_->glyph;
        if (request_.weight >= kBoldWeight) {
            FT_GlyphSlot_Embolden(slot);
        }
        if (request_.italic) {
            FT_GlyphSlot_Oblique(slot);
        }
        glyph.advance = Round26_6(slot->advance.x);
        if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
            return glyph;
        }
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(bitmap.width);
        glyph.height = static_cast<int>(bitmap.rows);
        glyph.coverage.assign(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height), 0);
        const int pitch = std::abs(bitmap.pitch);
        for (int y = 0; y < glyph.height; ++y) {
            const int row = bitmap.pitch >= 0 ? y : glyph.height - 1 - y;
            const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(row) * pitch;
            uint8_t* dst = glyph.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(glyph.width);
            for (int x = 0; x < glyph.width; ++x) {
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                    dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                    const int levels = std::max(2, static_cast<int>(bitmap.num_grays));
                    dst[x] = static_cast<uint8_t>(src[x] * 255 / (levels - 1));
                }
            }
        }
        return glyph;
    }

    FontRequest request_;
    FontMetrics metrics_;
    std::string path_;
    FT_Face face_ = nullptr;
    std::unordered_map<uint16_t, Glyph> glyphs_;
};

using FontKey = std::tuple<std::string, int, int, bool, bool>;

std::map<FontKey, std::unique_ptr<FreeTypeFont>>& Cache()
{
    static std::map<FontKey, std::unique_ptr<FreeTypeFont>> cache;
    return cache;
}

}  // namespace

Font* GetFont(const FontRequest& request)
{
    FontRequest clamped = request;
    clamped.height = std::clamp(request.height, 1, kMaxHeight);
    clamped.weight = std::clamp(request.weight, 0, 1000);
    FontKey key{clamped.face, clamped.height, clamped.weight, clamped.italic, clamped.antialias};
    auto& cache = Cache();
    auto found = cache.find(key);
    if (found != cache.end()) {
        return found->second.get();
    }
    if (cache.size() >= kMaxFonts) {
        cache.clear();
    }
    auto font = std::make_unique<FreeTypeFont>(clamped);
    Font* result = font.get();
    cache.emplace(std::move(key), std::move(font));
    return result;
}

void ClearFontCache() { Cache().clear(); }

std::string ResolveFontFile(const std::string& face) { return text::ResolveFace(face).path; }

}  // namespace platform
