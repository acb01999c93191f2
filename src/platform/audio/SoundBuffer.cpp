// platform::SoundBuffer: every operation takes the mixer's lock, so the game
// thread, stream workers and the output callback see one consistent state.
#include "platform/Audio.h"
#include "platform/audio/Mixer.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// How far ahead of the play cursor the write cursor stands: the mixer may
// already hold that much (one output block of at most 10 ms).
uint32_t WriteLeadBytes(const Voice& v)
{
    uint32_t rate = v.frequency ? v.frequency : v.format.nSamplesPerSec;
    uint64_t frames = (static_cast<uint64_t>(rate) * 10 + 999) / 1000 + 1;
    return static_cast<uint32_t>(std::min<uint64_t>(frames, v.frames) * v.format.nBlockAlign);
}

uint32_t PlayBytes(const Voice& v)
{
    return static_cast<uint32_t>(v.position >> 32) * v.format.nBlockAlign;
}

}  // namespace

const char* ToString(AudioResult code)
{
    switch (code) {
    case kAudioOk: return "ok";
    case kAudioErrInvalidParam: return "invalid parameter";
    case kAudioErrInvalidCall: return "invalid call";
    case kAudioErrControlUnavail: return "control not available";
    case kAudioErrBadFormat: return "bad format";
    case kAudioErrOutOfMemory: return "out of memory";
    case kAudioErrNoDevice: return "no device";
    case kAudioErrBufferLost: return "buffer lost";
    default: return "unknown audio error";
    }
}

SoundBuffer::SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<Voice> voice)
    : mixer_(std::move(mixer)), voice_(std::move(voice))
{
    mixer_->Add(voice_.get());
}

SoundBuffer::~SoundBuffer()
{
    mixer_->Remove(voice_.get());
}

int32_t SoundBuffer::Play(bool looping)
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    voice_->playing = true;
    voice_->looping = looping;
    return kAudioOk;
}

int32_t SoundBuffer::Stop()
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    voice_->playing = false;
    return kAudioOk;
}

int32_t SoundBuffer::GetStatus(uint32_t* status) const
{
    if (!status) {
        return kAudioErrInvalidParam;
    }
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    *status = 0;
    if (voice_->playing) {
        *status |= kStatusPlaying;
        if (voice_->looping) {
            *status |= kStatusLooping;
        }
    }
    return kAudioOk;
}

int32_t SoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) const
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    const Voice& v = *voice_;
    uint32_t p = PlayBytes(v);
    if (play) {
        *play = p;
    }
    if (write) {
        *write = v.playing ? (p + WriteLeadBytes(v)) % v.size : p;
    }
    return kAudioOk;
}

int32_t SoundBuffer::SetCurrentPosition(uint32_t offset)
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    Voice& v = *voice_;
    if (offset >= v.size) {
        return kAudioErrInvalidParam;
    }
    v.position = static_cast<uint64_t>(offset / v.format.nBlockAlign) << 32;
    return kAudioOk;
}

int32_t SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1,
                          void** p2, uint32_t* n2, uint32_t flags)
{
    if (!p1 || !n1) {
        return kAudioErrInvalidParam;
    }
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    Voice& v = *voice_;
    if (v.locked) {
        return kAudioErrInvalidCall;
    }
    if (flags & kLockEntireBuffer) {
        offset = 0;
        bytes = v.size;
    } else if (flags & kLockFromWriteCursor) {
        offset = v.playing ? (PlayBytes(v) + WriteLeadBytes(v)) % v.size : PlayBytes(v);
    }
    if (offset >= v.size || bytes == 0 || bytes > v.size) {
        return kAudioErrInvalidParam;
    }
    // Both regions live in one staging block: first [offset, end), then the wrap.
    v.staging.resize(bytes);
    uint32_t first = std::min(bytes, v.size - offset);
    std::memcpy(v.staging.data(), v.samples->data() + offset, first);
    std::memcpy(v.staging.data() + first, v.samples->data(), bytes - first);
    v.locked = true;
    v.lockOffset = offset;
    v.lockBytes = bytes;
    *p1 = v.staging.data();
    *n1 = first;
    if (p2) {
        *p2 = bytes > first ? v.staging.data() + first : nullptr;
    }
    if (n2) {
        *n2 = bytes - first;
    } else if (bytes > first) {
        // The caller cannot take the wrapped part: give it only the first.
        v.lockBytes = first;
    }
    return kAudioOk;
}

