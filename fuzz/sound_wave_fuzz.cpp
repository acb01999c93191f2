// The sound files' header parsers on arbitrary bytes: RIFF WAVE chunk
// walking (every size clamped to the bytes present), the MP3 frame header
// and the ID3v2 tag size. Nothing here may read outside the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "sound/Mp3Header.h"
#include "sound/RiffWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RiffWaveChunks chunks;
    if (ParseRiffWave(data, size, &chunks) == kRiffOk) {
        // Touch every byte the chunks claim, as the WAVE source does.
        if (chunks.fmtOffset + chunks.fmtSize > size || chunks.dataOffset + chunks.dataSize > size) {
            __builtin_trap();
        }
        std::vector<uint8_t> format(chunks.fmtSize < 18 ? 18 : chunks.fmtSize, 0);
        std::memcpy(format.data(), data + chunks.fmtOffset, chunks.fmtSize);
        volatile uint32_t sum = 0;
        for (uint32_t i = 0; i < chunks.dataSize; ++i) {
            sum = sum + data[chunks.dataOffset + i];
        }
    }
    if (size >= 10) {
        uint32_t tag = Id3v2TagSize(data);
        if (tag && tag + 4 <= size) {
            MPEGLAYER3WAVEFORMAT f;
            Mp3HeaderToFormat(data + tag, &f);
        }
    }
    if (size >= 4) {
        MPEGLAYER3WAVEFORMAT f;
        Mp3HeaderToFormat(data, &f);
    }
    return 0;
}
