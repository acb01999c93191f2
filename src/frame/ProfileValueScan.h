#pragma once
// ReadProfileValue: one value of a profile file read without parsing the
// whole file, for callers that want a single key near the start of what may
// be a large file (the slot menus read each save's title this way).
#include <cstddef>
#include <functional>
#include <string>

// Reads the named file (through the file layer) line by line up to the end of
// the first block of the section that holds the key, and stops there; a
// repeat of the key within that block wins, as in ProfileFile, but a section
// reopened further down is not looked at. A scrambled file is read whole,
// since only its full checksum says it is sound. 0 and the value in *out; 1
// when the file cannot be read or the key is not there (out untouched).
int ReadProfileValue(const std::string& fileName, const std::string& section, const std::string& key,
                     std::string* out);

// The same over plain text that arrives in pieces: read(buffer, capacity)
// copies the next piece and gives its length, 0 at the end. Stops asking
// once the value is settled.
int ScanProfileValue(const std::function<size_t(char*, size_t)>& read, const std::string& section,
                     const std::string& key, std::string* out);
