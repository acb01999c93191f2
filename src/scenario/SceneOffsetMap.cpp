#include "scenario/SceneOffsetMap.h"

#include <cstring>

#include "scenario/BigEndian.h"

namespace scenario {

namespace {

constexpr char kMagic[4] = {'S', 'S', 'A', 'D'};
constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 8;

}  // namespace

const char* ToString(SceneMapResult result)
{
    switch (result) {
    case SceneMapResult::kOk: return "ok";
    case SceneMapResult::kEmpty: return "empty or unreadable";
    case SceneMapResult::kBadMagic: return "not a scene offset map";
    }
    return "unknown";
}

SceneMapResult ReadSceneOffsetMap(const uint8_t* data, size_t size, std::map<int, int>* positions)
{
    if (!data || size == 0)
        return SceneMapResult::kEmpty;
    if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return SceneMapResult::kBadMagic;
    if (size < kHeaderSize)
        return SceneMapResult::kOk;
    // The count is only a claim: never read past the bytes present.
    const size_t present = (size - kHeaderSize) / kEntrySize;
    const uint32_t claimed = ReadU32(data + 4);
    const size_t count = claimed < present ? claimed : present;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + kHeaderSize + kEntrySize * i;
        (*positions)[static_cast<int32_t>(ReadU32(entry))] = static_cast<int32_t>(ReadU32(entry + 4));
    }
    return SceneMapResult::kOk;
}

std::vector<uint8_t> WriteSceneOffsetMap(const std::vector<std::pair<int32_t, int32_t>>& entries)
{
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    AppendU32(&out, static_cast<uint32_t>(entries.size()));
    for (const auto& [scene, position] : entries) {
        AppendU32(&out, static_cast<uint32_t>(scene));
        AppendU32(&out, static_cast<uint32_t>(position));
    }
    return out;
}

bool SceneNumberOfLabel(const std::string& label, int32_t* number)
{
    constexpr char kPrefix[] = "scene";
    constexpr size_t kPrefixLength = sizeof kPrefix - 1;
    if (label.compare(0, kPrefixLength, kPrefix) != 0)
        return false;
    size_t i = kPrefixLength;
    const bool negative = i < label.size() && label[i] == '-';
    if (negative)
        ++i;
    const size_t digits = label.size() - i;
    if (digits == 0 || digits > 9)
        return false;
    int32_t value = 0;
    for (; i < label.size(); ++i) {
        if (label[i] < '0' || label[i] > '9')
            return false;
        value = value * 10 + (label[i] - '0');
    }
    *number = negative ? -value : value;
    return true;
}

}  // namespace scenario
