#pragma once
// Big-endian bit reader over a bounded byte range. Reads past the end yield
// zero bits (a corrupt frame then decodes as silence rather than reading
// another buffer); Overrun() tells whether that happened.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mp3 {

class Mp3BitReader {
public:
    Mp3BitReader() = default;
    Mp3BitReader(const uint8_t* data, size_t bytes) { Reset(data, bytes); }

    void Reset(const uint8_t* data, size_t bytes)
    {
        data_ = data;
        bits_ = bytes * 8;
        pos_ = 0;
    }

    // The next n bits (0 <= n <= 24) without consuming them.
    uint32_t Peek(int n) const
    {
        if (n == 0) {
            return 0;
        }
        size_t byte = pos_ >> 3;
        uint32_t word;
        if (pos_ + 32 <= bits_) {
            std::memcpy(&word, data_ + byte, 4);
            if constexpr (std::endian::native == std::endian::little) {
                word = __builtin_bswap32(word);
            }
        } else {
            word = 0;
            size_t end = bits_ >> 3;
            for (int i = 0; i < 4; ++i) {
                uint32_t b = byte + i < end ? data_[byte + i] : 0;
                word |= b << (24 - 8 * i);
            }
        }
        return (word << (pos_ & 7)) >> (32 - n);
    }
    void Skip(int n) { pos_ += size_t(n); }
    // n bits (0 <= n <= 24), consumed.
    uint32_t Read(int n)
    {
        uint32_t v = Peek(n);
        pos_ += size_t(n);
        return v;
    }
    uint32_t Read1() { return Read(1); }

    size_t Position() const { return pos_; }
    void SetPosition(size_t bit) { pos_ = bit; }
    size_t SizeBits() const { return bits_; }
    bool Overrun() const { return pos_ > bits_; }

private:
    const uint8_t* data_ = nullptr;
    size_t bits_ = 0;
    size_t pos_ = 0;
};

}  // namespace mp3
