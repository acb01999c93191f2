// The fixed-point cosine table of the wave transitions.
#include "display/CosTable.h"

#include <cmath>
#include <numbers>

int32_t gCosTable[512];

namespace {
bool gCosTableBuilt = false;
}

void* BuildCosTable(void* owner)
{
    if (gCosTableBuilt) {
        return owner;
    }
    for (int i = 0; i < 512; ++i) {
        // The cast truncates toward zero, as the effects expect.
        gCosTable[i] = static_cast<int32_t>(std::cos(i * std::numbers::pi / 256.0) * 65536.0);
    }
    gCosTableBuilt = true;
    return owner;
}
