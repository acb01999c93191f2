#include "frame/ProfileLine.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks are ASCII space and tab; neither is ever a Shift-JIS trail byte
// (those start at 0x40), so trimming bytes is safe on Shift-JIS text.
std::string_view Trim(std::string_view s)
{
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && IsBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
}

}  // namespace

size_t ProfileTextStart(std::string_view text)
{
    return text.substr(0, kProfileByteOrderMark.size()) == kProfileByteOrderMark ? kProfileByteOrderMark.size() : 0;
}

ProfileLine NextProfileLine(std::string_view text, size_t* pos)
{
    size_t end = text.find('\n', *pos);
    if (end == std::string_view::npos) {
        end = text.size();
    }
    size_t lineEnd = end;
    if (lineEnd > *pos && text[lineEnd - 1] == '\r') {
        --lineEnd;
    }
    const std::string_view line = Trim(text.substr(*pos, lineEnd - *pos));
    *pos = end + 1;

    ProfileLine out;
    if (line.empty() || line[0] == ';') {
        return out;
    }
    if (line[0] == '[' && line.size() >= 2 && line.back() == ']') {
        out.kind = ProfileLine::kSection;
        out.name = Trim(line.substr(1, line.size() - 2));
        return out;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return out;
    }
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) {
        return out;
    }
    out.kind = ProfileLine::kEntry;
    out.name = key;
    out.value = Trim(line.substr(eq + 1));
    return out;
}
