// nmmpack: packs the files directly inside a folder into a ".NMM" archive.
//   nmmpack FOLDER [ARCHIVE] [--key N]
// ARCHIVE defaults to FOLDER.NMM beside the folder, the name the file layer
// looks for. File names must have a Shift-JIS form; each entry is stored or
// packed with whichever method is smallest.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/NmmPacker.h"

int main(int argc, char** argv)
{
    std::string folder;
    std::string archive;
    unsigned long key = 0xA7;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--key" && i + 1 < argc) {
            char* end = nullptr;
            key = std::strtoul(argv[++i], &end, 0);
            if (*end != '\0' || key > 255) {
                std::fprintf(stderr, "nmmpack: the key must be a number from 0 to 255\n");
                return 2;
            }
        } else if (folder.empty()) {
            folder = arg;
        } else if (archive.empty()) {
            archive = arg;
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: nmmpack FOLDER [ARCHIVE] [--key N]\n");
        return 2;
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (archive.empty()) {
        archive = folder + ".NMM";
    }
    std::string error;
    if (!PackNmmFolder(folder, archive, static_cast<uint8_t>(key), &error)) {
        std::fprintf(stderr, "nmmpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
