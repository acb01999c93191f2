#include "frame/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/TextEncoding.h"

bool DebugOutputEnabled()
{
    const char* value = std::getenv("LANTERN_DEBUG");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

void DebugOutput(const std::string& sjisText)
{
    if (!DebugOutputEnabled()) {
        return;
    }
    std::string text = SjisToUtf8(sjisText);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}
