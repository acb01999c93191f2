#include "sound/kmACMtoPCM.h"

#include <algorithm>
#include <cstring>

#include "frame/ErrorLog.h"
#include "platform/Media.h"
#include "sound/kmMmioFile.h"

namespace {

// The format block with its codec bytes: a WAVE file's whole "fmt " block,
// or the fixed-size header of the other sources.
void FormatBytes(kmFile* file, const WAVEFORMATEX* format, const uint8_t** bytes, size_t* size)
{
    if (auto* wave = dynamic_cast<kmMmioFile*>(file)) {
        *bytes = wave->FormatBlock().data();
        *size = wave->FormatBlock().size();
        return;
    }
    *bytes = reinterpret_cast<const uint8_t*>(format);
    *size = sizeof(WAVEFORMATEX) + (format->wFormatTag == WAVE_FORMAT_MPEGLAYER3 ? 12 : 0);
}

}  // namespace

kmACMtoPCM::kmACMtoPCM() = default;
kmACMtoPCM::~kmACMtoPCM() = default;

bool kmACMtoPCM::Open(const char* name)
{
    WAVEFORMATEX* source = nullptr;
    std::unique_ptr<kmFile> file = kmOpenAudioSource(name, "kmACMtoPCM:getWaveFotmat失敗", &source);
    if (!file || source->wFormatTag == WAVE_FORMAT_PCM) {
        return false;
    }
    const uint8_t* bytes;
    size_t size;
    FormatBytes(file.get(), source, &bytes, &size);
    WAVEFORMATEX target;
    if (!platform::media::AcmStream::SuggestPcm(bytes, size, &target)) {
        gErrorLog.Print("kmACMtoPCM::open acmFormatSuggest. No such ACM? %x", source->wFormatTag);
        return false;
    }
    auto stream = platform::media::AcmStream::Open(bytes, size, target);
    if (!stream) {
        gErrorLog.Print("kmACMtoPCM::open acmStreamOpen. No such ACM? %x", source->wFormatTag);
        return false;
    }
    minimumBlock_ = stream->Size(source->nBlockAlign, true);
    if (minimumBlock_ == 0) {
        gErrorLog.Print("Minimun BUffer Unknowm.");
    }
    file_ = std::move(file);
    source_ = source;
    target_ = target;
    stream_ = std::move(stream);
    hold_.clear();
    holdCount_ = holdOffset_ = 0;
    return true;
}

uint32_t kmACMtoPCM::Convert(uint32_t length, uint8_t* target, uint32_t room)
{
    uint32_t consumed = 0;
    int64_t produced = stream_->Convert(sourceBuffer_.data(), length, target, room, &consumed);
    if (produced < 0) {
        gErrorLog.Print("kmACMtoPCM::convert acmStreamConvertで失敗:%x", 0);
        return 0;
    }
    if (consumed < length) {
        // Give the bytes the codec did not take back to the file.
        file_->Skip(-static_cast<int>(length - consumed));
    }
    if (produced == 0 && length > 0) {
        // The codec is still priming: silence keeps the stream's timing.
        std::memset(target, target_.wBitsPerSample == 8 ? 0x80 : 0, room);
        return room;
    }
    return static_cast<uint32_t>(produced);
}

uint32_t kmACMtoPCM::Read(void* buffer, uint32_t bytes)
{
    if (!buffer || !stream_) {
        return 0;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    if (holdCount_ > 0) {
        uint32_t n = std::min(holdCount_, bytes);
        std::memcpy(out, hold_.data() + holdOffset_, n);
        holdCount_ -= n;
        holdOffset_ = holdCount_ ? holdOffset_ + n : 0;
        done += n;
    }
    // Each pass converts one piece; a looping stream rewinds once per call at most.
    bool rewound = false;
    while (done < bytes) {
        uint32_t want = bytes - done;
        if (minimumBlock_ && want < minimumBlock_) {
            uint32_t sourceBytes = stream_->Size(minimumBlock_, false);
            if (sourceBytes == 0) {
                gErrorLog.Print("ACM::Read StreamSize Failed:%d (min:%d)", want, minimumBlock_);
                return done;
            }
            hold_.resize(std::max<size_t>(hold_.size(), minimumBlock_));
            sourceBuffer_.resize(std::max<size_t>(sourceBuffer_.size(), sourceBytes));
            int got = file_->Read(sourceBuffer_.data(), sourceBytes);
            uint32_t length = got > 0 ? static_cast<uint32_t>(got) : 0;
            if (length < sourceBytes && loop_ && !rewound) {
                file_->Rewind();
                rewound = true;
            }
            if (length == 0) {
                if (!loop_ || rewound) {
                    break;
                }
                continue;
            }
            uint32_t produced = Convert(length, hold_.data(), minimumBlock_);
            uint32_t n = std::min(produced, want);
            std::memcpy(out + done, hold_.data(), n);
            done += n;
            holdCount_ = produced - n;
            holdOffset_ = holdCount_ ? n : 0;
            if (produced == 0) {
                break;
            }
            continue;
        }
        uint32_t sourceBytes = stream_->Size(want, false);
        if (sourceBytes == 0) {
            break;
        }
        sourceBuffer_.resize(std::max<size_t>(sourceBuffer_.size(), sourceBytes));
        int got = file_->Read(sourceBuffer_.data(), sourceBytes);
        uint32_t length = got > 0 ? static_cast<uint32_t>(got) : 0;
        uint32_t produced = Convert(length, out + done, want);
        done += produced;
        if (length < sourceBytes) {
            // The end of the data: the codec's last held output, then wrap or stop.
            if (!loop_ || rewound) {
                if (produced == 0) {
                    break;
                }
                continue;
            }
            file_->Rewind();
            rewound = true;
        } else if (produced == 0) {
            break;
        }
    }
    return done;
}

int kmACMtoPCM::GetLength()
{
    if (target_.nAvgBytesPerSec == 0) {
        return 0;
    }
    return static_cast<int>(static_cast<uint64_t>(GetSize()) * 1000 / target_.nAvgBytesPerSec);
}

int kmACMtoPCM::GetPosition()
{
    if (!file_ || source_->nAvgBytesPerSec == 0) {
        return 0;
    }
    int pos = file_->Tell();
    return pos < 0 ? 0 : static_cast<int>(static_cast<uint64_t>(pos) * 1000 / source_->nAvgBytesPerSec);
}

bool kmACMtoPCM::Seek(uint32_t bytes)
{
    if (!file_) {
        return false;
    }
    uint32_t offset = stream_->Size(bytes, false);
    file_->Rewind();
    file_->Skip(static_cast<int>(std::min<uint32_t>(offset, INT32_MAX)));
    holdCount_ = holdOffset_ = 0;
    return true;
}

bool kmACMtoPCM::SetLoop(bool loop)
{
    bool previous = loop_;
    loop_ = loop;
    return previous;
}

const WAVEFORMATEX* kmACMtoPCM::GetFormat()
{
    return stream_ ? &target_ : nullptr;
}

uint32_t kmACMtoPCM::GetSize()
{
    return stream_ ? stream_->Size(file_->GetSize(), true) : 0;
}

uint32_t kmACMtoPCM::GetBufferSize(uint32_t seconds)
{
    if (!stream_) {
        return 0;
    }
    uint64_t bytes = static_cast<uint64_t>(target_.nBlockAlign) * target_.nSamplesPerSec * seconds;
    if (bytes > UINT32_MAX) {
        return 0;
    }
    uint32_t source = stream_->Size(static_cast<uint32_t>(bytes), false);
    return source ? stream_->Size(source, true) : 0;
}
