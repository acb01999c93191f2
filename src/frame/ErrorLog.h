#pragma once
// CErrorLog: the one place the framework, file, sound and movie classes hand
// their Shift-JIS error messages to. With the debug switch on (LANTERN_DEBUG,
// see DebugOutput.h) each message goes to stderr as one line; otherwise it is
// dropped. The messages a player must see go to a message box instead.
#include <string>

class CErrorLog {
public:
    // Formats like printf and writes the line when debug output is on; returns 0.
    int Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes the text as one line when debug output is on; returns 0.
    int PrintString(const std::string& text);
};

extern CErrorLog gErrorLog;
