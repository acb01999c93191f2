#include "sound/kmMp3File.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "frame/ErrorLog.h"
#include "frame/FileLayer.h"
#include "sound/Mp3Header.h"

kmMp3File::kmMp3File() = default;

kmMp3File::~kmMp3File()
{
    Close();
}

bool kmMp3File::Open(const char* name)
{
    Close();
    if (!name) {
        return false;
    }
    std::FILE* f = std::fopen(MakeFullPath(name).c_str(), "rb");
    if (!f) {
        return false;
    }
    auto fail = [&]() {
        std::fclose(f);
        return false;
    };
    if (std::fseek(f, 0, SEEK_END) != 0) {
        return fail();
    }
    int64_t size = ftello(f);
    std::fseek(f, 0, SEEK_SET);
    int64_t left = size;
    int64_t start = 0;
    if (size <= 128) {
        return fail();
    }
    uint8_t head[10];
    if (std::fread(head, 1, 10, f) != 10) {
        gErrorLog.Print("kmMp3Fileでファイル読み込みに失敗");
        return fail();
    }
    uint8_t sync[4];
    std::memcpy(sync, head, 4);
    if (uint32_t tag = Id3v2TagSize(head)) {
        if (size <= static_cast<int64_t>(tag) + 128) {
            return fail();
        }
        if (std::fseek(f, tag, SEEK_SET) != 0 || std::fread(sync, 1, 4, f) != 4) {
            gErrorLog.Print("kmMp3Fileでファイル読み込みに失敗");
            return fail();
        }
        left -= tag;
        start += tag;
    }
    MPEGLAYER3WAVEFORMAT format;
    int r = Mp3HeaderToFormat(sync, &format);
    if (r == kMp3HeaderBadLayer) {
        gErrorLog.Print("kmMp3File::Open MP3が無効なレイヤ");
    }
    if (r != kMp3HeaderOk) {
        return fail();
    }
    char tail[3];
    if (std::fseek(f, size - 128, SEEK_SET) != 0 || std::fread(tail, 1, 3, f) != 3) {
        return fail();
    }
    if (std::memcmp(tail, "TAG", 3) == 0) {
        left -= 128;
    }
    left -= 4;
    start += 4;
    if (left < 0 || left > UINT32_MAX) {
        return fail();
    }
    std::fseek(f, start, SEEK_SET);
    file_ = f;
    format_ = format;
    left_ = left;
    dataBytes_ = static_cast<uint32_t>(left);
    dataStart_ = start;
    open_ = true;
    return true;
}

bool kmMp3File::Close()
{
    if (!open_) {
        return false;
    }
    std::fclose(file_);
    file_ = nullptr;
    open_ = false;
    return true;
}

int kmMp3File::Read(void* buffer, uint32_t bytes)
{
    if (!open_ || !buffer) {
        return 0;
    }
    size_t want = static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(left_, 0), bytes));
    size_t got = std::fread(buffer, 1, want, file_);
    if (got < want && std::ferror(file_)) {
        gErrorLog.Print("kmMp3File::readでファイル読み込みに失敗.%x", errno);
        std::clearerr(file_);
        return 0;
    }
    left_ -= static_cast<int64_t>(got);
    return static_cast<int>(got);
}

int kmMp3File::Rewind()
{
    if (!open_) {
        return -1;
    }
    std::fseek(file_, dataStart_, SEEK_SET);
    left_ = dataBytes_;
    return 0;
}

int kmMp3File::Skip(int bytes)
{
    if (bytes == 0) {
        return 0;
    }
    if (!open_) {
        return -1;
    }
    // Kept within the data so that the count of bytes left stays meaningful.
    int64_t pos = ftello(file_);
    int64_t target = std::clamp<int64_t>(pos + bytes, dataStart_, dataStart_ + dataBytes_);
    left_ -= target - pos;
    std::fseek(file_, target, SEEK_SET);
    return static_cast<int>(target);
}

int kmMp3File::Tell()
{
    if (!open_) {
        return -1;
    }
    return static_cast<int>(ftello(file_) - dataStart_);
}

WAVEFORMATEX* kmMp3File::GetFormat()
{
    return &format_.wfx;
}

uint32_t kmMp3File::GetSize()
{
    return dataBytes_;
}
