#pragma once
// WinMain: the program's start-up and shut-down around the game.
#include <cstdint>
#include <string>

// The debug switch read by the frame loop (the variable watch) and the
// scenario engine; WinMain sets it from LANTERN_DEBUG (non-empty, not "0").
extern uint8_t gDebugMode;

// Runs the program: settings, user system file, single-instance guard, the
// game, and the user system file again at the end. Returns 1 when the
// settings file cannot be read (after telling the player), kExitFatalError
// (ErrorReport.h) when the game ended by a fatal error, else 0.
int WinMain(void* instance, void* previousInstance, const std::string& commandLine, int showCommand);
