#pragma once
// "scenario\scene.dat": where each replayable scene starts in the scene jump
// table ("scenario\scenejump.dat"). Magic "SSAD", a big-endian entry count,
// then {scene number, position} pairs, big-endian. The scene replay screen
// reads it; tools/demobuild writes it from the scene labels of the jump
// table's source.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace scenario {

enum class SceneMapResult {
    kOk = 0,
    kEmpty = 1,     // no bytes (or the file could not be read)
    kBadMagic = 2,  // the first four bytes are not "SSAD"
};
const char* ToString(SceneMapResult result);

// Enters the entries into *positions (a number given twice keeps the later
// position). The count is bounded by the bytes present: a count larger than
// the entries that follow reads only those, and a file too short for the
// count reads none. *positions is untouched unless kOk.
SceneMapResult ReadSceneOffsetMap(const uint8_t* data, size_t size, std::map<int, int>* positions);

// The file for the entries, in the order given.
std::vector<uint8_t> WriteSceneOffsetMap(const std::vector<std::pair<int32_t, int32_t>>& entries);

// The scene number a jump-table label names: "scene<N>" with N a decimal
// number (an optional '-' and 1 to 9 digits); false for any other label.
bool SceneNumberOfLabel(const std::string& label, int32_t* number);

}  // namespace scenario
