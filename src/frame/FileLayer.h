#pragma once
// The file layer: the program names files Windows-style in Shift-JIS
// ("scenario\brask.ini"); here such a name becomes a host path (UTF-8, "/"),
// relative names resolve against the start directory recorded by
// SetWinMainArgs, and every path component matches case-insensitively (the
// game's data comes from case-insensitive file systems). A loose file comes
// before the entry of the ".NMM" archive named after the file's folder
// ("cg\a.png" -> entry "a.png" of "cg.NMM" beside the folder "cg").
#include <string>

#include "frame/NMMHederBuf.h"

struct WinMainArgs {
    void* instance = nullptr;
    void* previousInstance = nullptr;
    std::string commandLine;
    int showCommand = 0;
};

// Stores the four start values and records the current directory as the
// start directory. No result, no failure.
void SetWinMainArgs(void* instance, void* previousInstance, const std::string& commandLine,
                    int showCommand);
// The values stored by SetWinMainArgs (empty before it).
const WinMainArgs& GetWinMainArgs();
// The start directory as a host path without a trailing "/"; the current
// directory when SetWinMainArgs has not run.
std::string GetStartDirectory();
// Replaces the start directory (tools and tests that work on a game folder);
// a relative path is taken from the current directory.
void SetStartDirectory(const std::string& hostPath);

// The text after the last "." of the file-name part (after the last "\" or
// "/"); empty when there is none.
std::string GetFileExtension(const std::string& path);
// Lower-cases ASCII letters in place, leaving the second byte of each
// Shift-JIS double-byte character alone.
void MakeLowerSjis(std::string& text);
// The name as an absolute host path: a Shift-JIS name is converted to UTF-8,
// "\" becomes "/", a relative name is joined to the start directory, "." and
// ".." are folded, and each existing component takes its on-disk spelling.
// A host path that is already absolute ("/...") passes through the same
// folding, so the result can be handed back in.
// Every name stays in the game folder (the start directory): a ".." that
// climbs above it, a name starting with "\", a drive letter or ":" in the
// name, and a host path outside the folder give an empty result (which opens
// nothing). The check is lexical: links inside the folder are followed.
std::string MakeFullPath(const std::string& name);
// True when the name resolves to a loose file or an archive entry (inside
// the game folder, as for MakeFullPath).
bool FileExists(const std::string& path);

// Where a name was found.
struct FileLocation {
    enum Kind { kNone, kLoose, kArchive };
    Kind kind = kNone;
    std::string hostPath;   // the loose file, or the archive
    std::string entryName;  // Shift-JIS entry name inside the archive
    NmmEntry entry;         // the checked directory entry (kArchive)
};
// Looks a name up (loose file first, then the folder's archive); true and
// *out filled when found, false and *out untouched when not, or when the
// name leaves the game folder (see MakeFullPath).
bool FindGameFile(const std::string& name, FileLocation* out);
// Forgets cached directory listings and archive directories.
void FlushFileLayerCache();
