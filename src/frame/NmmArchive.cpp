#include "frame/NmmArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "frame/DxorDecode.h"
#include "frame/FileLayer.h"
#include "frame/LzssDecode.h"

bool CMemoryByteSource::ReadAt(uint64_t offset, void* buffer, size_t n) const
{
    if (offset > size_ || n > size_ - offset) {
        return false;
    }
    if (n != 0) {
        std::memcpy(buffer, data_ + offset, n);
    }
    return true;
}

CFileByteSource::~CFileByteSource()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool CFileByteSource::Open(const std::string& hostPath)
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    return true;
}

bool CFileByteSource::ReadAt(uint64_t offset, void* buffer, size_t n) const
{
    if (fd_ < 0 || offset > size_ || n > size_ - offset) {
        return false;
    }
    auto* p = static_cast<uint8_t*>(buffer);
    while (n > 0) {
        ssize_t got = pread(fd_, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        p += got;
        n -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
    return true;
}

const char* CNmmArchive::ToString(Result result)
{
    switch (result) {
    case kOk: return "ok";
    case kReadError: return "archive shorter than its header or directory";
    case kBadHeader: return "not an archive (magic or version)";
    case kBadDirectory: return "directory does not fit the archive";
    case kBadEntry: return "corrupt directory entry";
    case kNotFound: return "no such entry";
    case kDecodeError: return "entry does not unpack to its size";
    case kNoMemory: return "no memory";
    default: return "unknown";
    }
}

uint64_t CNmmArchive::MaxUnpackedSize(uint32_t method, uint64_t storedSize)
{
    switch (method) {
    case nmm::kStored:
        return storedSize;
    case nmm::kLzss:
        // Best case: one flag byte and eight 2-byte references of 18 bytes,
        // 144 bytes from 17, below 9 per stored byte.
        return storedSize * 9;
    case nmm::kDxor:
        // One control byte repeats up to 129 bytes.
        return storedSize * DxorDecode::kMaxRun;
    default:
        return 0;
    }
}

int CNmmArchive::ReadDirectory(const CByteSource& source)
{
    entries_.clear();
    NMMHederBuf header;
    if (!source.ReadAt(0, header.bytes, sizeof(header.bytes))) {
        return kReadError;
    }
    if (!header.IsValid()) {
        return kBadHeader;
    }
    const uint64_t fileSize = source.Size();
    const uint64_t count = header.EntryCount();
    const uint64_t directoryAt = header.DirectoryOffset();
    // 64-bit arithmetic: count * 512 cannot overflow for a 32-bit count.
    if (directoryAt < nmm::kHeaderSize || directoryAt > fileSize ||
        count * nmm::kEntrySize > fileSize - directoryAt) {
        return kBadDirectory;
    }
    std::vector<uint8_t> raw;
    std::vector<NmmEntry> entries;
    try {
        raw.resize(static_cast<size_t>(count * nmm::kEntrySize));
        entries.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    if (!raw.empty() && !source.ReadAt(directoryAt, raw.data(), raw.size())) {
        return kReadError;
    }
    for (uint64_t i = 0; i < count; ++i) {
        NmmEntry e;
        if (!DecodeNmmEntry(raw.data() + i * nmm::kEntrySize, header.Key(), &e)) {
            return kBadEntry;
        }
        uint64_t end = static_cast<uint64_t>(e.offset) + e.storedSize;
        if (end > fileSize || e.unpackedSize > nmm::kMaxUnpackedSize ||
            e.unpackedSize > MaxUnpackedSize(e.method, e.storedSize) ||
            (e.method == nmm::kStored && e.unpackedSize != e.storedSize)) {
            return kBadEntry;
        }
        entries.push_back(std::move(e));
    }
    entries_ = std::move(entries);
    return kOk;
}

const NmmEntry* CNmmArchive::Find(const std::string& sjisName) const
{
    std::string wanted = sjisName;
    MakeLowerSjis(wanted);
    for (const NmmEntry& e : entries_) {
        if (e.name.size() != wanted.size()) {
            continue;
        }
        std::string name = e.name;
        MakeLowerSjis(name);
        if (name == wanted) {
            return &e;
        }
    }
    return nullptr;
}

int CNmmArchive::ReadEntry(const CByteSource& source, const NmmEntry& entry,
                           std::vector<uint8_t>* out)
{
    out->clear();
    if (entry.unpackedSize > nmm::kMaxUnpackedSize ||
        entry.unpackedSize > MaxUnpackedSize(entry.method, entry.storedSize)) {
        return kBadEntry;
    }
    std::vector<uint8_t> stored;
    std::vector<uint8_t> unpacked;
    try {
        stored.resize(entry.storedSize);
        if (entry.method != nmm::kStored) {
            unpacked.resize(entry.unpackedSize);
        }
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    if (!stored.empty() && !source.ReadAt(entry.offset, stored.data(), stored.size())) {
        return kReadError;
    }
    if (entry.method == nmm::kStored) {
        *out = std::move(stored);
        return kOk;
    }
    if (entry.unpackedSize == 0) {
        // Nothing to decode; an empty packed entry is an empty file.
        *out = std::move(unpacked);
        return kOk;
    }
    int rc;
    if (entry.method == nmm::kLzss) {
        LzssDecode decoder;
        uint8_t* target = unpacked.data();
        rc = decoder.Decode(stored.data(), stored.size(), &target, unpacked.size(), false);
    } else if (entry.method == nmm::kDxor) {
        rc = DxorDecode().Decode(stored.data(), stored.size(), unpacked.data(), unpacked.size());
    } else {
        return kBadEntry;
    }
    if (rc != 0) {
        return kDecodeError;
    }
    *out = std::move(unpacked);
    return kOk;
}
