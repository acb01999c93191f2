#pragma once
// Audio decoding for the sound readers, on FFmpeg:
// - AudioFileDecoder: a loose file's primary audio stream decoded to
//   interleaved 16-bit PCM at the stream's own rate (one or two channels).
// - AcmStream: a codec-conversion stream in the manner of the audio
//   compression manager, for compressed WAVE data of the tags listed below.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Audio.h"

namespace platform::media {

class AudioFileDecoder {
public:
    // Null when the file cannot be opened or has no decodable audio.
    static std::unique_ptr<AudioFileDecoder> Open(const std::string& hostPath);
    virtual ~AudioFileDecoder() = default;

    // 16-bit PCM, the stream's rate, 1 or 2 channels (more are mixed down to 2).
    virtual WaveFormat GetFormat() const = 0;
    // Length in 100 ns units; -1 when unknown.
    virtual int64_t GetDuration() const = 0;
    // Up to `bytes` (whole frames) of PCM; 0 at the end of the stream, -1 on an error.
    virtual int64_t Read(void* buffer, uint32_t bytes) = 0;
    // Moves to a time in 100 ns units (sample-exact); false on failure.
    virtual bool Seek(int64_t time) = 0;
    // End time (100 ns) of the last PCM delivered; -1 before any.
    virtual int64_t GetLastSampleEnd() const = 0;
};

// Format tags an AcmStream converts: MS ADPCM 0x0002, A-law 0x0006, mu-law
// 0x0007, IMA ADPCM 0x0011, GSM 6.10 0x0031, MPEG 0x0050, MPEG Layer-3 0x0055.
bool AcmSupportsTag(uint16_t formatTag);

class AcmStream {
public:
    // The PCM a source decodes to (16-bit, the source's rate and channels);
    // false for a tag not listed above or an unusable header.
    static bool SuggestPcm(const uint8_t* sourceFormat, size_t formatBytes, WaveFormat* pcm);
    // Null when the codec cannot be opened for this source and target.
    static std::unique_ptr<AcmStream> Open(const uint8_t* sourceFormat, size_t formatBytes,
                                           const WaveFormat& pcm);
    virtual ~AcmStream() = default;

    // fromSource: PCM bytes that `bytes` of source give; otherwise source bytes
    // needed for `bytes` of PCM. 0 when it cannot be told.
    virtual uint32_t Size(uint32_t bytes, bool fromSource) const = 0;
    // Converts whole source blocks; *consumed gets the source bytes taken.
    // Returns PCM bytes written into dst (at most room; output beyond room is
    // held for the next call); -1 on a codec failure.
    virtual int64_t Convert(const uint8_t* src, uint32_t srcBytes, uint8_t* dst, uint32_t room,
                            uint32_t* consumed) = 0;
};

}  // namespace platform::media
