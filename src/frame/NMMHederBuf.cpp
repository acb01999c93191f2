#include "frame/NMMHederBuf.h"

#include <cstring>

namespace {

constexpr uint8_t kMagic[4] = {'A', 'R', 'C', 0};

// Header field offsets.
constexpr size_t kVersionAt = 4;
constexpr size_t kCountAt = 8;
constexpr size_t kDirectoryAt = 12;
constexpr size_t kKeyAt = 16;

// Entry field offsets (after unscrambling).
constexpr size_t kOffsetAt = 260;
constexpr size_t kStoredAt = 264;
constexpr size_t kUnpackedAt = 268;
constexpr size_t kMethodAt = 272;

}  // namespace

NMMHederBuf NMMHederBuf::Make(uint32_t entryCount, uint8_t key)
{
    NMMHederBuf h;
    std::memcpy(h.bytes, kMagic, sizeof(kMagic));
    WriteLe32(h.bytes + kVersionAt, nmm::kVersion);
    WriteLe32(h.bytes + kCountAt, entryCount);
    WriteLe32(h.bytes + kDirectoryAt, static_cast<uint32_t>(nmm::kHeaderSize));
    h.bytes[kKeyAt] = key;
    return h;
}

bool NMMHederBuf::IsValid() const
{
    return std::memcmp(bytes, kMagic, sizeof(kMagic)) == 0 &&
           ReadLe32(bytes + kVersionAt) == nmm::kVersion;
}

uint32_t NMMHederBuf::EntryCount() const
{
    return ReadLe32(bytes + kCountAt);
}

uint32_t NMMHederBuf::DirectoryOffset() const
{
    return ReadLe32(bytes + kDirectoryAt);
}

uint8_t NMMHederBuf::Key() const
{
    return bytes[kKeyAt];
}

bool DecodeNmmEntry(const uint8_t* scrambled, uint8_t key, NmmEntry* out)
{
    uint8_t plain[nmm::kEntrySize];
    for (size_t i = 0; i < nmm::kEntrySize; ++i) {
        plain[i] = scrambled[i] ^ key;
    }
    const void* nul = std::memchr(plain, 0, nmm::kNameField);
    if (nul == nullptr || nul == plain) {
        return false;
    }
    uint32_t method = ReadLe32(plain + kMethodAt);
    if (method != nmm::kStored && method != nmm::kLzss && method != nmm::kDxor) {
        return false;
    }
    NmmEntry e;
    e.name.assign(reinterpret_cast<const char*>(plain),
                  static_cast<size_t>(static_cast<const uint8_t*>(nul) - plain));
    e.offset = ReadLe32(plain + kOffsetAt);
    e.storedSize = ReadLe32(plain + kStoredAt);
    e.unpackedSize = ReadLe32(plain + kUnpackedAt);
    e.method = method;
    *out = std::move(e);
    return true;
}

void EncodeNmmEntry(const NmmEntry& entry, uint8_t key, uint8_t* scrambled)
{
    uint8_t plain[nmm::kEntrySize] = {};
    size_t n = entry.name.size() < nmm::kNameField - 1 ? entry.name.size() : nmm::kNameField - 1;
    std::memcpy(plain, entry.name.data(), n);
    WriteLe32(plain + kOffsetAt, entry.offset);
    WriteLe32(plain + kStoredAt, entry.storedSize);
    WriteLe32(plain + kUnpackedAt, entry.unpackedSize);
    WriteLe32(plain + kMethodAt, entry.method);
    for (size_t i = 0; i < nmm::kEntrySize; ++i) {
        scrambled[i] = plain[i] ^ key;
    }
}
