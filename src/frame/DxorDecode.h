#pragma once
// DxorDecode: the decoder of archive entries packed with method 2, a run
// coding of the XOR difference from the byte four places back (the same
// channel of the previous 32-bit pixel; 0 before the start). A control byte
// c < 0x80 is followed by c + 1 bytes, each XORed with its predictor; c >= 0x80
// repeats the predictor for (c - 0x80) + 2 bytes. Decoding stops once the
// output is full; a run that would overfill it or a source that ends early is
// corrupt.
#include <cstddef>
#include <cstdint>

class DxorDecode {
public:
    static constexpr size_t kDistance = 4;
    static constexpr size_t kMaxLiteral = 128;
    static constexpr size_t kMaxRun = 129;

    enum Result {
        kOk = 0,
        kEmptyOutput = 1,     // outputSize was 0
        kInputExhausted = 2,  // the source ended before the output was full
        kOverrun = 3,         // a literal or run passes the output size
    };
    static const char* ToString(Result result);

    // Decodes source[0, sourceSize) into output[0, outputSize); on failure the
    // output may hold a partial result.
    int Decode(const uint8_t* source, size_t sourceSize, uint8_t* output, size_t outputSize);
};
