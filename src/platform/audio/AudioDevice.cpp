// The output behind AudioDevice: an SDL2 audio device whose callback only
// calls the mixer, or the manual clock, under which tests mix by hand.
#include "platform/Audio.h"
#include "platform/audio/Mixer.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace platform {

namespace {

// Half an hour of 44.1 kHz stereo: a larger buffer comes from a bogus header.
constexpr uint32_t kMaxBufferBytes = 512u << 20;

std::atomic<bool> gManualClock{false};
std::mutex gOutputMutex;           // guards the output's lifetime and the capture
bool gCapturing = false;
std::vector<int16_t> gCapture;

void SdlCallback(void* userdata, Uint8* stream, int len)
{
    auto* mixer = static_cast<Mixer*>(userdata);
    mixer->Mix(reinterpret_cast<int16_t*>(stream),
               static_cast<uint32_t>(len) / (kMixChannels * sizeof(int16_t)));
}

bool IsPlayableFormat(const WaveFormat& f)
{
    return f.wFormatTag == kWaveFormatPcm && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
           f.nSamplesPerSec >= kFrequencyMin && f.nSamplesPerSec <= kFrequencyMax;
}

}  // namespace

// The opened output, shared by every live AudioDevice handle.
struct AudioOutput {
    std::shared_ptr<Mixer> mixer = Mixer::Instance();
    SDL_AudioDeviceID device = 0;
    bool manual = false;

    ~AudioOutput()
    {
        if (device) {
            // Closing waits for a running callback, so the mixer outlives it.
            SDL_CloseAudioDevice(device);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
};

namespace {
std::weak_ptr<AudioOutput>& CurrentOutput()
{
    static std::weak_ptr<AudioOutput> output;
    return output;
}
}  // namespace

std::unique_ptr<AudioDevice> AudioDevice::Create()
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    std::shared_ptr<AudioOutput> output = CurrentOutput().lock();
    if (!output) {
        output = std::make_shared<AudioOutput>();
        if (gManualClock) {
            output->manual = true;
        } else {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
                std::fprintf(stderr, "audio: SDL_InitSubSystem failed: %s\n", SDL_GetError());
                return nullptr;
            }
            SDL_AudioSpec want{};
            want.freq = kMixRate;
            want.format = AUDIO_S16SYS;
            want.channels = kMixChannels;
            want.samples = 512;  // about 12 ms: the cursors move in small steps
            want.callback = SdlCallback;
            want.userdata = output->mixer.get();
            SDL_AudioSpec have{};
            output->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            if (output->device == 0) {
                std::fprintf(stderr, "audio: SDL_OpenAudioDevice failed: %s\n", SDL_GetError());
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                return nullptr;
            }
            SDL_PauseAudioDevice(output->device, 0);
        }
        CurrentOutput() = output;
    }
    std::unique_ptr<AudioDevice> device(new AudioDevice);
    device->output_ = std::move(output);
    return device;
}

AudioDevice::~AudioDevice()
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    output_.reset();
}

int32_t AudioDevice::CreateSoundBuffer(const BufferDesc& desc, std::shared_ptr<SoundBuffer>* out)
{
    if (!out) {
        return kAudioErrInvalidParam;
    }
    if (!IsPlayableFormat(desc.format)) {
        return kAudioErrBadFormat;
    }
    uint32_t block = desc.format.nBlockAlign;
    uint32_t size = desc.bytes / block * block;
    if (size == 0) {
        return kAudioErrInvalidParam;
    }
    if (size > kMaxBufferBytes) {
        return kAudioErrOutOfMemory;
    }
    auto voice = std::make_shared<Voice>();
    try {
        voice->samples = std::make_shared<std::vector<uint8_t>>(size, 0);
    } catch (const std::bad_alloc&) {
        return kAudioErrOutOfMemory;
    }
    voice->format = desc.format;
    voice->format.cbSize = 0;
    voice->flags = desc.flags;
    voice->line = desc.line;
    voice->size = size;
    voice->frames = size / block;
    out->reset(new SoundBuffer(output_->mixer, std::move(voice)));
    return kAudioOk;
}

int32_t AudioDevice::DuplicateSoundBuffer(const SoundBuffer& original,
                                          std::shared_ptr<SoundBuffer>* out)
{
    if (!out) {
        return kAudioErrInvalidParam;
    }
    auto voice = std::make_shared<Voice>();
    {
        std::lock_guard<std::mutex> lock(output_->mixer->Lock());
        const Voice& src = *original.voice_;
        voice->samples = src.samples;
        voice->format = src.format;
        voice->flags = src.flags;
        voice->line = src.line;
        voice->size = src.size;
        voice->frames = src.frames;
        voice->volume = src.volume;
        voice->frequency = src.frequency;
        voice->pan = src.pan;
    }
    out->reset(new SoundBuffer(output_->mixer, std::move(voice)));
    return kAudioOk;
}

void SetLineGain(AudioLine line, uint16_t left, uint16_t right)
{
    Mixer::Instance()->SetLineGain(line, left, right);
}

void GetLineGain(AudioLine line, uint16_t* left, uint16_t* right)
{
    Mixer::Instance()->GetLineGain(line, left, right);
}

void UseManualClock(bool on)
{
    gManualClock = on;
}

bool IsManualClock()
{
    return gManualClock;
}

void AdvanceManualClock(uint32_t frames)
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    std::shared_ptr<AudioOutput> output = CurrentOutput().lock();
    if (!output || !output->manual) {
        return;
    }
    constexpr uint32_t kStep = kMixRate / 100;  // 10 ms
    int16_t block[kStep * kMixChannels];
    while (frames > 0) {
        uint32_t n = std::min(frames, kStep);
        output->mixer->Mix(block, n);
        if (gCapturing) {
            gCapture.insert(gCapture.end(), block, block + n * kMixChannels);
        }
        frames -= n;
    }
}

void SetManualCapture(bool on)
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    gCapturing = on;
    gCapture.clear();
}

std::vector<int16_t> TakeManualCapture()
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    std::vector<int16_t> out;
    out.swap(gCapture);
    return out;
}

}  // namespace platform
