#pragma once
// What the player and the logs are told when something goes wrong beyond the
// game's own message boxes: a fatal error that ends the game (its detail line
// always reaches stderr and the process ends with a failure status), and a
// failed write of the player's progress (a box once per run, stderr always).
// Once the program is ending, failures reach stderr only: a box then would
// stand with no window under it and keep the process from ending.
// Texts are Shift-JIS; stderr gets UTF-8 lines that begin with "lantern: ".
#include <string>

// The process exit status after a fatal error (the settings failure keeps 1).
constexpr int kExitFatalError = 2;

// Writes "lantern: <detail>" to stderr; never fails. A line equal to the one
// written before it is only counted: the run ends with one line
// "<line> (repeated N times)" when another line comes or at FlushErrorLines,
// so a failure met at every frame cannot flood the log.
void WriteErrorLine(const std::string& sjisDetail);
// Writes the count of a pending run of repeated lines (WinMain's end, and
// at exit).
void FlushErrorLines();

// Records that the game ended by a fatal error and writes its detail line to
// stderr. The box, if any, is the caller's.
void ReportFatalError(const std::string& sjisDetail);
// True once ReportFatalError ran in this process (until the reset below).
bool FatalErrorReported();

// A write of the user system file, a save slot or any other file the engine
// writes failed: stderr every time; the first failure of the run also shows
// "セーブデータを書き込めませんでした" with the name and the reason (caption
// "えら"), so the player learns that progress is not being kept without
// being stopped by a box at every later save. No box once the program is
// ending (MarkProgramEnding, or a signal or close asked it to end).
void ReportWriteFailure(const std::string& sjisName, const std::string& reason);

// Records that the program is ending (the game's loop is over): from now on
// no failure opens a box.
void MarkProgramEnding();

// Forgets the records above (tests, and the start of WinMain).
void ResetErrorReports();
