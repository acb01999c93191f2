#include "game/ScreenMode.h"

std::vector<ScreenModeAttempt> ScreenModeAttempts(int depth)
{
    switch (depth) {
    case 0: return {{false, 0}};
    case 24: return {{true, 24}, {true, 32}, {false, 24}};
    case 32: return {{true, 32}, {false, 32}};
    default: return {{true, 16}, {true, 24}, {true, 32}, {false, 16}};
    }
}
