#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "frame/DebugOutput.h"
#include "frame/File.h"
#include "frame/FileLayer.h"
#include "frame/NmmArchive.h"

// A loose file and a stored entry are read in place through the file
// (`base` is where the entry starts); a packed entry is unpacked whole on
// open, since neither method can start in the middle.
struct CArchiveFile::Impl {
    CFileByteSource file;
    uint64_t base = 0;
    uint64_t size = 0;
    uint64_t position = 0;
    bool inMemory = false;
    std::vector<uint8_t> memory;
};

const char* ToString(FileOpenResult result)
{
    switch (result) {
    case kFileOk: return "ok";
    case kFileNoName: return "no file name";
    case kFileNotFound: return "file not found";
    case kFileCannotOpen: return "cannot open the file";
    case kFileUnpackFailed: return "archive entry does not unpack";
    case kFileTooLarge: return "file too large";
    case kFileNoMemory: return "no memory";
    case kFileReadFailed: return "reading failed";
    case kFileWriteMode: return "files open for reading only";
    }
    return "unknown";
}

CArchiveFile::CArchiveFile() = default;
CArchiveFile::~CArchiveFile() = default;

int CArchiveFile::Open(const std::string& name)
{
    Close();
    if (name.empty()) {
        DebugOutput("Failed! - Open() ファイル名が指定されていない\n");
        return kFileNoName;
    }
    FileLocation location;
    if (!FindGameFile(name, &location)) {
        DebugOutput("Failed! - Open() ファイルが見つからない <" + name + ">\n");
        return kFileNotFound;
    }
    auto impl = std::make_unique<Impl>();
    if (!impl->file.Open(location.hostPath)) {
        DebugOutput("Failed! - Open() ファイルを開けない <" + name + ">\n");
        return kFileCannotOpen;
    }
    if (location.kind == FileLocation::kLoose) {
        impl->size = impl->file.Size();
        impl_ = std::move(impl);
        return kFileOk;
    }
    const NmmEntry* entry = &location.entry;
    if (entry->method == nmm::kStored) {
        impl->base = entry->offset;
        impl->size = entry->storedSize;
    } else {
        if (CNmmArchive::ReadEntry(impl->file, *entry, &impl->memory) != CNmmArchive::kOk) {
            DebugOutput("Failed! - Open() 展開に失敗 <" + name + ">\n");
            return kFileUnpackFailed;
        }
        impl->inMemory = true;
        impl->size = impl->memory.size();
    }
    impl_ = std::move(impl);
    return kFileOk;
}

void CArchiveFile::Close()
{
    impl_.reset();
}

bool CArchiveFile::IsOpen() const
{
    return impl_ != nullptr;
}

int CArchiveFile::Read(void* buffer, int bytes)
{
    if (impl_ == nullptr) {
        DebugOutput("Failed! - Read() ファイルを開いていない\n");
        return 0;
    }
    if (bytes <= 0 || buffer == nullptr || impl_->position >= impl_->size) {
        return 0;
    }
    uint64_t left = impl_->size - impl_->position;
    size_t n = static_cast<size_t>(left < static_cast<uint64_t>(bytes) ? left : static_cast<uint64_t>(bytes));
    if (impl_->inMemory) {
        std::copy_n(impl_->memory.data() + impl_->position, n, static_cast<uint8_t*>(buffer));
    } else if (!impl_->file.ReadAt(impl_->base + impl_->position, buffer, n)) {
        return 0;
    }
    impl_->position += n;
    return static_cast<int>(n);
}

int CArchiveFile::Seek(int64_t offset, int origin)
{
    if (impl_ == nullptr) {
        return -1;
    }
    int64_t from;
    switch (origin) {
    case 0: from = 0; break;
    case 1: from = static_cast<int64_t>(impl_->position); break;
    case 2: from = static_cast<int64_t>(impl_->size); break;
    default: return -1;
    }
    const int64_t size = static_cast<int64_t>(impl_->size);
    // Compare without forming from + offset, which could overflow.
    if (offset > size - from) {
        impl_->position = impl_->size;
        return -1;
    }
    if (offset < -from) {
        return -1;
    }
    impl_->position = static_cast<uint64_t>(from + offset);
    return 0;
}

int64_t CArchiveFile::Tell() const
{
    return impl_ == nullptr ? 0 : static_cast<int64_t>(impl_->position);
}

int64_t CArchiveFile::GetSize() const
{
    return impl_ == nullptr ? 0 : static_cast<int64_t>(impl_->size);
}
