#include "frame/ErrorLog.h"

#include <cstdarg>
#include <cstdio>

#include "frame/DebugOutput.h"

CErrorLog gErrorLog;

int CErrorLog::Print(const char* format, ...)
{
    // Formatting is skipped entirely while nobody reads the log.
    if (!DebugOutputEnabled()) {
        return 0;
    }
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return PrintString(text);
}

int CErrorLog::PrintString(const std::string& text)
{
    if (text.empty() || text.back() != '\n') {
        DebugOutput(text + "\n");
    } else {
        DebugOutput(text);
    }
    return 0;
}
