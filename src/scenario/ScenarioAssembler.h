#pragma once
// ScenarioAssembler: turns the readable text form of scenarios into compiled
// "NASDAP66" files. Several files are assembled together so that a far jump
// or call can name a label of another file. The text form is described in
// docs/FORMATS.md; tests, the demo game and tools/nsasm use it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scenario/Opcodes.h"

namespace scenario {

struct AsmSource {
    std::string name;   // the compiled file's name under "scenario", e.g. "start.nsd"
    std::string text;   // the source
    bool utf8 = true;   // string literals are UTF-8 and become Shift-JIS; false: kept as they are
};

struct AsmOutput {
    std::string name;
    std::vector<uint8_t> bytes;
    std::map<std::string, size_t> labels;  // label -> instruction index
};

// The sections of a compiled file before they are laid out.
struct ScenarioImage {
    std::vector<Instruction> text;
    std::vector<uint8_t> rodata;
    std::vector<std::pair<int32_t, int32_t>> val;        // variable, default
    std::vector<std::pair<uint32_t, uint32_t>> cmap;     // file number, .ROData offset
};

// Lays the sections out as a "NASDAP66" file (header, section table, sections).
std::vector<uint8_t> WriteScenarioFile(const ScenarioImage& image);

class ScenarioAssembler {
public:
    // Assembles every source; true and one output per source in the same
    // order, or false with one "name:line: message" line per error in *errors.
    bool assemble(const std::vector<AsmSource>& sources, std::vector<AsmOutput>* out, std::string* errors);
};

}  // namespace scenario
