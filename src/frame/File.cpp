#include "frame/File.h"

#include <cstring>
#include <limits>
#include <new>

#include "frame/DebugOutput.h"
#include "frame/FileLayer.h"

CFile::CFile() = default;

CFile::~CFile()
{
    Close();
}

int CFile::Load(const std::string& name)
{
    Close();
    name_ = name;
    CArchiveFile file;
    int rc = file.Open(name);
    if (rc != 0) {
        return rc;
    }
    const int64_t size = file.GetSize();
    if (size < 0 || static_cast<uint64_t>(size) > std::numeric_limits<size_t>::max() / 2) {
        return kFileTooLarge;
    }
    std::vector<uint8_t> data;
    try {
        data.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        DebugOutput("Failed! - Load() メモリが足りない <" + name + ">\n");
        return kFileNoMemory;
    }
    size_t done = 0;
    while (done < data.size()) {
        size_t chunk = data.size() - done;
        if (chunk > (1u << 30)) {
            chunk = 1u << 30;
        }
        int got = file.Read(data.data() + done, static_cast<int>(chunk));
        if (got <= 0) {
            DebugOutput("Failed! - Load() 読み込みに失敗 <" + name + ">\n");
            return kFileReadFailed;
        }
        done += static_cast<size_t>(got);
    }
    data_ = std::move(data);
    loaded_ = true;
    cursor_ = 0;
    return kFileOk;
}

int CFile::Open(const std::string& name, const std::string& mode)
{
    Close();
    name_ = name;
    // Only reading is offered: the program writes its files with
    // WriteFileAtomic, never through this object.
    if (mode.find_first_of("wa+") != std::string::npos) {
        return kFileWriteMode;
    }
    return archive_.Open(name);
}

int CFile::Close()
{
    archive_.Close();
    data_.clear();
    data_.shrink_to_fit();
    loaded_ = false;
    cursor_ = 0;
    return 0;
}

const uint8_t* CFile::GetData() const
{
    return loaded_ && !data_.empty() ? data_.data() : nullptr;
}

uint8_t* CFile::GetData()
{
    return loaded_ && !data_.empty() ? data_.data() : nullptr;
}

size_t CFile::GetSize() const
{
    return loaded_ ? data_.size() : 0;
}

std::string CFile::GetExtension() const
{
    return GetFileExtension(name_);
}

int CFile::Read(void* buffer, size_t n)
{
    if (!loaded_) {
        return 2;
    }
    // Never copy past the image: a request for more than remains fails whole.
    if (cursor_ >= data_.size() || n > data_.size() - cursor_) {
        return 1;
    }
    if (n != 0) {
        std::memcpy(buffer, data_.data() + cursor_, n);
    }
    cursor_ += n;
    return 0;
}

int CFile::ReadLineString(std::string* out)
{
    if (!loaded_) {
        return 3;
    }
    if (cursor_ >= data_.size()) {
        return 1;
    }
    size_t end = cursor_;
    while (end < data_.size() && !(data_[end] == '\r' && end + 1 < data_.size() && data_[end + 1] == '\n')) {
        ++end;
    }
    out->assign(reinterpret_cast<const char*>(data_.data()) + cursor_, end - cursor_);
    cursor_ = end < data_.size() ? end + 2 : end;
    return 0;
}
