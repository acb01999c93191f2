#pragma once
// Turns decoded FFmpeg frames of any sample format into interleaved 16-bit
// PCM at the same rate, one or two channels (more are mixed down to two).
#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

namespace platform::media {

class PcmConverter {
public:
    ~PcmConverter();
    // Output channels for an input channel count (1 stays 1, else 2).
    static int OutputChannels(int inputChannels) { return inputChannels == 1 ? 1 : 2; }
    // Appends the frame's samples to out; false on a conversion failure.
    bool Append(const AVFrame* frame, std::vector<uint8_t>* out);

private:
    SwrContext* swr_ = nullptr;
    int inFormat_ = -1;
    int inRate_ = 0;
    AVChannelLayout inLayout_{};
};

}  // namespace platform::media
