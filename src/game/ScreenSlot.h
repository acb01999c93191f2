#pragma once
// The screens the frame loop opens by number, made apart from the game
// object so that the loop knows them only as CGameScreen.
#include <cstdint>

#include "game/GameScreen.h"

// Screen numbers of OpenScreen: 2 start menu, 3 scene replay, 4 CG gallery.
// A new screen (owned by the caller), or null when it cannot be made.
CGameScreen* MakeGameScreen(int number);

// What OpenScreen calls: MakeGameScreen, or the factory installed in its place.
CGameScreen* CreateGameScreen(int number);
using GameScreenFactory = CGameScreen* (*)(int number);
// Replaces the factory (null: MakeGameScreen again). Tests of the scenario
// use it to go past the start menu as a game without one would.
void SetGameScreenFactory(GameScreenFactory factory);

// The scenario position of the scene chosen on the scene-replay screen
// (command 0x200); 0 for any other screen.
int32_t FindChosenScene(CGameScreen* screen);
