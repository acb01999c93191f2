#pragma once
// Video decoding for the movie player, on FFmpeg: the best video stream of a
// loose file, decoded frame by frame into 32-bit B, G, R, X rows (display
// format 7) at the stream's own size. A movie's sound is read separately
// through AudioFileDecoder (Media.h) on its own handle of the file, so the
// sound feeder thread and the game thread never share a demuxer.
#include <cstdint>
#include <memory>
#include <string>

namespace platform::media {

class MovieDecoder {
public:
    // Null when the file cannot be opened, has no decodable video, or its
    // frame size is 0 or above 4096 on either side.
    static std::unique_ptr<MovieDecoder> Open(const std::string& hostPath);
    virtual ~MovieDecoder() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Length of the video in ms; -1 when the file does not tell it.
    virtual int64_t GetDurationMs() const = 0;
    // Frame period in ms (at least 1), from the stream's frame rate.
    virtual int GetFrameMs() const = 0;
    // Decodes the next frame; false at the end of the stream or on an error
    // that leaves nothing more to show. *startMs gets the frame's start time.
    // The frame is converted only when it is asked for (a frame skipped
    // because it is late costs no conversion).
    virtual bool NextFrame(int64_t* startMs) = 0;
    // The last decoded frame: Height() rows of Width() pixels, Pitch() bytes
    // apart; valid until the next NextFrame or Seek. Null before the first
    // frame or when it cannot be converted.
    virtual const uint8_t* Pixels() = 0;
    virtual int32_t Pitch() const = 0;
    // Converts the last decoded frame straight into Height() rows of Width()
    // B, G, R, X pixels at dst, pitch bytes apart (a plane's own memory: no
    // copy through Pixels()); false before the first frame or on failure.
    virtual bool ConvertInto(uint8_t* dst, int32_t pitch) = 0;
    // Back to the frame at or before ms (the next NextFrame gives it); false on failure.
    virtual bool Seek(int64_t ms) = 0;
};

}  // namespace platform::media
