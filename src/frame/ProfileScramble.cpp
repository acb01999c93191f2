#include "frame/ProfileScramble.h"

#include <zlib.h>

#include <limits>

namespace profile_scramble {

// Chosen so that "[" ^ kKey[0] = 0xFE (see LooksScrambled); the others mix
// high and low bits so no ASCII text survives the XOR readable.
const uint8_t kKey[kKeySize] = {
    0xA5, 0x3C, 0x5A, 0xC3, 0x96, 0x69, 0x0F, 0xF0, 0x1E, 0xE1,
    0x2D, 0xD2, 0x4B, 0xB4, 0x78, 0x87, 0x33, 0xCC, 0x55, 0xAA,
};

namespace {

uint32_t Checksum(const std::string& text)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* p = reinterpret_cast<const Bytef*>(text.data());
    size_t left = text.size();
    while (left > 0) {
        uInt chunk = left > std::numeric_limits<uInt>::max() ? std::numeric_limits<uInt>::max()
                                                             : static_cast<uInt>(left);
        crc = crc32(crc, p, chunk);
        p += chunk;
        left -= chunk;
    }
    return static_cast<uint32_t>(crc);
}

}  // namespace

bool LooksScrambled(const uint8_t* data, size_t size)
{
    return size > kChecksumSize && data[0] == static_cast<uint8_t>('[' ^ kKey[0]);
}

std::string Scramble(const std::string& text)
{
    if (text.empty()) {
        return std::string();
    }
    std::string out(text.size() + kChecksumSize, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>(static_cast<uint8_t>(text[i]) ^ kKey[i % kKeySize]);
    }
    uint32_t sum = Checksum(text);
    for (size_t k = 0; k < kChecksumSize; ++k) {
        out[text.size() + k] = static_cast<char>((sum >> (8 * k)) & 0xFF);
    }
    return out;
}

bool Unscramble(const uint8_t* data, size_t size, std::string* text)
{
    if (size <= kChecksumSize) {
        return false;
    }
    size_t n = size - kChecksumSize;
    std::string plain(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        plain[i] = static_cast<char>(data[i] ^ kKey[i % kKeySize]);
    }
    uint32_t stored = 0;
    for (size_t k = 0; k < kChecksumSize; ++k) {
        stored |= static_cast<uint32_t>(data[n + k]) << (8 * k);
    }
    if (stored != Checksum(plain)) {
        return false;
    }
    *text = std::move(plain);
    return true;
}

}  // namespace profile_scramble
