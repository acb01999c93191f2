#pragma once
// CArchiveFile and CFile: the program's file objects. A name is looked up
// through the file layer (FileLayer.h): a loose file relative to the start
// directory first, else the entry of the ".NMM" archive named after the
// file's folder.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Results of CArchiveFile::Open, CFile::Load and CFile::Open (0 = success).
enum FileOpenResult {
    kFileOk = 0,
    kFileNoName = 1,        // the name is empty
    kFileNotFound = 2,      // neither a loose file nor an archive entry
    kFileCannotOpen = 3,    // found but the host refused to open it
    kFileUnpackFailed = 4,  // a packed archive entry is corrupt
    kFileTooLarge = 5,      // larger than memory can hold
    kFileNoMemory = 6,
    kFileReadFailed = 7,    // the file ended or failed while being read
    kFileWriteMode = 8,     // CFile::Open was asked to write
};
const char* ToString(FileOpenResult result);

// A handle on one open loose file or archive entry (stored or packed).
class CArchiveFile {
public:
    CArchiveFile();
    ~CArchiveFile();
    CArchiveFile(const CArchiveFile&) = delete;
    CArchiveFile& operator=(const CArchiveFile&) = delete;

    // Opens the named file or archive entry; kFileOk when open, else the
    // FileOpenResult that says why not.
    int Open(const std::string& name);
    void Close();
    bool IsOpen() const;
    // Copies up to `bytes` from the current position and advances;
    // returns the count (0 at the end or when nothing is open).
    int Read(void* buffer, int bytes);
    // origin 0 start / 1 current / 2 end; 0 on success, -1 for a bad origin,
    // when nothing is open, or a target beyond the end (position then at the end).
    int Seek(int64_t offset, int origin);
    int64_t Tell() const;
    // Size of the open file or the unpacked size of an entry; 0 when nothing is open.
    int64_t GetSize() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Either a memory image of a whole file (Load) or an open handle (Open).
class CFile {
public:
    CFile();
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Reads the whole named file into memory owned by this object;
    // 0 on success, non-zero when it cannot be found or read.
    int Load(const std::string& name);
    // Opens the named file for reading through the embedded CArchiveFile
    // (callers pass "rb"); 0 when open.
    int Open(const std::string& name, const std::string& mode = "rb");
    // Closes the handle and releases a loaded image; returns 0.
    int Close();

    // The loaded bytes and their count (null and 0 when nothing is loaded).
    const uint8_t* GetData() const;
    uint8_t* GetData();
    size_t GetSize() const;
    // The name's extension without the dot.
    std::string GetExtension() const;
    const std::string& GetName() const { return name_; }

    // Copies n bytes from the read cursor of the loaded image and advances:
    // 0; 1 when fewer than n bytes remain (nothing copied, cursor kept);
    // 2 without data.
    int Read(void* buffer, size_t n);
    // Reads up to CR LF (excluded) or the end and moves past the CR LF:
    // 0 with a line, 1 at the end, 3 without data.
    int ReadLineString(std::string* out);

    CArchiveFile& Handle() { return archive_; }

private:
    std::string name_;
    std::vector<uint8_t> data_;
    bool loaded_ = false;
    size_t cursor_ = 0;
    CArchiveFile archive_;
};
