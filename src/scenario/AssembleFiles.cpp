#include "scenario/AssembleFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "scenario/ScenarioAssembler.h"

namespace scenario {

std::string CompiledName(const std::string& sourceFileName)
{
    std::string name = std::filesystem::path(sourceFileName).filename().string();
    const std::string suffix = ".nss";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    if (std::filesystem::path(name).extension().empty())
        name += ".nsd";
    return name;
}

bool AssembleFiles(const std::vector<std::string>& sourcePaths, const std::string& outDir, std::string* errors,
                   std::vector<AsmOutput>* assembled)
{
    std::vector<AsmSource> sources;
    for (const std::string& path : sourcePaths) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *errors = path + ": cannot be read\n";
            return false;
        }
        std::stringstream text;
        text << in.rdbuf();
        sources.push_back({CompiledName(path), text.str(), true});
    }
    std::vector<AsmOutput> outputs;
    if (!ScenarioAssembler().assemble(sources, &outputs, errors))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    for (const AsmOutput& output : outputs) {
        const std::string path = outDir + "/" + output.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(output.bytes.data()), static_cast<std::streamsize>(output.bytes.size()));
        if (!out.flush()) {
            *errors = path + ": cannot be written\n";
            return false;
        }
    }
    if (assembled)
        *assembled = std::move(outputs);
    return true;
}

}  // namespace scenario
