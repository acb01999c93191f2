#pragma once
// "scenario\VarDef.map": the names of the scenario's variables for the debug
// variable watch, one "number name" line each (a decimal number, white space,
// a name without spaces; anything after the name is ignored). Lines of any
// other shape are skipped; a later line for the same number replaces the
// earlier name. Names are Shift-JIS and may be of any length.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

using VarNames = std::map<int32_t, std::string>;

// Parses the text of the file (LF or CR LF lines); never fails.
VarNames ParseVarDefMap(std::string_view text);

// Reads the file through the file layer (loose file or archive entry);
// an empty map when it cannot be read.
VarNames LoadVarDefMap(const std::string& name);
