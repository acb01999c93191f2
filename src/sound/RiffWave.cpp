#include "sound/RiffWave.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Finds the chunk `id` among the chunks in [begin, end); its contents'
// offset and clamped size. Chunks are padded to an even length.
bool FindChunk(const uint8_t* image, size_t begin, size_t end, const char* id,
               size_t* contents, uint32_t* size, size_t* next)
{
    size_t pos = begin;
    while (pos <= end && end - pos >= 8) {
        uint32_t declared = Le32(image + pos + 4);
        size_t start = pos + 8;
        size_t present = std::min<size_t>(declared, end - start);
        if (std::memcmp(image + pos, id, 4) == 0) {
            *contents = start;
            *size = static_cast<uint32_t>(present);
            *next = std::min(end, start + present + (present & 1));
            return true;
        }
        pos = start + present + (present & 1);
        if (pos > end) {
            break;
        }
    }
    return false;
}

}  // namespace

const char* ToString(RiffWaveResult result)
{
    switch (result) {
    case kRiffOk: return "ok";
    case kRiffNotWave: return "not a RIFF WAVE file";
    case kRiffNoFmt: return "no fmt chunk";
    case kRiffNoData: return "no data chunk";
    }
    return "unknown";
}

int ParseRiffWave(const uint8_t* image, size_t size, RiffWaveChunks* out)
{
    if (!image || size < 12 || std::memcmp(image, "RIFF", 4) != 0 ||
        std::memcmp(image + 8, "WAVE", 4) != 0) {
        return kRiffNotWave;
    }
    size_t riffEnd = 8 + std::min<size_t>(Le32(image + 4), size - 8);
    if (riffEnd < 12) {
        return kRiffNotWave;
    }
    RiffWaveChunks found;
    size_t afterFmt = 0;
    if (!FindChunk(image, 12, riffEnd, "fmt ", &found.fmtOffset, &found.fmtSize, &afterFmt)) {
        return kRiffNoFmt;
    }
    size_t afterData = 0;
    if (!FindChunk(image, afterFmt, riffEnd, "data", &found.dataOffset, &found.dataSize, &afterData)) {
        return kRiffNoData;
    }
    *out = found;
    return kRiffOk;
}
