#include "game/ScreenTextFiles.h"

#include <climits>
#include <cstdint>

#include "frame/File.h"

namespace {

// Calls line(text) for every line, without its CR LF (or LF).
template <typename Fn>
void ForEachLine(const std::string& text, Fn line)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        if (end > start && text[end - 1] == '\r' && end < text.size())
            --end;
        line(text.substr(start, end - start));
        start = next;
    }
}

// The C runtime's decimal reading: blanks, a sign, digits up to the first
// other byte; saturated instead of overflowing.
int32_t ReadDecimal(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int64_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1)
            value = static_cast<int64_t>(INT32_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<int32_t>(value);
}

bool IsKey(const std::string& s)
{
    if (s.empty() || s.size() > kMaxCharacterKey)
        return false;
    for (char c : s) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::vector<std::string>> ParseThumbGroups(const std::string& text)
{
    std::vector<std::vector<std::string>> groups;
    ForEachLine(text, [&](const std::string& line) {
        std::vector<std::string> names;
        size_t start = 0;
        for (;;) {
            const size_t space = line.find(' ', start);
            names.push_back(line.substr(start, space == std::string::npos ? std::string::npos : space - start));
            if (space == std::string::npos)
                break;
            start = space + 1;
        }
        groups.push_back(std::move(names));
    });
    return groups;
}

std::map<unsigned int, std::string> ParseSceneList(const std::string& text)
{
    std::map<unsigned int, std::string> scenes;
    ForEachLine(text, [&](const std::string& line) {
        const size_t space = line.find(' ');
        if (space == std::string::npos)
            return;
        const auto number = static_cast<unsigned int>(ReadDecimal(line.substr(0, space)));
        scenes[number] = "replay\\" + line.substr(space + 1);
    });
    return scenes;
}

std::array<std::string, kReplayCharacters> ParseCharacterKeys(const std::string& text)
{
    std::array<std::string, kReplayCharacters> keys;
    size_t row = 0;
    ForEachLine(text, [&](const std::string& line) {
        if (row < keys.size() && IsKey(line))
            keys[row] = line;
        ++row;
    });
    return keys;
}

bool ReadGameTextFile(const std::string& name, std::string* text)
{
    CFile file;
    if (file.Load(name) != 0)
        return false;
    const uint8_t* data = file.GetData();
    text->assign(data ? reinterpret_cast<const char*>(data) : "", data ? file.GetSize() : 0);
    return true;
}
