#pragma once
// The debugger-output channel of the file layer, the archive reader and the
// profile reader ("Failed! - ..." diagnostics). Silent unless the environment
// variable LANTERN_DEBUG is set to a non-empty value other than "0"; then each
// Shift-JIS text is written to stderr as UTF-8.
#include <string>

// Writes the text when debug output is on; never fails.
void DebugOutput(const std::string& sjisText);
// Whether LANTERN_DEBUG is set now.
bool DebugOutputEnabled();
