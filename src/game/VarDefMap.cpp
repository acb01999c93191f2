#include "game/VarDefMap.h"

#include <charconv>

#include "frame/File.h"

namespace {

// The C locale's white space, as the names were always split on it. Shift-JIS
// trail bytes are 0x40 and above, so a name is never cut inside a character.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "number name" line into *number and *name; false for any other shape.
bool ParseLine(std::string_view line, int32_t* number, std::string* name)
{
    // The text of a line ends at a NUL byte, as it did for the C library.
    line = line.substr(0, line.find('\0'));
    size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    // from_chars takes a minus sign but not a plus sign; either, not both.
    if (pos + 1 < line.size() && line[pos] == '+' && line[pos + 1] != '-')
        ++pos;
    const char* first = line.data() + pos;
    const char* last = line.data() + line.size();
    const auto [end, error] = std::from_chars(first, last, *number);
    if (error != std::errc() || end == last || !IsBlank(*end))
        return false;
    pos = static_cast<size_t>(end - line.data());
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    size_t stop = pos;
    while (stop < line.size() && !IsBlank(line[stop]))
        ++stop;
    if (stop == pos)
        return false;
    *name = std::string(line.substr(pos, stop - pos));
    return true;
}

}  // namespace

VarNames ParseVarDefMap(std::string_view text)
{
    VarNames names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        int32_t number = 0;
        std::string name;
        if (ParseLine(text.substr(start, end - start), &number, &name))
            names[number] = std::move(name);
        start = end + 1;
    }
    return names;
}

VarNames LoadVarDefMap(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0 || !file.GetData())
        return {};
    return ParseVarDefMap(std::string_view(reinterpret_cast<const char*>(file.GetData()), file.GetSize()));
}
