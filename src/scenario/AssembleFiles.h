#pragma once
// Assembling scenario source files on disk, for tools/nsasm and the demo
// builder: every source is assembled together with the others (so far jumps
// and calls can name each other's labels) and written into one folder.
#include <string>
#include <vector>

#include "scenario/ScenarioAssembler.h"

namespace scenario {

// The compiled name of a source file: "start.nss" -> "start.nsd", and a name
// that keeps an extension of its own drops ".nss" ("scenejump.dat.nss" -> "scenejump.dat").
std::string CompiledName(const std::string& sourceFileName);

// Assembles the files (UTF-8 sources) and writes each under outDir; true on
// success, else false with the errors (nothing is written when any source
// fails). With `assembled`, it also receives the outputs (names, bytes, labels).
bool AssembleFiles(const std::vector<std::string>& sourcePaths, const std::string& outDir, std::string* errors,
                   std::vector<AsmOutput>* assembled = nullptr);

}  // namespace scenario
