#include "game/ScreenSlot.h"

GameScreen* CreateGameScreen(int)
{
    // FIXME: the start menu, CG gallery and scene-replay screens plug in here.
    return nullptr;
}
