#include "game/ScreenSlot.h"

CGameScreen* CreateGameScreen(int)
{
    // FIXME: the start menu, CG gallery and scene-replay screens plug in here.
    return nullptr;
}

int32_t FindChosenScene(CGameScreen*)
{
    return 0;
}
