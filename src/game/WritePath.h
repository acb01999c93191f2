#pragma once
// The files the engine writes are named by the game's settings file, which
// arrives with the game as data: "userini" and the "savedataFormat" slots must
// stay inside the game folder, so a downloaded game cannot overwrite any other
// file of the player's.
#include <string>

// Why the Shift-JIS name would be written outside the game folder (an
// absolute path, a drive letter, a ".." component); empty when it stays inside.
std::string WritePathError(const std::string& name);

