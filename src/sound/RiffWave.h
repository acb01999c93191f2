#pragma once
// RIFF WAVE chunk walking over a file image: finds the "fmt " and "data"
// chunks of the "WAVE" form. Every size read from the file is clamped to the
// bytes actually present, so a hostile header never reaches past the image.
#include <cstddef>
#include <cstdint>

enum RiffWaveResult : int {
    kRiffOk = 0,
    kRiffNotWave = 1,  // no RIFF chunk of form "WAVE"
    kRiffNoFmt = 2,    // no "fmt " chunk inside it
    kRiffNoData = 3,   // no "data" chunk after "fmt "
};
const char* ToString(RiffWaveResult result);

struct RiffWaveChunks {
    size_t fmtOffset = 0;   // first byte of the "fmt " chunk's contents
    uint32_t fmtSize = 0;   // its size, clamped to the bytes present
    size_t dataOffset = 0;  // first byte of the "data" chunk's contents
    uint32_t dataSize = 0;  // its size, clamped to the bytes present
};

// kRiffOk and *out filled, or a failure code with *out untouched.
int ParseRiffWave(const uint8_t* image, size_t size, RiffWaveChunks* out);
