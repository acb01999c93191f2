#include "sound/kmMmioFile.h"

#include <algorithm>
#include <cstring>

#include "frame/ErrorLog.h"
#include "sound/RiffWave.h"

kmMmioFile::kmMmioFile() = default;

kmMmioFile::~kmMmioFile()
{
    Close();
}

bool kmMmioFile::Open(const char* name)
{
    Close();
    name_ = name ? name : "";
    if (file_.Load(name_) != 0) {
        gErrorLog.PrintString("kmMmioFile::open " + name_ + "のファイル読み込み時のエラー");
        return false;
    }
    RiffWaveChunks chunks;
    int r = ParseRiffWave(file_.GetData(), file_.GetSize(), &chunks);
    if (r == kRiffNoFmt) {
        gErrorLog.Print("CSound::LoadWaveFile : fmtチャンクが指定できない");
    } else if (r == kRiffNoData) {
        gErrorLog.Print("CSound::LoadWaveFile : データチャンクに行けない");
    }
    if (r != kRiffOk) {
        file_.Close();
        return false;
    }
    format_.assign(std::max<size_t>(chunks.fmtSize, sizeof(WAVEFORMATEX)), 0);
    std::memcpy(format_.data(), file_.GetData() + chunks.fmtOffset, chunks.fmtSize);
    WAVEFORMATEX* f = GetFormatUnchecked();
    if (f->cbSize == 0) {
        // Announced as in the original; consumers read no further than FormatBlock().size().
        f->cbSize = 18;
    }
    dataStart_ = chunks.dataOffset;
    dataSize_ = chunks.dataSize;
    position_ = dataStart_;
    open_ = true;
    return true;
}

bool kmMmioFile::Close()
{
    if (!open_) {
        return false;
    }
    open_ = false;
    format_.clear();
    file_.Close();
    return true;
}

int kmMmioFile::Read(void* buffer, uint32_t bytes)
{
    if (!open_ || !buffer) {
        return 0;
    }
    size_t end = dataStart_ + dataSize_;
    size_t n = std::min<size_t>(bytes, end - position_);
    std::memcpy(buffer, file_.GetData() + position_, n);
    position_ += n;
    return static_cast<int>(n);
}

int kmMmioFile::Rewind()
{
    if (!open_) {
        return -1;
    }
    position_ = dataStart_;
    return 0;
}

int kmMmioFile::Skip(int bytes)
{
    if (!open_) {
        return -1;
    }
    int64_t target = static_cast<int64_t>(position_) + bytes;
    target = std::clamp<int64_t>(target, static_cast<int64_t>(dataStart_),
                                 static_cast<int64_t>(dataStart_ + dataSize_));
    position_ = static_cast<size_t>(target);
    return static_cast<int>(position_);
}

int kmMmioFile::Tell()
{
    if (!open_) {
        return -1;
    }
    gErrorLog.Print("gcp dwDataPos %d", static_cast<int>(dataStart_));
    return static_cast<int>(position_ - dataStart_);
}

WAVEFORMATEX* kmMmioFile::GetFormat()
{
    return open_ ? GetFormatUnchecked() : nullptr;
}

uint32_t kmMmioFile::GetSize()
{
    return dataSize_;
}
