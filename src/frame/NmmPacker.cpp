#include "frame/NmmPacker.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "frame/DxorDecode.h"
#include "frame/FileLayer.h"
#include "frame/LzssDecode.h"
#include "frame/NMMHederBuf.h"
#include "frame/WriteFileAtomic.h"
#include "frame/TextEncoding.h"

namespace {

constexpr size_t kLzssMinMatch = 3;
constexpr size_t kLzssMaxMatch = 18;
// A reference must not reach a ring slot the same copy overwrites first.
constexpr size_t kLzssWindow = LzssDecode::kRingSize - 1;
constexpr int kLzssChainLimit = 128;

uint32_t Hash3(const uint8_t* p)
{
    return ((static_cast<uint32_t>(p[0]) << 10) ^ (static_cast<uint32_t>(p[1]) << 5) ^ p[2]) & 0x7FFF;
}

}  // namespace

std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out;
    std::vector<int64_t> head(0x8000, -1);
    std::vector<int64_t> prev(size, -1);
    auto insert = [&](size_t i) {
        if (i + 2 < size) {
            uint32_t h = Hash3(data + i);
            prev[i] = head[h];
            head[h] = static_cast<int64_t>(i);
        }
    };
    size_t flagAt = 0;
    int bit = 8;
    size_t i = 0;
    while (i < size) {
        if (bit == 8) {
            flagAt = out.size();
            out.push_back(0);
            bit = 0;
        }
        size_t bestLen = 0;
        size_t bestPos = 0;
        if (i + 2 < size) {
            int64_t p = head[Hash3(data + i)];
            size_t limit = std::min(kLzssMaxMatch, size - i);
            for (int chain = 0; p >= 0 && chain < kLzssChainLimit; ++chain, p = prev[p]) {
                size_t pos = static_cast<size_t>(p);
                if (i - pos > kLzssWindow) {
                    break;
                }
                size_t len = 0;
                while (len < limit && data[pos + len] == data[i + len]) {
                    ++len;
                }
                if (len > bestLen) {
                    bestLen = len;
                    bestPos = pos;
                    if (len == limit) {
                        break;
                    }
                }
            }
        }
        if (bestLen >= kLzssMinMatch) {
            size_t offset = (LzssDecode::kRingStart + bestPos) & (LzssDecode::kRingSize - 1);
            out.push_back(static_cast<uint8_t>(offset & 0xFF));
            out.push_back(static_cast<uint8_t>(((offset >> 4) & 0xF0) | (bestLen - kLzssMinMatch)));
            for (size_t k = 0; k < bestLen; ++k) {
                insert(i + k);
            }
            i += bestLen;
        } else {
            out[flagAt] |= static_cast<uint8_t>(1u << bit);
            out.push_back(data[i]);
            insert(i);
            ++i;
        }
        ++bit;
    }
    return out;
}

std::vector<uint8_t> DxorEncode(const uint8_t* data, size_t size)
{
    constexpr size_t d = DxorDecode::kDistance;
    auto predictor = [&](size_t i) -> uint8_t { return i >= d ? data[i - d] : 0; };
    auto runAt = [&](size_t i) {
        size_t r = 0;
        while (i + r < size && r < DxorDecode::kMaxRun && data[i + r] == predictor(i + r)) {
            ++r;
        }
        return r;
    };
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < size) {
        size_t run = runAt(i);
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 + run - 2));
            i += run;
            continue;
        }
        size_t start = i;
        size_t len = 0;
        while (i < size && len < DxorDecode::kMaxLiteral) {
            if (len > 0 && runAt(i) >= 2) {
                break;
            }
            ++len;
            ++i;
        }
        out.push_back(static_cast<uint8_t>(len - 1));
        for (size_t k = 0; k < len; ++k) {
            out.push_back(static_cast<uint8_t>(data[start + k] ^ predictor(start + k)));
        }
    }
    return out;
}

