#include "platform/media/PcmConverter.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace platform::media {

PcmConverter::~PcmConverter()
{
    swr_free(&swr_);
    av_channel_layout_uninit(&inLayout_);
}

bool PcmConverter::Append(const AVFrame* frame, std::vector<uint8_t>* out)
{
    if (frame->nb_samples <= 0) {
        return true;
    }
    int channels = frame->ch_layout.nb_channels;
    if (channels <= 0) {
        return false;
    }
    if (!swr_ || frame->format != inFormat_ || frame->sample_rate != inRate_ ||
        av_channel_layout_compare(&frame->ch_layout, &inLayout_) != 0) {
        swr_free(&swr_);
        av_channel_layout_uninit(&inLayout_);
        AVChannelLayout inLayout{};
        if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&inLayout, channels);
        } else if (av_channel_layout_copy(&inLayout, &frame->ch_layout) < 0) {
            return false;
        }
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, OutputChannels(channels));
        int r = swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_S16, frame->sample_rate,
                                    &inLayout, static_cast<AVSampleFormat>(frame->format),
                                    frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        if (r < 0 || swr_init(swr_) < 0) {
            av_channel_layout_uninit(&inLayout);
            swr_free(&swr_);
            return false;
        }
        inLayout_ = inLayout;
        inFormat_ = frame->format;
        inRate_ = frame->sample_rate;
    }
    int outChannels = OutputChannels(channels);
    int room = swr_get_out_samples(swr_, frame->nb_samples);
    if (room <= 0) {
        return room == 0;
    }
    size_t old = out->size();
    out->resize(old + static_cast<size_t>(room) * outChannels * 2);
    uint8_t* dst = out->data() + old;
    int got = swr_convert(swr_, &dst, room, const_cast<const uint8_t**>(frame->extended_data),
                          frame->nb_samples);
    if (got < 0) {
        out->resize(old);
        return false;
    }
    out->resize(old + static_cast<size_t>(got) * outChannels * 2);
    return true;
}

}  // namespace platform::media
