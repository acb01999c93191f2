#include "game/WritePath.h"

#include <cstdio>
#include <cstring>

#include "platform/TextEncoding.h"

namespace {

// Whether the pattern holds nothing but text, "%%" and at most one integer
// conversion with flags and a width ("%02d"): anything else given to printf
// with one int would read arguments that are not there.
bool IsSlotPattern(const std::string& pattern)
{
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); i += platform::SjisCharLength(pattern, i)) {
        if (pattern[i] != '%')
            continue;
        size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '%') {
            i = j;
            continue;
        }
        while (j < pattern.size() && std::strchr("-+ #0", pattern[j]))
            ++j;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && j - i < 4)
            ++j;
        if (j >= pattern.size() || !std::strchr("diuxXo", pattern[j]) || ++conversions > 1)
            return false;
        i = j;
    }
    return true;
}

}  // namespace

std::string WritePathError(const std::string& name)
{
    if (!name.empty() && (name[0] == '\\' || name[0] == '/'))
        return "an absolute path";
    if (name.size() >= 2 && name[1] == ':')
        return "a drive letter";
    // Components split at "\" and "/", walking whole characters: a Shift-JIS
    // trail byte can be 0x5C without being a separator.
    std::string component;
    for (size_t i = 0; i <= name.size();) {
        if (i == name.size() || name[i] == '\\' || name[i] == '/') {
            if (component == "..")
                return "a \"..\" component";
            if (component.find(':') != std::string::npos)
                return "a drive letter";
            component.clear();
            ++i;
            continue;
        }
        const size_t length = platform::SjisCharLength(name, i);
        component.append(name, i, length);
        i += length;
    }
    return {};
}

bool FormatSaveSlotName(const std::string& pattern, int slot, std::string* out)
{
    if (!IsSlotPattern(pattern))
        return false;
    char name[1024];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(name, sizeof name, pattern.c_str(), slot);
#pragma GCC diagnostic pop
    if (length < 0 || static_cast<size_t>(length) >= sizeof name || !WritePathError(name).empty())
        return false;
    *out = name;
    return true;
}
