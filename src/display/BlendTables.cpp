// The blend tables; see BlendTables.h for their contents.
#include "display/BlendTables.h"

#include <mutex>

uint8_t gMulTable[256][256];
uint8_t gInvMulTable[256][256];
uint16_t gLevelTable565[16 * 65536];
uint16_t gLevelTable555[16 * 65536];

namespace {

void Fill()
{
    for (int a = 0; a < 256; ++a) {
        for (int x = 0; x < 256; ++x) {
            gMulTable[a][x] = static_cast<uint8_t>(a * x / 255);
            gInvMulTable[a][x] = static_cast<uint8_t>(x * (255 - a) / 255);
        }
    }
    for (int level = 0; level < 16; ++level) {
        uint16_t* t565 = gLevelTable565 + level * 65536;
        uint16_t* t555 = gLevelTable555 + level * 65536;
        for (int p = 0; p < 65536; ++p) {
            int r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            t565[p] = static_cast<uint16_t>(((r * level / 15) << 11) | ((g * level / 15) << 5) | (b * level / 15));
            r = (p >> 10) & 31;
            g = (p >> 5) & 31;
            t555[p] = static_cast<uint16_t>(((r * level / 15) << 10) | ((g * level / 15) << 5) | (b * level / 15));
        }
    }
}

}  // namespace

void BuildBlendTables()
{
    static std::once_flag once;
    std::call_once(once, Fill);
}
