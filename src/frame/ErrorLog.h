#pragma once
// CErrorLog: the one place the framework, file, sound and movie classes hand
// their Shift-JIS error messages to. It keeps and shows nothing; the messages
// a player must see go to a message box instead.
#include <string>

class CErrorLog {
public:
    // Formats like printf and discards the text; returns 0.
    int Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Discards the text; returns 0.
    int PrintString(const std::string& text);
};

extern CErrorLog gErrorLog;
