#pragma once
// CNmmArchive: the directory of one ".NMM" archive and the reading of its
// entries, over any byte source (an open file or memory). Every offset and
// size is checked against the source before use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/NMMHederBuf.h"

// Random-access bytes: the archive file, or memory in tests and fuzzing.
class CByteSource {
public:
    virtual ~CByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies n bytes from `offset`; false (nothing promised in buffer) when
    // they are not all there.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t n) const = 0;
};

class CMemoryByteSource : public CByteSource {
public:
    CMemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t n) const override;

private:
    const uint8_t* data_;
    size_t size_;
};

// A file opened read-only; closed by the destructor.
class CFileByteSource : public CByteSource {
public:
    CFileByteSource() = default;
    ~CFileByteSource() override;
    CFileByteSource(const CFileByteSource&) = delete;
    CFileByteSource& operator=(const CFileByteSource&) = delete;
    // Opens a regular file by host path; false when it cannot.
    bool Open(const std::string& hostPath);
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* buffer, size_t n) const override;

private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

class CNmmArchive {
public:
    enum Result {
        kOk = 0,
        kReadError = 1,      // the source is shorter than the header or directory
        kBadHeader = 2,      // magic or version wrong
        kBadDirectory = 3,   // the directory does not fit the file
        kBadEntry = 4,       // an entry's name, method, range or sizes are wrong
        kNotFound = 5,       // no entry of that name
        kDecodeError = 6,    // a packed entry does not decode to its size
        kNoMemory = 7,
    };
    static const char* ToString(Result result);

    // Reads and checks the whole directory; kOk, or the first fault found
    // (the object then holds no entries).
    int ReadDirectory(const CByteSource& source);
    const std::vector<NmmEntry>& Entries() const { return entries_; }
    // The entry whose name matches case-insensitively (ASCII letters,
    // Shift-JIS aware); the first such entry, or null.
    const NmmEntry* Find(const std::string& sjisName) const;

    // Reads an entry of this archive whole and unpacked into *out (replaced);
    // kOk, kReadError or kDecodeError (*out then empty).
    static int ReadEntry(const CByteSource& source, const NmmEntry& entry, std::vector<uint8_t>* out);
    // The largest unpacked size a method can produce from `storedSize` bytes.
    static uint64_t MaxUnpackedSize(uint32_t method, uint64_t storedSize);

private:
    std::vector<NmmEntry> entries_;
};
