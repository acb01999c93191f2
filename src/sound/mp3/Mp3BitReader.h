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

    const uint8_t* Data() const { return data_; }

private:
    const uint8_t* data_ = nullptr;
    size_t bits_ = 0;
    size_t pos_ = 0;
};

// The same contract (big-endian, zeros past the end) for long runs of short
// reads such as Huffman data: up to 63 bits are kept ahead in a register.
// Fill before reading; after a Fill at least 56 bits may be read.
class Mp3BitCache {
public:
    // Starts at bit `bitPos` of the reader's bytes.
    explicit Mp3BitCache(const Mp3BitReader& from)
        : data_(from.Data()), bytes_(from.SizeBits() >> 3), next_(from.Position() >> 3),
          pos_(from.Position() & ~size_t(7))
    {
        Fill();
        Skip(int(from.Position() & 7));
    }

    void Fill()
    {
        if (next_ + 8 <= bytes_) {
            uint64_t word;
            std::memcpy(&word, data_ + next_, 8);
            if constexpr (std::endian::native == std::endian::little) {
                word = __builtin_bswap64(word);
            }
            // Bits of a byte only partly taken are taken again, in the same
            // place, by the next fill.
            cache_ |= word >> count_;
            int take = (63 - count_) >> 3;
            next_ += size_t(take);
            count_ += 8 * take;
            return;
        }
        while (count_ <= 56) {
            uint64_t byte = next_ < bytes_ ? data_[next_] : 0;
            cache_ |= byte << (56 - count_);
            ++next_;
            count_ += 8;
        }
    }
    // The next n bits (0 <= n <= 32) without consuming them.
    uint32_t Peek(int n) const { return uint32_t(cache_ >> 32 >> (32 - n)); }
    void Skip(int n)
    {
        cache_ <<= n;
        count_ -= n;
        pos_ += size_t(n);
    }
    uint32_t Read(int n)
    {
        uint32_t v = Peek(n);
        Skip(n);
        return v;
    }
    uint32_t Read1() { return Read(1); }
    size_t Position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t bytes_;
    size_t next_;      // the next byte to load
    size_t pos_;       // bits consumed from data_
    uint64_t cache_ = 0;  // unread bits, first at the top
    int count_ = 0;       // valid bits in cache_
};

}  // namespace mp3
