// MovieDecoder on libavformat + libavcodec + libswscale: packets of the best
// video stream are decoded and converted to B, G, R, X rows. Times are taken
// from the frame's best-effort timestamp, counted from the stream's start
// (MPEG program streams start their clock well above 0).
#include "platform/MovieDecoder.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace platform::media {

namespace {

// Larger frames than any display mode are refused: they are either hostile
// headers or nothing this engine could show.
constexpr int kMaxSide = 4096;

class FfmpegMovieDecoder final : public MovieDecoder {
public:
    ~FfmpegMovieDecoder() override
    {
        sws_freeContext(scale_);
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }

    bool Init(const std::string& path)
    {
        if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(format_, nullptr) < 0) {
            return false;
        }
        const AVCodec* decoder = nullptr;
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (stream_ < 0 || !decoder) {
            return false;
        }
        codec_ = avcodec_alloc_context3(decoder);
        if (!codec_ || avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar) < 0 ||
            avcodec_open2(codec_, decoder, nullptr) < 0) {
            return false;
        }
        width_ = codec_->width;
        height_ = codec_->height;
        if (width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide) {
            return false;
        }
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (!packet_ || !frame_) {
            return false;
        }
        const AVStream* s = format_->streams[stream_];
        timeBase_ = s->time_base;
        start_ = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
        AVRational rate = av_guess_frame_rate(format_, format_->streams[stream_], nullptr);
        if (rate.num > 0 && rate.den > 0) {
            frameMs_ = static_cast<int>(av_rescale(1000, rate.den, rate.num));
        }
        if (frameMs_ < 1) {
            frameMs_ = 1;
        }
        if (s->duration != AV_NOPTS_VALUE && s->duration > 0) {
            durationMs_ = av_rescale_q(s->duration, timeBase_, AVRational{1, 1000});
        } else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
            durationMs_ = format_->duration / 1000;
        }
        pitch_ = width_ * 4;  // width <= 4096: no overflow
        return true;
    }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int64_t GetDurationMs() const override { return durationMs_; }
    int GetFrameMs() const override { return frameMs_; }
    const uint8_t* Pixels() override
    {
        if (haveFrame_ && !converted_) {
            // Made on first use: a movie converted straight into a plane never needs it.
            if (pixels_.empty()) {
                pixels_.resize(static_cast<size_t>(pitch_) * static_cast<size_t>(height_));
            }
            converted_ = ConvertInto(pixels_.data(), pitch_);
            if (!converted_) {
                return nullptr;
            }
        }
        return haveFrame_ ? pixels_.data() : nullptr;
    }
    int32_t Pitch() const override { return pitch_; }

    bool NextFrame(int64_t* startMs) override
    {
        for (;;) {
            haveFrame_ = false;
            int r = avcodec_receive_frame(codec_, frame_);
            if (r == 0) {
                // A stream may change size mid-way (frames are scaled to the
                // size the plane was made for), but not past the limit.
                if (frame_->width <= 0 || frame_->height <= 0 || frame_->width > kMaxSide ||
                    frame_->height > kMaxSide) {
                    av_frame_unref(frame_);
                    return false;
                }
                // Kept (referenced) until converted or replaced.
                haveFrame_ = true;
                converted_ = false;
                int64_t ts = frame_->best_effort_timestamp;
                int64_t ms = ts == AV_NOPTS_VALUE ? lastMs_ + frameMs_
                                                  : av_rescale_q(ts - start_, timeBase_, AVRational{1, 1000});
                if (ms < 0) {
                    ms = 0;
                }
                lastMs_ = ms;
                if (startMs) {
                    *startMs = ms;
                }
                return true;
            }
            if (r == AVERROR_EOF || (r != AVERROR(EAGAIN))) {
                return false;
            }
            if (flushed_) {
                return false;
            }
            if (!Feed()) {
                return false;
            }
        }
    }

    bool Seek(int64_t ms) override
    {
        // Rounded down, so that the seek lands at or before the time asked.
        int64_t ts = start_ + av_rescale_q_rnd(ms < 0 ? 0 : ms, AVRational{1, 1000}, timeBase_, AV_ROUND_DOWN);
        if (av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(format_, -1, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_BYTE) < 0) {
            return false;
        }
        avcodec_flush_buffers(codec_);
        av_frame_unref(frame_);
        flushed_ = false;
        haveFrame_ = false;
        lastMs_ = -frameMs_;
        return true;
    }

private:
    // One packet of our stream into the decoder (the drain at the end of the
    // file); false on a send error.
    bool Feed()
    {
        for (;;) {
            int r = av_read_frame(format_, packet_);
            if (r < 0) {
                flushed_ = true;
                return avcodec_send_packet(codec_, nullptr) >= 0;
            }
            if (packet_->stream_index != stream_) {
                av_packet_unref(packet_);
                continue;
            }
            r = avcodec_send_packet(codec_, packet_);
            av_packet_unref(packet_);
            // A damaged packet is dropped; the decoder goes on with the next.
            return r >= 0 || r == AVERROR_INVALIDDATA || r == AVERROR(EAGAIN);
        }
    }

public:
    bool ConvertInto(uint8_t* dst, int32_t pitch) override
    {
        if (!haveFrame_ || dst == nullptr || pitch < width_ * 4) {
            return false;
        }
        // B, G, R, A rather than B, G, R, 0: swscale writes the same bytes
        // for both (its direct YUV to 32-bit converter fills the fourth byte
        // with 255 either way), but it does not recognise a B, G, R, 0
        // context as the cached one and builds a new context every frame.
        scale_ = sws_getCachedContext(scale_, frame_->width, frame_->height,
                                      static_cast<AVPixelFormat>(frame_->format), width_, height_,
                                      AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!scale_) {
            return false;
        }
        uint8_t* planes[4] = {dst, nullptr, nullptr, nullptr};
        int pitches[4] = {pitch, 0, 0, 0};
        return sws_scale(scale_, frame_->data, frame_->linesize, 0, frame_->height, planes, pitches) > 0;
    }

private:
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* scale_ = nullptr;
    int stream_ = -1;
    AVRational timeBase_{1, 1000};
    int64_t start_ = 0;
    int width_ = 0;
    int height_ = 0;
    int32_t pitch_ = 0;
    int frameMs_ = 40;
    int64_t durationMs_ = -1;
    int64_t lastMs_ = -40;
    bool flushed_ = false;
    bool haveFrame_ = false;  // frame_ holds a decoded frame
    bool converted_ = false;  // and pixels_ holds it converted
    std::vector<uint8_t> pixels_;
};

}  // namespace

std::unique_ptr<MovieDecoder> MovieDecoder::Open(const std::string& hostPath)
{
    auto decoder = std::make_unique<FfmpegMovieDecoder>();
    if (!decoder->Init(hostPath)) {
        return nullptr;
    }
    return decoder;
}

}  // namespace platform::media