int32_t SoundBuffer::Unlock(void* p1, uint32_t n1, void* p2, uint32_t n2)
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    Voice& v = *voice_;
    if (!v.locked || p1 != v.staging.data()) {
        return kAudioErrInvalidCall;
    }
    uint32_t first = std::min(v.lockBytes, v.size - v.lockOffset);
    if (n1 > first || (p2 && p2 != v.staging.data() + first) || n2 > v.lockBytes - first) {
        return kAudioErrInvalidParam;
    }
    std::memcpy(v.samples->data() + v.lockOffset, v.staging.data(), n1);
    if (p2 && n2) {
        std::memcpy(v.samples->data(), v.staging.data() + first, n2);
    }
    v.locked = false;
    return kAudioOk;
}

int32_t SoundBuffer::SetVolume(int32_t volume)
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    if (!(voice_->flags & kBufCtrlVolume)) {
        return kAudioErrControlUnavail;
    }
    if (volume < kVolumeMin || volume > kVolumeMax) {
        return kAudioErrInvalidParam;
    }
    voice_->volume = volume;
    return kAudioOk;
}

int32_t SoundBuffer::GetVolume(int32_t* volume) const
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    if (!(voice_->flags & kBufCtrlVolume)) {
        return kAudioErrControlUnavail;
    }
    if (!volume) {
        return kAudioErrInvalidParam;
    }
    *volume = voice_->volume;
    return kAudioOk;
}

int32_t SoundBuffer::SetFrequency(uint32_t hz)
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    if (!(voice_->flags & kBufCtrlFrequency)) {
        return kAudioErrControlUnavail;
    }
    if (hz != 0 && (hz < kFrequencyMin || hz > kFrequencyMax)) {
        return kAudioErrInvalidParam;
    }
    voice_->frequency = hz;
    return kAudioOk;
}

int32_t SoundBuffer::GetFrequency(uint32_t* hz) const
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    if (!(voice_->flags & kBufCtrlFrequency)) {
        return kAudioErrControlUnavail;
    }
    if (!hz) {
        return kAudioErrInvalidParam;
    }
    *hz = voice_->frequency ? voice_->frequency : voice_->format.nSamplesPerSec;
    return kAudioOk;
}

int32_t SoundBuffer::SetPan(int32_t pan)
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    if (!(voice_->flags & kBufCtrlPan)) {
        return kAudioErrControlUnavail;
    }
    if (pan < -10000 || pan > 10000) {
        return kAudioErrInvalidParam;
    }
    voice_->pan = pan;
    return kAudioOk;
}

int32_t SoundBuffer::GetPan(int32_t* pan) const
{
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    if (!(voice_->flags & kBufCtrlPan)) {
        return kAudioErrControlUnavail;
    }
    if (!pan) {
        return kAudioErrInvalidParam;
    }
    *pan = voice_->pan;
    return kAudioOk;
}

int32_t SoundBuffer::GetFormat(WaveFormat* out, uint32_t size, uint32_t* written) const
{
    if (!out) {
        return kAudioErrInvalidParam;
    }
    std::lock_guard<std::mutex> lock(mixer_->Lock());
    uint32_t n = std::min<uint32_t>(size, sizeof(WaveFormat));
    std::memcpy(out, &voice_->format, n);
    if (written) {
        *written = n;
    }
    return kAudioOk;
}

int32_t SoundBuffer::Restore()
{
    return kAudioOk;
}

uint32_t SoundBuffer::GetSize() const
{
    return voice_->size;
}

uint32_t SoundBuffer::GetFlags() const
{
    return voice_->flags;
}

bool SoundBuffer::SharesSamplesWith(const SoundBuffer& other) const
{
    return voice_->samples == other.voice_->samples;
}

}  // namespace platform