bool BuildNmmArchive(const std::vector<NmmPackInput>& files, uint8_t key,
                     std::vector<uint8_t>* out, std::string* error)
{
    std::vector<std::string> lowered;
    std::vector<NmmEntry> entries;
    std::vector<std::vector<uint8_t>> payloads;
    uint64_t offset = nmm::kHeaderSize + static_cast<uint64_t>(files.size()) * nmm::kEntrySize;
    for (const NmmPackInput& f : files) {
        if (f.name.empty() || f.name.size() >= nmm::kNameField) {
            *error = "entry name empty or longer than 259 bytes: " + f.name;
            return false;
        }
        std::string low = f.name;
        MakeLowerSjis(low);
        if (std::find(lowered.begin(), lowered.end(), low) != lowered.end()) {
            *error = "entry name repeated: " + f.name;
            return false;
        }
        lowered.push_back(low);
        if (f.data.size() > nmm::kMaxUnpackedSize) {
            *error = "file too large for an archive: " + f.name;
            return false;
        }
        std::vector<uint8_t> best = f.data;
        uint32_t method = nmm::kStored;
        auto consider = [&](uint32_t m, std::vector<uint8_t> packed) {
            if (f.method == static_cast<int>(m) || (f.method < 0 && packed.size() < best.size())) {
                best = std::move(packed);
                method = m;
            }
        };
        if (!f.data.empty() && f.method != nmm::kStored) {
            if (f.method < 0 || f.method == nmm::kLzss) {
                consider(nmm::kLzss, LzssEncode(f.data.data(), f.data.size()));
            }
            if (f.method < 0 || f.method == nmm::kDxor) {
                consider(nmm::kDxor, DxorEncode(f.data.data(), f.data.size()));
            }
        }
        NmmEntry e;
        e.name = f.name;
        e.offset = static_cast<uint32_t>(offset);
        e.storedSize = static_cast<uint32_t>(best.size());
        e.unpackedSize = static_cast<uint32_t>(f.data.size());
        e.method = method;
        offset += best.size();
        if (offset > 0xFFFFFFFFull) {
            *error = "archive would pass 4 GiB";
            return false;
        }
        entries.push_back(std::move(e));
        payloads.push_back(std::move(best));
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(offset));
    NMMHederBuf header = NMMHederBuf::Make(static_cast<uint32_t>(files.size()), key);
    bytes.insert(bytes.end(), std::begin(header.bytes), std::end(header.bytes));
    for (const NmmEntry& e : entries) {
        uint8_t raw[nmm::kEntrySize];
        EncodeNmmEntry(e, key, raw);
        bytes.insert(bytes.end(), std::begin(raw), std::end(raw));
    }
    for (const auto& p : payloads) {
        bytes.insert(bytes.end(), p.begin(), p.end());
    }
    *out = std::move(bytes);
    return true;
}

bool PackNmmFolder(const std::string& folder, const std::string& archive, uint8_t key,
                   std::string* error)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        *error = "cannot open the folder " + folder;
        return false;
    }
    std::vector<std::string> names;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        struct stat st;
        if (name == "." || name == ".." || stat((folder + "/" + name).c_str(), &st) != 0 ||
            !S_ISREG(st.st_mode)) {
            continue;
        }
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::vector<NmmPackInput> inputs;
    for (const std::string& name : names) {
        NmmPackInput in;
        if (!Utf8ToSjisStrict(name, &in.name)) {
            *error = "file name has no Shift-JIS form: " + name;
            return false;
        }
        std::ifstream file(folder + "/" + name, std::ios::binary);
        in.data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad()) {
            *error = "cannot read " + name;
            return false;
        }
        inputs.push_back(std::move(in));
    }
    std::vector<uint8_t> bytes;
    if (!BuildNmmArchive(inputs, key, &bytes, error)) {
        return false;
    }
    if (WriteFileAtomic(archive, bytes.data(), bytes.size()) != kWriteOk) {
        *error = "cannot write " + archive;
        return false;
    }
    return true;
}
