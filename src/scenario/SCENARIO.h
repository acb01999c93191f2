#pragma once
// SCENARIO: one compiled scenario file ("NASDAP66") held in memory, checked
// once at load so that the executor can trust every offset afterwards.
// The layout is in docs/FORMATS.md.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "scenario/Opcodes.h"

namespace scenario {

enum class LoadResult : int {
    kOk = 0,
    kFileNotFound = 1,   // the file layer could not read it
    kTooShort = 2,       // shorter than the header or the section table
    kBadMagic = 3,
    kBadSectionTable = 4,  // a section outside the file, repeated, or too many
    kNoText = 5,           // ".Text" missing or not a multiple of 8 bytes
    kBadVal = 6,           // ".Val" not a multiple of 8 bytes
    kBadCmap = 7,          // ".CMAP" malformed or naming a string outside ".ROData"
    kBadString = 8,        // ".ROData" not ending in a zero byte
};

std::string_view ToString(LoadResult result);

// Reads a whole file through the file layer; 0 and the bytes on success.
// The executor takes one of these so that tests can serve scenarios from memory.
using FileReader = int (*)(void* context, const std::string& name, std::vector<uint8_t>* out);
int ReadThroughFileLayer(void* context, const std::string& name, std::vector<uint8_t>* out);

}  // namespace scenario

class SCENARIO {
public:
    // Version 2: show and replace take four stack values (no anchor operand),
    // quake and flash take theirs from the stack. Version 1 files are refused
    // rather than misread.
    static constexpr uint32_t kFormatVersion = 2;
    static constexpr size_t kHeaderSize = 16;
    static constexpr size_t kSectionEntrySize = 16;
    static constexpr uint32_t kMaxSections = 16;

    // Parses the bytes (copied); on failure the object is left empty.
    scenario::LoadResult loadFromMemory(const void* data, size_t size);
    // Empties the object.
    void clear();
    bool empty() const { return text_.empty(); }

    // Number of instructions in ".Text".
    size_t size() const { return text_.size(); }
    // The instruction at an index below size().
    const scenario::Instruction& at(size_t index) const { return text_[index]; }
    // The zero-terminated string at an offset of ".ROData": true and the text,
    // false (out untouched) when the offset is outside the section.
    bool getText(int32_t offset, std::string* out) const;
    // The ".Val" defaults: variable number -> initial value.
    const std::map<int32_t, int32_t>& defaults() const { return defaults_; }
    // The ".CMAP" file name of a file number: true and the name, false when absent.
    bool fileName(uint16_t number, std::string* out) const;

private:
    std::vector<scenario::Instruction> text_;
    std::vector<char> rodata_;
    std::map<int32_t, int32_t> defaults_;
    std::map<uint16_t, std::string> files_;
};
