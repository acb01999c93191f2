#include "game/LoadSlotMenu.h"

int TrackLoadSlotMenu(int, int)
{
    // FIXME: the popup menu and its save slots are not part of the game yet;
    // until they are, the menu closes with nothing chosen.
    return 0;
}
