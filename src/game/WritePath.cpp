#include "game/WritePath.h"

#include "frame/TextEncoding.h"

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
        const size_t length = SjisCharLength(name, i);
        component.append(name, i, length);
        i += length;
    }
    return {};
}
