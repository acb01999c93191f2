// demobuild: builds the demo game folder from the project's demo sources.
//   demobuild <demo-folder> <output-folder>
// Assembles every scenario source of <demo-folder>/scenario, copies the
// settings file "scenario\brask.ini", makes "savedata", and checks that the
// result starts: every settings key is present and the first scenario exists.
// Pictures and sounds are made by the project's own generators as the game
// grows; each adds its step here.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/FileLayer.h"
#include "game/GameConfig.h"
#include "scenario/AssembleFiles.h"

namespace fs = std::filesystem;

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
    if (sources.empty() || !scenario::AssembleFiles(sources, (out / "scenario").string(), &errors)) {
        std::fprintf(stderr, "demobuild: scenarios: %s\n", sources.empty() ? "no sources" : errors.c_str());
        return 1;
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
