// Profile files, plain and scrambled: parsing must never fail unsafely, and
// whatever parses must survive a write and a re-read unchanged. The one-value
// scan, fed the text in pieces of a size the input picks, must find what the
// full parse finds wherever the section is not reopened.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "frame/ProfileFile.h"
#include "frame/ProfileLine.h"
#include "frame/ProfileScramble.h"
#include "frame/ProfileValueScan.h"

namespace {

// How many times the text opens a section of that name.
int Openings(std::string_view text, const std::string& name)
{
    int count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const ProfileLine line = NextProfileLine(text, &pos);
        count += line.kind == ProfileLine::kSection && line.name == name;
    }
    return count;
}

void CheckScan(const ProfileFile& profile, std::string_view text, size_t piece)
{
    for (const ProfileFile::Section& s : profile.Sections()) {
        if (Openings(text, s.name) != 1) {
            continue;
        }
        for (const auto& entry : s.entries) {
            size_t at = 0;
            auto read = [&](char* buffer, size_t capacity) {
                const size_t n = std::min({piece, capacity, text.size() - at});
                std::memcpy(buffer, text.data() + at, n);
                at += n;
                return n;
            };
            std::string value;
            if (ScanProfileValue(read, s.name, entry.first, &value) != 0 || value != entry.second) {
                std::abort();  // the scan and the full parse disagree
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ProfileFile profile;
    if (profile.loadFromMemory(data, size) != 0) {
        return 0;
    }
    if (!profile_scramble::LooksScrambled(data, size)) {
        const size_t piece = 1 + (size > 0 ? data[0] % 97 : 0);
        CheckScan(profile, std::string_view(reinterpret_cast<const char*>(data), size), piece);
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
