#include "sound/Mp3Header.h"

namespace {

// kbit/s by [MPEG-1 ? 0 : 1][layer - 1][index]; index 0 is "free", 15 is invalid (0 here).
constexpr uint16_t kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
constexpr uint32_t kRates[2][4] = {{44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}};

}  // namespace

int Mp3HeaderToFormat(const uint8_t h[4], MPEGLAYER3WAVEFORMAT* out)
{
    if (h[0] != 0xFF || (h[1] & 0xF8) == 0) {
        return kMp3HeaderNoSync;
    }
    int layerBits = (h[1] >> 1) & 3;
    if (layerBits == 0) {
        return kMp3HeaderBadLayer;
    }
    int layer = 4 - layerBits;
    int row = (h[1] & 0x08) ? 0 : 1;  // MPEG-2.5 is read with the MPEG-2 tables
    uint32_t kbit = kBitrates[row][layer - 1][h[2] >> 4];
    uint32_t rate = kRates[row][(h[2] >> 2) & 3];

    MPEGLAYER3WAVEFORMAT f;
    f.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    f.wfx.nChannels = (h[3] >> 6) == 3 ? 1 : 2;
    f.wfx.nSamplesPerSec = rate;
    f.wfx.nAvgBytesPerSec = kbit * 1000 / 8;
    f.wfx.nBlockAlign = 1;
    f.wfx.wBitsPerSample = 0;
    f.wfx.cbSize = 12;
    f.wID = 1;
    f.fdwFlags = 2;
    f.nBlockSize = static_cast<uint16_t>(rate ? kbit * 144000 / rate : 0);
    f.nFramesPerBlock = 1;
    f.nCodecDelay = 1393;
    *out = f;
    return kMp3HeaderOk;
}

uint32_t Id3v2TagSize(const uint8_t head[10])
{
    if (head[0] != 0x49 || head[1] != 0x44 || head[2] != 0x33) {
        return 0;
    }
    uint32_t size = (static_cast<uint32_t>(head[6] & 0x7F) << 21) |
                    (static_cast<uint32_t>(head[7] & 0x7F) << 14) |
                    (static_cast<uint32_t>(head[8] & 0x7F) << 7) | (head[9] & 0x7F);
    bool footer = head[3] >= 4 && (head[5] & 0x10);
    return size + (footer ? 20 : 10);
}
