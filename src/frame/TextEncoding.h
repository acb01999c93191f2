#pragma once
// Shift-JIS (CP932) <-> UTF-8 conversion, the program's one converter: the game
// keeps its text as Shift-JIS bytes; window captions, message boxes, fonts,
// host file names and the assembler's UTF-8 sources need the other side. It
// lives with the file formats so that tools and parsers use it without the
// platform layer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Strict conversions: true and *out filled when every byte converts; false
// and *out untouched on an invalid or incomplete sequence (used for file
// names, where a guessed character would open the wrong file).
bool SjisToUtf8Strict(std::string_view sjis, std::string* out);
bool Utf8ToSjisStrict(std::string_view utf8, std::string* out);

// Lenient conversions for text shown to a person: a byte that does not convert
// becomes "?" and the rest goes on.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);

// True for the first byte of a Shift-JIS double-byte character
// (0x81-0x9F, 0xE0-0xFC); half-width kana (0xA1-0xDF) are single bytes.
constexpr bool IsSjisLeadByte(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Length in bytes (1 or 2) of the character starting at `pos`; a lead byte at
// the very end counts as one byte so a walk never leaves the string. 0 when
// pos is at or past the end.
inline size_t SjisCharLength(std::string_view text, size_t pos)
{
    if (pos >= text.size()) {
        return 0;
    }
    if (IsSjisLeadByte(static_cast<uint8_t>(text[pos])) && pos + 1 < text.size()) {
        return 2;
    }
    return 1;
}
