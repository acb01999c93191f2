#pragma once
// The small text files the gallery and the scene replay read. Lines end in
// CR LF (a bare LF is taken as well; the last line may lack an end). The
// parsers take the file's bytes and never fail: what they cannot use, they
// skip.
#include <array>
#include <map>
#include <string>
#include <vector>

// "cg\thumbgroup.txt": one group a line, in display order; a line is picture
// names separated by single spaces, taken as they stand (two spaces give an
// empty name; an empty line a group of one empty name).
std::vector<std::vector<std::string>> ParseThumbGroups(const std::string& text);

// "replay\tf_<key>.txt": "<number> <file>" a line. The number is read as a
// decimal from the text before the first space (leading blanks and a sign
// allowed, stops at the first non-digit, saturated to 32 bits); the rest of
// the line is a file in the folder "replay". Lines without a space are
// skipped; a number given twice keeps the later file. Map: number ->
// "replay\<file>".
std::map<unsigned int, std::string> ParseSceneList(const std::string& text);

// The scene replay's character rows.
constexpr int kReplayCharacters = 9;
constexpr size_t kMaxCharacterKey = 8;
// "replay\characters.txt": the key of character 0, 1, ... 8, one a line. A
// key is 1 to 8 bytes of 'a'-'z', '0'-'9' and '_'; any other line (and a
// row past the file's end) leaves its row empty. Lines past the ninth are
// ignored.
std::array<std::string, kReplayCharacters> ParseCharacterKeys(const std::string& text);

// The whole file through the file layer; false (and *text untouched) when it
// cannot be read.
bool ReadGameTextFile(const std::string& name, std::string* text);
