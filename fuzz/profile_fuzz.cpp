// Profile files, plain and scrambled: parsing must never fail unsafely, and
// whatever parses must survive a write and a re-read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "frame/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ProfileFile profile;
    if (profile.loadFromMemory(data, size) != 0) {
        return 0;
    }
    std::string value;
    int number = 0;
    for (const ProfileFile::Section& s : profile.Sections()) {
        for (const auto& entry : s.entries) {
            profile.GetString(s.name, entry.first, &value);
            profile.GetInt(s.name, entry.first, &number);
        }
    }
    for (int scrambled = 0; scrambled < 2; ++scrambled) {
        std::string bytes = profile.serialize(scrambled);
        ProfileFile again;
        if (again.loadFromMemory(bytes.data(), bytes.size()) != 0) {
            std::abort();  // our own output must load
        }
        // Names with line breaks, "=" or "]" cannot round-trip through the
        // text form; everything the parser produced can.
        if (again.serialize(0) != profile.serialize(0)) {
            std::abort();
        }
    }
    return 0;
}
