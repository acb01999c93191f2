#pragma once
// What the player and the logs are told when something goes wrong beyond the
// game's own message boxes: a fatal error that ends the game (its detail line
// always reaches stderr and the process ends with a failure status), and a
// failed write of the player's progress (a box once per run, stderr always).
// Texts are Shift-JIS; stderr gets UTF-8 lines that begin with "lantern: ".
#include <string>

// The process exit status after a fatal error (the settings failure keeps 1).
constexpr int kExitFatalError = 2;

// Writes "lantern: <detail>" to stderr; never fails.
void WriteErrorLine(const std::string& sjisDetail);

// Records that the game ended by a fatal error and writes its detail line to
// stderr. The box, if any, is the caller's.
void ReportFatalError(const std::string& sjisDetail);
// True once ReportFatalError ran in this process (until the reset below).
bool FatalErrorReported();

// A write of the user system file, a save slot or any other file the engine
// writes failed: stderr every time; the first failure of the run also shows
// "セーブデータを書き込めませんでした" with the name and the reason (caption
// "えら"), so the player learns that progress is not being kept without
// being stopped by a box at every later save.
void ReportWriteFailure(const std::string& sjisName, const std::string& reason);

// Forgets both records (tests).
void ResetErrorReports();
