#pragma once
// The user system file: the player's settings, the system variables, the
// pictures and the scenes seen so far, laid over gConfig at start-up and
// written back at exit (and after options, saves and scenario requests).
#include <set>
#include <string>

// The lower-cased names of every picture shown so far (the gallery offers them).
extern std::set<std::string> gSeenPictures;

// Lays the file over gConfig, gSeenPictures and gSceneSeen: 0 when read,
// 1 when it cannot be loaded (then nothing changes).
int LoadSystemData(std::string fileName);
// Writes the file anew (through a temporary file renamed into place):
// 0 when written, 1 when writing failed (the old file is then kept and the
// failure reported through ReportWriteFailure).
int SaveSystemData(std::string fileName);
