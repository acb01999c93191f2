#pragma once
// The wave-format records the sound classes pass around: the 18-byte PCM /
// codec header and the 30-byte MPEG Layer-3 header that describes MP3 data.
#include <cstdint>

#include "platform/Audio.h"

using WAVEFORMATEX = platform::WaveFormat;

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x55;

#pragma pack(push, 1)
struct MPEGLAYER3WAVEFORMAT {
    WAVEFORMATEX wfx;
    uint16_t wID = 0;
    uint32_t fdwFlags = 0;
    uint16_t nBlockSize = 0;
    uint16_t nFramesPerBlock = 0;
    uint16_t nCodecDelay = 0;
};
#pragma pack(pop)
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == 30);
