// demobuild: builds the demo game folder from the project's demo sources.
//   demobuild <demo-folder> <output-folder>
// Assembles every scenario source of <demo-folder>/scenario, writes
// "scenario\scene.dat" from the scene labels of the jump table's source
// ("scene<N>:" in scenejump.dat.nss), copies the settings file
// "scenario\brask.ini" and the screens' text files (the folders "cg" and
// "replay"), makes "savedata", and checks that the result starts: every
// settings key is present and the first scenario exists.
// Pictures and sounds are made by the project's own generators as the game
// grows; each adds its step here.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/FileLayer.h"
#include "game/GameConfig.h"
#include "scenario/AssembleFiles.h"
#include "scenario/SceneOffsetMap.h"

namespace fs = std::filesystem;

namespace {

// "scenario\scene.dat" from the "scene<N>" labels of "scenejump.dat", in
// ascending scene number; false (with a message) when there is none.
bool WriteSceneMap(const std::vector<scenario::AsmOutput>& assembled, const fs::path& path)
{
    std::vector<std::pair<int32_t, int32_t>> entries;
    for (const scenario::AsmOutput& output : assembled) {
        if (output.name != "scenejump.dat")
            continue;
        for (const auto& [label, index] : output.labels) {
            int32_t scene = 0;
            if (scenario::SceneNumberOfLabel(label, &scene))
                entries.emplace_back(scene, static_cast<int32_t>(index));
        }
    }
    if (entries.empty()) {
        std::fprintf(stderr, "demobuild: scenejump.dat has no scene labels\n");
        return false;
    }
    std::sort(entries.begin(), entries.end());
    const std::vector<uint8_t> bytes = scenario::WriteSceneOffsetMap(entries);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "demobuild: %s cannot be written\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: demobuild <demo-folder> <output-folder>\n");
        return 2;
    }
    const fs::path demo = argv[1];
    const fs::path out = argv[2];
    std::error_code ec;
    fs::create_directories(out / "scenario", ec);
    fs::create_directories(out / "savedata", ec);

    std::vector<std::string> sources;
    for (const auto& entry : fs::directory_iterator(demo / "scenario", ec)) {
        if (entry.path().extension() == ".nss")
            sources.push_back(entry.path().string());
    }
    std::sort(sources.begin(), sources.end());
    std::string errors;
    std::vector<scenario::AsmOutput> assembled;
    if (sources.empty() || !scenario::AssembleFiles(sources, (out / "scenario").string(), &errors, &assembled)) {
        std::fprintf(stderr, "demobuild: scenarios: %s\n", sources.empty() ? "no sources" : errors.c_str());
        return 1;
    }
    if (!WriteSceneMap(assembled, out / "scenario" / "scene.dat"))
        return 1;
    for (const char* folder : {"cg", "replay"}) {
        fs::copy(demo / folder, out / folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec) {
            std::fprintf(stderr, "demobuild: %s: %s\n", folder, ec.message().c_str());
            return 1;
        }
    }
    fs::copy_file(demo / "scenario" / "brask.ini", out / "scenario" / "brask.ini",
                  fs::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "demobuild: brask.ini: %s\n", ec.message().c_str());
        return 1;
    }

    // The folder must start: the same reader as the game, on the result.
    SetStartDirectory(fs::absolute(out).string());
    const int code = LoadConfig("scenario\\brask.ini");
    if (code != 0) {
        std::fprintf(stderr, "demobuild: brask.ini lacks a key (code %d)\n", code);
        return 1;
    }
    if (!fs::exists(out / "scenario" / gConfig.scnstart)) {
        std::fprintf(stderr, "demobuild: scnstart %s was not built\n", gConfig.scnstart.c_str());
        return 1;
    }
    return 0;
}
