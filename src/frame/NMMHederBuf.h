#pragma once
// NMMHederBuf: the 256-byte header of a ".NMM" archive, and the layout of its
// 512-byte directory entries (docs/FORMATS.md). All numbers little-endian.
#include <cstddef>
#include <cstdint>
#include <string>

namespace nmm {

constexpr size_t kHeaderSize = 256;
constexpr size_t kEntrySize = 512;
constexpr uint32_t kVersion = 1;
// Entry names are Shift-JIS, NUL-terminated inside the first 260 bytes
// (the longest Windows path plus its terminator).
constexpr size_t kNameField = 260;
// No entry unpacks to more than this; guards allocations against a hostile
// directory.
constexpr uint64_t kMaxUnpackedSize = 512ull * 1024 * 1024;

enum Method : uint32_t {
    kStored = 0,
    kLzss = 1,
    kDxor = 2,
};

}  // namespace nmm

class NMMHederBuf {
public:
    uint8_t bytes[nmm::kHeaderSize] = {};

    // A header for `entryCount` entries right after it, scrambled with `key`.
    static NMMHederBuf Make(uint32_t entryCount, uint8_t key);
    // True when the magic and version are right.
    bool IsValid() const;
    uint32_t EntryCount() const;
    uint32_t DirectoryOffset() const;
    uint8_t Key() const;
};

// One decoded directory entry.
struct NmmEntry {
    std::string name;  // Shift-JIS, as stored
    uint32_t offset = 0;
    uint32_t storedSize = 0;
    uint32_t unpackedSize = 0;
    uint32_t method = nmm::kStored;
};

// Little-endian field access shared by the reader and the packer.
inline uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void WriteLe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Unscrambles and checks one 512-byte entry; true and *out filled when the
// name is terminated and not empty and the method is known.
bool DecodeNmmEntry(const uint8_t* scrambled, uint8_t key, NmmEntry* out);
// The 512 scrambled bytes of an entry (the name must fit in 259 bytes).
void EncodeNmmEntry(const NmmEntry& entry, uint8_t key, uint8_t* scrambled);
