// Profile files, plain and scrambled: parsing must never fail unsafely, and
// whatever parses must survive a write and a re-read unchanged. The one-value
// scan, fed the text in pieces of a size the input picks, must find what the
// full parse finds wherever the section is not reopened (for a sample of the
// keys, spread over the file).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "frame/ProfileFile.h"
#include "frame/ProfileLine.h"
#include "frame/ProfileScramble.h"
#include "frame/ProfileValueScan.h"

namespace {

// One-value scans per input. Each reads the text up to the end of its
// section, so scanning every key would cost keys x text: a sample keeps large
// files fuzzing at full speed. Each scan may ask for up to text / piece
// pieces, and the scans together for about kMaxPieces, so that a large text
// in tiny pieces costs no more than in large ones (it gets fewer scans, but
// still at least one).
constexpr size_t kMaxScans = 32;
constexpr size_t kMaxPieces = size_t{1} << 19;

// How many times the text opens each section name, in one pass.
std::map<std::string, int, std::less<>> Openings(std::string_view text)
{
    std::map<std::string, int, std::less<>> count;
    size_t pos = ProfileTextStart(text);
    while (pos < text.size()) {
        ProfileLine line = NextProfileLine(text, &pos);
        if (line.kind == ProfileLine::kSection) {
            ++count[std::move(line.name)];
        }
    }
    return count;
}

// Visits every step-th of places 0..n-1 from seed % step on: ceil(n / step)
// places at most.
template <typename Visit>
void Spread(size_t n, size_t step, size_t seed, Visit visit)
{
    for (size_t i = seed % step; i < n; i += step) {
        visit(i);
    }
}

size_t CeilDiv(size_t a, size_t b)
{
    return (a + b - 1) / b;
}

// Scans for a sample of the keys of the sections opened once, spread evenly
// over those sections and within each; seed (from the input) moves the sample.
void CheckScan(const ProfileFile& profile, std::string_view text, size_t piece, size_t seed)
{
    const auto openings = Openings(text);
    std::vector<const ProfileFile::Section*> once;
    for (const ProfileFile::Section& s : profile.Sections()) {
        const auto it = openings.find(s.name);
        if (it != openings.end() && it->second == 1 && !s.entries.empty()) {
            once.push_back(&s);
        }
    }
    if (once.empty()) {
        return;
    }
    const size_t piecesPerScan = CeilDiv(text.size() + 1, piece);  // + 1: the last read, which gives 0
    const size_t scans = std::clamp(kMaxPieces / piecesPerScan, size_t{1}, kMaxScans);
    const size_t sectionStep = CeilDiv(once.size(), scans);
    const size_t perSection = scans / CeilDiv(once.size(), sectionStep);
    Spread(once.size(), sectionStep, seed, [&](size_t si) {
        const ProfileFile::Section& s = *once[si];
        Spread(s.entries.size(), CeilDiv(s.entries.size(), perSection), seed, [&](size_t ki) {
            const auto& entry = s.entries[ki];
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
        });
    });
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
        const size_t seed = size > 0 ? data[size - 1] : 0;
        CheckScan(profile, std::string_view(reinterpret_cast<const char*>(data), size), piece, seed);
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
