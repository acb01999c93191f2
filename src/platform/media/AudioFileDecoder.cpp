// AudioFileDecoder on libavformat + libavcodec: packets of the best audio
// stream are decoded and converted to 16-bit PCM; seeks land on the exact
// sample by dropping what precedes the target after the demuxer's seek.
#include "platform/Media.h"
#include "platform/media/PcmConverter.h"

#include <algorithm>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace platform::media {

namespace {

class FfmpegAudioFileDecoder final : public AudioFileDecoder {
public:
    ~FfmpegAudioFileDecoder() override
    {
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }

    bool Init(const std::string& path)
    {
        if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) {
            return false;
        }
        if (avformat_find_stream_info(format_, nullptr) < 0) {
            return false;
        }
        const AVCodec* decoder = nullptr;
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (stream_ < 0 || !decoder) {
            return false;
        }
        codec_ = avcodec_alloc_context3(decoder);
        if (!codec_ ||
            avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar) < 0 ||
            avcodec_open2(codec_, decoder, nullptr) < 0) {
            return false;
        }
        int channels = codec_->ch_layout.nb_channels;
        if (channels <= 0 || codec_->sample_rate < 1 || codec_->sample_rate > 100000) {
            return false;
        }
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (!packet_ || !frame_) {
            return false;
        }
        format.wFormatTag = kWaveFormatPcm;
        format.nChannels = static_cast<uint16_t>(PcmConverter::OutputChannels(channels));
        format.nSamplesPerSec = static_cast<uint32_t>(codec_->sample_rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<uint16_t>(format.nChannels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        const AVStream* s = format_->streams[stream_];
        if (s->duration != AV_NOPTS_VALUE && s->duration > 0) {
            duration_ = av_rescale_q(s->duration, s->time_base, AVRational{1, 10000000});
        } else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
            duration_ = format_->duration * 10;  // AV_TIME_BASE is microseconds
        }
        return true;
    }

    WaveFormat GetFormat() const override { return format; }
    int64_t GetDuration() const override { return duration_; }
    int64_t GetLastSampleEnd() const override
    {
        if (!delivered_) {
            return -1;
        }
        return position_ * 10000000 / format.nSamplesPerSec;
    }

    int64_t Read(void* buffer, uint32_t bytes) override
    {
        uint32_t want = bytes / format.nBlockAlign * format.nBlockAlign;
        auto* out = static_cast<uint8_t*>(buffer);
        uint32_t done = 0;
        while (done < want) {
            if (pendingOffset_ < pending_.size()) {
                size_t n = std::min<size_t>(want - done, pending_.size() - pendingOffset_);
                std::memcpy(out + done, pending_.data() + pendingOffset_, n);
                pendingOffset_ += n;
                done += static_cast<uint32_t>(n);
                continue;
            }
            pending_.clear();
            pendingOffset_ = 0;
            int r = DecodeMore();
            if (r < 0) {
                if (done == 0) {
                    return -1;
                }
                break;
            }
            if (r == 0) {
                break;
            }
        }
        if (done) {
            delivered_ = true;
            position_ += done / format.nBlockAlign;
        }
        return done;
    }

    bool Seek(int64_t time) override
    {
        if (time < 0) {
            return false;
        }
        const AVStream* s = format_->streams[stream_];
        int64_t ts = av_rescale_q(time, AVRational{1, 10000000}, s->time_base);
        if (s->start_time != AV_NOPTS_VALUE) {
            ts += s->start_time;
        }
        if (av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(format_, -1, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_BYTE) < 0) {
            return false;
        }
        avcodec_flush_buffers(codec_);
        pending_.clear();
        pendingOffset_ = 0;
        ended_ = false;
        flushed_ = false;
        skipToFrame_ = time * format.nSamplesPerSec / 10000000;
        seeking_ = true;
        position_ = skipToFrame_;
        delivered_ = false;
        return true;
    }

private:
    // Appends decoded PCM to pending_: 1 when some came, 0 at the end, -1 on an error.
    int DecodeMore()
    {
        while (pending_.empty()) {
            int r = avcodec_receive_frame(codec_, frame_);
            if (r == 0) {
                int64_t first = FrameStart();
                size_t before = pending_.size();
                if (!converter_.Append(frame_, &pending_)) {
                    return -1;
                }
                av_frame_unref(frame_);
                if (seeking_) {
                    // Drop what lies before the target sample.
                    int64_t got = static_cast<int64_t>((pending_.size() - before) / format.nBlockAlign);
                    if (first < 0) {
                        first = skipToFrame_;  // no timestamps: take the frame as the target
                    }
                    if (first + got <= skipToFrame_) {
                        pending_.resize(before);
                        continue;
                    }
                    int64_t drop = std::max<int64_t>(0, skipToFrame_ - first);
                    pending_.erase(pending_.begin() + before,
                                   pending_.begin() + before + drop * format.nBlockAlign);
                    seeking_ = false;
                }
                continue;
            }
            if (r == AVERROR_EOF) {
                return 0;
            }
            if (r != AVERROR(EAGAIN)) {
                return -1;
            }
            if (ended_) {
                if (flushed_) {
                    return 0;
                }
                avcodec_send_packet(codec_, nullptr);
                flushed_ = true;
                continue;
            }
            r = av_read_frame(format_, packet_);
            if (r < 0) {
                ended_ = true;
                continue;
            }
            if (packet_->stream_index == stream_) {
                // A damaged packet is skipped; the stream goes on.
                avcodec_send_packet(codec_, packet_);
            }
            av_packet_unref(packet_);
        }
        return 1;
    }

    int64_t FrameStart() const
    {
        int64_t pts = frame_->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE) {
            return -1;
        }
        const AVStream* s = format_->streams[stream_];
        if (s->start_time != AV_NOPTS_VALUE) {
            pts -= s->start_time;
        }
        return av_rescale_q(pts, s->time_base, AVRational{1, static_cast<int>(format.nSamplesPerSec)});
    }

    WaveFormat format;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    int64_t duration_ = -1;
    PcmConverter converter_;
    std::vector<uint8_t> pending_;
    size_t pendingOffset_ = 0;
    bool ended_ = false;
    bool flushed_ = false;
    bool seeking_ = false;
    int64_t skipToFrame_ = 0;
    int64_t position_ = 0;  // frames delivered from the start
    bool delivered_ = false;
};

}  // namespace

std::unique_ptr<AudioFileDecoder> AudioFileDecoder::Open(const std::string& hostPath)
{
    av_log_set_level(AV_LOG_QUIET);
    auto decoder = std::make_unique<FfmpegAudioFileDecoder>();
    if (!decoder->Init(hostPath)) {
        return nullptr;
    }
    return decoder;
}

}  // namespace platform::media
