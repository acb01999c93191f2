#include "sound/mp3/CMp3StreamReader.h"

#include <algorithm>
#include <cstring>

namespace {

void IgnoreNotification(int, int, void*) {}

// The first frame must begin within this many bytes of the file's start.
constexpr int kProbeBytes = 512;

}  // namespace

CMp3StreamReader::CMp3StreamReader() : callback_(IgnoreNotification), decoder_(Mp3NewDecoder())
{
    Mp3EnableEqualizer(decoder_.get(), 1);
    Mp3SetEqualizer(decoder_.get(), eqGains_);
}

CMp3StreamReader::~CMp3StreamReader()
{
    Close();
}

int CMp3StreamReader::SetUserValue(int value)
{
    userValue_ = value;
    return value;
}

Mp3Callback CMp3StreamReader::SetCallback(Mp3Callback callback, void* context)
{
    Mp3Callback previous = callback_;
    callback_ = callback ? callback : IgnoreNotification;
    callbackContext_ = context;
    return previous;
}

bool CMp3StreamReader::Open(const char* path, Mp3StreamInfo* info)
{
    return OpenSource(MakeMp3FileSource(), path, info);
}

bool CMp3StreamReader::OpenSource(std::unique_ptr<Mp3ByteSource> source, const char* path, Mp3StreamInfo* info)
{
    Close();
    if (!source || path == nullptr || !source->Open(path)) {
        return false;
    }
    source_ = std::move(source);
    uint8_t probe[kProbeBytes];
    int got = source_->Read(probe, kProbeBytes);
    int offset = 0;
    Mp3FrameHeader header;
    if (!Mp3FindSync(decoder_.get(), probe, got, &offset) ||
        !Mp3ReadFirstFrame(decoder_.get(), probe + offset, got - offset, &header)) {
        Close();
        return false;
    }
    header_ = header;
    syncOffset_ = offset;
    open_ = true;

    // The frame count is untrusted (a "Xing" field or an estimate): never more
    // frames than the file can hold at the shortest frame length, and a PCM
    // block of at most kMaxPcmBytes.
    int64_t size = source_->Size();
    int64_t room = std::max<int64_t>(0, size - syncOffset_) / std::max(1, header.minFrameBytes);
    int64_t frames = header.frameCount != 0 ? std::min<int64_t>(header.frameCount, room) : room;
    int64_t maxFrames = kMaxPcmBytes / std::max(1, header.pcmBytesPerFrame);
    frames = std::min(frames, maxFrames);
    int64_t bytesPerSample = int64_t(header.outBits / 8) * header.outChannels;
    int64_t samples = int64_t(header.pcmBytesPerFrame) * frames / bytesPerSample;

    info->channels = header.outChannels;
    info->sampleRate = header.outSampleRate;
    info->bitrate = header.bitrate;
    info->frames = int32_t(frames);
    info->samples = samples;
    info->seconds = int32_t(samples / header.outSampleRate);
    info->bits = header.outBits;
    const char* slash = std::strrchr(path, '\\');
    info->name = slash ? slash + 1 : path;
    return true;
}

int CMp3StreamReader::Close()
{
    open_ = false;
    if (source_) {
        source_->Close();
        source_.reset();
    }
    return 0;
}

int CMp3StreamReader::GetStatus()
{
    return status_;
}

void CMp3StreamReader::Reserved6() {}
void CMp3StreamReader::Reserved7() {}
void CMp3StreamReader::Start() {}
void CMp3StreamReader::Stop() {}
void CMp3StreamReader::SeekToFrame(int) {}
void CMp3StreamReader::SeekToSecond(int) {}

int CMp3StreamReader::EnableEqualizer(int on)
{
    Mp3EnableEqualizer(decoder_.get(), on);
    eqOn_ = on;
    return 0;
}

int CMp3StreamReader::SetEqualizer(const int levels[10])
{
    for (int i = 0; i < 10; ++i) {
        eqGains_[i] = levels[i] * 0.03 - 3.0;
    }
    Mp3SetEqualizer(decoder_.get(), eqGains_);
    return 0;
}

// Moves the unread bytes to the buffer's start and fills the rest from the
// file; false when the file gives nothing more.
bool CMp3StreamReader::Refill()
{
    std::memmove(input_.data(), input_.data() + readPos_, fill_);
    readPos_ = 0;
    size_t room = input_.size() - fill_;
    if (room == 0) {
        return false;
    }
    int got = source_->Read(input_.data() + fill_, int(room));
    if (got <= 0) {
        return false;
    }
    fill_ += size_t(got);
    return true;
}

// Skips the byte at the read position and moves to the next sync, reading
// more of the file as needed; false at the end of the file.
bool CMp3StreamReader::Resync()
{
    ++readPos_;
    --fill_;
    for (;;) {
        int offset = 0;
        if (Mp3FindSync(decoder_.get(), input_.data() + readPos_, int(fill_), &offset)) {
            readPos_ += size_t(offset);
            fill_ -= size_t(offset);
            return true;
        }
        // No sync starts before the last 3 bytes; only they may begin one.
        size_t keep = std::min<size_t>(fill_, 3);
        readPos_ += fill_ - keep;
        fill_ = keep;
        if (!Refill()) {
            return false;
        }
    }
}

size_t CMp3StreamReader::DecodeAll(void* pcm, size_t pcmBytes)
{
    if (!open_ || pcm == nullptr) {
        return 0;
    }
    Reserved7();
    if (!source_->Seek(syncOffset_)) {
        return 0;
    }
    input_.assign(size_t(framesPerBuffer_) * size_t(header_.maxFrameBytes), 0);
    readPos_ = 0;
    fill_ = 0;
    Refill();
    framePcm_.assign(size_t(header_.pcmBytesPerFrame), 0);
    if (!Mp3OpenStream(decoder_.get(), input_.data(), int(fill_))) {
        return 0;
    }
    size_t skip = std::min(size_t(header_.xingFrameBytes), fill_);
    readPos_ += skip;
    fill_ -= skip;
    callback_(2, 0, callbackContext_);

    uint8_t* out = static_cast<uint8_t*>(pcm);
    size_t written = 0;
    while (written < pcmBytes) {
        Mp3DecodeCall call;
        call.input = input_.data() + readPos_;
        call.inputBytes = int(fill_);
        // A whole frame that fits is decoded straight into the block; the
        // last one may not fit and goes through the frame buffer.
        bool direct = pcmBytes - written >= framePcm_.size();
        call.output = direct ? out + written : framePcm_.data();
        if (Mp3DecodeFrame(decoder_.get(), &call)) {
            readPos_ += size_t(call.inputBytes);
            fill_ -= size_t(call.inputBytes);
            // The block was sized from an estimate: stop at its end.
            size_t n = std::min(size_t(call.outputBytes), pcmBytes - written);
            if (!direct) {
                std::memcpy(out + written, framePcm_.data(), n);
            }
            written += n;
        } else if (Mp3GetLastError(decoder_.get()) == kMp3ErrorNeedData) {
            if (!Refill()) {
                break;
            }
        } else if (!Resync()) {
            break;
        }
    }
    return written;
}
