// nsasm: assembles scenario sources into compiled "NASDAP66" files.
//   nsasm [-o <folder>] <source.nss>...
// All sources are assembled together, so far jumps and calls may name each
// other's labels; the outputs go into the folder (default: the current one).
#include <cstdio>
#include <string>
#include <vector>

#include "scenario/AssembleFiles.h"

int main(int argc, char** argv)
{
    std::string outDir = ".";
    std::vector<std::string> sources;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc)
            outDir = argv[++i];
        else
            sources.push_back(arg);
    }
    if (sources.empty()) {
        std::fprintf(stderr, "usage: nsasm [-o <folder>] <source.nss>...\n");
        return 2;
    }
    std::string errors;
    if (!scenario::AssembleFiles(sources, outDir, &errors)) {
        std::fputs(errors.c_str(), stderr);
        return 1;
    }
    return 0;
}
