#pragma once
// The start menu's "load" button shows the load slots of the game's popup
// menu at the pointer and waits for the player's choice.

// Shows the load-slot submenu with its top-left corner at client (x, y) and
// waits until it closes: the chosen command id (posted to the window as a
// window command by the caller), or 0 when nothing was chosen.
int TrackLoadSlotMenu(int x, int y);
