#pragma once
// The scrambled form of a profile file: the text XORed with a repeating
// 20-byte key, followed by the CRC-32 (zlib's) of the plain text,
// little-endian. See docs/FORMATS.md.
#include <cstddef>
#include <cstdint>
#include <string>

namespace profile_scramble {

constexpr size_t kKeySize = 20;
extern const uint8_t kKey[kKeySize];
constexpr size_t kChecksumSize = 4;

// True when the bytes are meant as the scrambled form: a profile's text
// starts with "[", and "[" XOR kKey[0] is 0xFE, a byte no Shift-JIS text can
// start with.
bool LooksScrambled(const uint8_t* data, size_t size);
// The scrambled bytes of a text (an empty text stays empty).
std::string Scramble(const std::string& text);
// The text of scrambled bytes; false when too short or the checksum differs.
bool Unscramble(const uint8_t* data, size_t size, std::string* text);

}  // namespace profile_scramble
