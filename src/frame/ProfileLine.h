#pragma once
// ProfileLine: what one line of a profile's plain text says, by the rules
// of docs/FORMATS.md. Every reader of profile text cuts its lines here, so
// they all agree on blanks, comments, section headers and the key split.
#include <cstddef>
#include <string>
#include <string_view>

struct ProfileLine {
    enum Kind { kNothing, kSection, kEntry };
    Kind kind = kNothing;  // kNothing: empty, a comment, or not a key line
    std::string name;      // the section name, or the entry's key
    std::string value;     // the entry's value
};

// The UTF-8 byte-order mark some text editors put at the very start of a file.
inline constexpr std::string_view kProfileByteOrderMark = "\xEF\xBB\xBF";

// Where a profile's text begins: past a byte-order mark at its very start,
// else 0. Anywhere else the mark's bytes are ordinary text.
size_t ProfileTextStart(std::string_view text);

// The line that starts at *pos in text (an LF or the end of text ends it, a
// CR before the LF is dropped); *pos moves past its LF.
ProfileLine NextProfileLine(std::string_view text, size_t* pos);
