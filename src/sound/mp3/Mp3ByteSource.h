#pragma once
// Where CMp3StreamReader takes its bytes from: a file through the file layer
// (Mp3FileSource) or a block of memory (tests and fuzzing).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class Mp3ByteSource {
public:
    virtual ~Mp3ByteSource() = default;
    // Opens the named file; false when it cannot be opened.
    virtual bool Open(const std::string& name) = 0;
    // Returns 0.
    virtual int Close() = 0;
    // Copies up to `bytes` from the position and advances; the count read (0 at the end).
    virtual int Read(void* buffer, int bytes) = 0;
    // Moves to `offset` from the start; false when it lies beyond the end.
    virtual bool Seek(int64_t offset) = 0;
    // Total size in bytes; 0 when nothing is open.
    virtual int64_t Size() = 0;
};

// A file opened through CFile: a loose file or an archive entry.
std::unique_ptr<Mp3ByteSource> MakeMp3FileSource();

// Bytes held in memory; Open ignores the name and always succeeds.
class Mp3MemorySource final : public Mp3ByteSource {
public:
    explicit Mp3MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    bool Open(const std::string&) override
    {
        pos_ = 0;
        return true;
    }
    int Close() override { return 0; }
    int Read(void* buffer, int bytes) override
    {
        if (bytes <= 0 || pos_ >= bytes_.size()) {
            return 0;
        }
        size_t n = std::min(size_t(bytes), bytes_.size() - pos_);
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return int(n);
    }
    bool Seek(int64_t offset) override
    {
        if (offset < 0 || uint64_t(offset) > bytes_.size()) {
            pos_ = bytes_.size();
            return false;
        }
        pos_ = size_t(offset);
        return true;
    }
    int64_t Size() override { return int64_t(bytes_.size()); }

private:
    std::vector<uint8_t> bytes_;
    size_t pos_ = 0;
};
