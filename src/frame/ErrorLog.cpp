#include "frame/ErrorLog.h"

CErrorLog gErrorLog;

// The messages are formatted by nobody: the log exists so that callers have
// one place to report to, and the program shows nothing from it.
int CErrorLog::Print(const char* /*format*/, ...)
{
    return 0;
}

int CErrorLog::PrintString(const std::string& /*text*/)
{
    return 0;
}
