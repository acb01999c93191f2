#include "scenario/SCENARIO.h"

#include <cstring>

#include "frame/File.h"
#include "scenario/BigEndian.h"

namespace scenario {

std::string_view ToString(LoadResult result)
{
    switch (result) {
    case LoadResult::kOk: return "ok";
    case LoadResult::kFileNotFound: return "file not found";
    case LoadResult::kTooShort: return "file too short";
    case LoadResult::kBadMagic: return "not a NASDAP66 version 2 file";
    case LoadResult::kBadSectionTable: return "bad section table";
    case LoadResult::kNoText: return "missing or malformed .Text";
    case LoadResult::kBadVal: return "malformed .Val";
    case LoadResult::kBadCmap: return "malformed .CMAP";
    case LoadResult::kBadString: return ".ROData does not end with a zero byte";
    }
    return "unknown";
}

int ReadThroughFileLayer(void*, const std::string& name, std::vector<uint8_t>* out)
{
    CFile file;
    if (file.Load(name) != 0)
        return 1;
    const uint8_t* data = file.GetData();
    out->assign(data, data + file.GetSize());
    return 0;
}

}  // namespace scenario

using scenario::LoadResult;

namespace {

struct Span {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool present = false;
};

}  // namespace

void SCENARIO::clear()
{
    text_.clear();
    rodata_.clear();
    defaults_.clear();
    files_.clear();
}

LoadResult SCENARIO::loadFromMemory(const void* data, size_t size)
{
    clear();
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size < kHeaderSize)
        return LoadResult::kTooShort;
    if (std::memcmp(bytes, "NASDAP66", 8) != 0 || scenario::ReadU32(bytes + 8) != kFormatVersion)
        return LoadResult::kBadMagic;
    const uint32_t count = scenario::ReadU32(bytes + 12);
    if (count > kMaxSections)
        return LoadResult::kBadSectionTable;
    if (size - kHeaderSize < count * kSectionEntrySize)
        return LoadResult::kTooShort;

    Span text, rodata, val, cmap;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + kHeaderSize + i * kSectionEntrySize;
        char name[9] = {};
        std::memcpy(name, entry, 8);
        const uint32_t offset = scenario::ReadU32(entry + 8);
        const uint32_t length = scenario::ReadU32(entry + 12);
        // Both checks are written so that neither can overflow.
        if (offset > size || length > size - offset)
            return LoadResult::kBadSectionTable;
        Span* target = nullptr;
        const std::string_view key(name);
        if (key == ".Text")
            target = &text;
        else if (key == ".ROData")
            target = &rodata;
        else if (key == ".Val")
            target = &val;
        else if (key == ".CMAP")
            target = &cmap;
        if (!target)
            continue;  // sections this engine does not know are skipped
        if (target->present)
            return LoadResult::kBadSectionTable;
        *target = {bytes + offset, length, true};
    }

    if (!text.present || text.size == 0 || text.size % 8 != 0)
        return LoadResult::kNoText;
    if (rodata.size > 0 && rodata.data[rodata.size - 1] != 0)
        return LoadResult::kBadString;
    if (rodata.size > INT32_MAX)
        return LoadResult::kBadString;
    if (val.size % 8 != 0)
        return LoadResult::kBadVal;
    if (cmap.size % 8 != 0)
        return LoadResult::kBadCmap;

    SCENARIO loaded;
    loaded.rodata_.assign(rodata.data, rodata.data + rodata.size);
    loaded.text_.reserve(text.size / 8);
    for (size_t pos = 0; pos < text.size; pos += 8) {
        const uint8_t* p = text.data + pos;
        loaded.text_.push_back({p[0], p[1], scenario::ReadU16(p + 2),
                                static_cast<int32_t>(scenario::ReadU32(p + 4))});
    }
    for (size_t pos = 0; pos < val.size; pos += 8) {
        const uint8_t* p = val.data + pos;
        loaded.defaults_[static_cast<int32_t>(scenario::ReadU32(p))] =
            static_cast<int32_t>(scenario::ReadU32(p + 4));
    }
    for (size_t pos = 0; pos < cmap.size; pos += 8) {
        const uint8_t* p = cmap.data + pos;
        const uint32_t number = scenario::ReadU32(p);
        std::string fileName;
        if (number > 0xFFFF || !loaded.getText(static_cast<int32_t>(scenario::ReadU32(p + 4)), &fileName) ||
            fileName.empty())
            return LoadResult::kBadCmap;
        loaded.files_[static_cast<uint16_t>(number)] = std::move(fileName);
    }
    *this = std::move(loaded);
    return LoadResult::kOk;
}

bool SCENARIO::getText(int32_t offset, std::string* out) const
{
    if (offset < 0 || static_cast<size_t>(offset) >= rodata_.size())
        return false;
    // The section ends with a zero byte (checked at load), so strlen stops inside it.
    out->assign(rodata_.data() + offset);
    return true;
}

bool SCENARIO::fileName(uint16_t number, std::string* out) const
{
    auto it = files_.find(number);
    if (it == files_.end())
        return false;
    *out = it->second;
    return true;
}
