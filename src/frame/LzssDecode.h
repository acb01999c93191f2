#pragma once
// LzssDecode: the LZSS decoder of ".bma" pictures and of archive entries
// packed with method 1. A 4096-byte ring cleared to 0, write position starting
// at 4078, flag bits read least significant first (1 = one literal byte,
// 0 = a two-byte reference: ring offset = b0 | ((b1 & 0xF0) << 4), length =
// (b1 & 0x0F) + 3). Decoding stops once outputSize bytes are written.
#include <cstddef>
#include <cstdint>
#include <string>

class LzssDecode {
public:
    static constexpr size_t kRingSize = 4096;
    static constexpr size_t kRingStart = 4078;

    enum Result {
        kOk = 0,
        kEmptyOutput = 1,     // outputSize was 0
        kInputExhausted = 2,  // the source ended before the output was full
        kNoMemory = 3,        // the output could not be allocated
    };
    static const char* ToString(Result result);

    // The most bytes `sourceSize` bytes can decode to: every flag byte
    // followed by eight references of the longest length, 18 bytes out for
    // every 2 in, 144 for every 17. A stated size above it cannot be real, so
    // callers refuse it before allocating the output.
    static constexpr uint64_t MaxOutput(uint64_t sourceSize) { return (sourceSize / 17 + 1) * 144; }

    // Decodes source[0, sourceSize) into *output until outputSize bytes are
    // written. With allocate, *output receives a new[] array of outputSize
    // bytes that the caller owns (delete[]); otherwise *output must hold
    // outputSize bytes. On failure an allocated array is freed and *output is
    // left as it was; a caller-provided output may hold a partial result.
    int Decode(const uint8_t* source, size_t sourceSize, uint8_t** output, size_t outputSize,
               bool allocate);

private:
    uint8_t ring_[kRingSize];
};
