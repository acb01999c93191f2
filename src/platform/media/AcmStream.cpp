// AcmStream on libavcodec: the WAVE header's tag picks the decoder; block
// codecs get whole blocks as packets, MPEG data goes through the codec's
// parser. Output that does not fit the caller's room is held for the next call.
#include "platform/Media.h"
#include "platform/media/PcmConverter.h"

#include <algorithm>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace platform::media {

namespace {

AVCodecID CodecForTag(uint16_t tag)
{
    switch (tag) {
    case 0x0002: return AV_CODEC_ID_ADPCM_MS;
    case 0x0006: return AV_CODEC_ID_PCM_ALAW;
    case 0x0007: return AV_CODEC_ID_PCM_MULAW;
    case 0x0011: return AV_CODEC_ID_ADPCM_IMA_WAV;
    case 0x0031: return AV_CODEC_ID_GSM_MS;
    case 0x0050: return AV_CODEC_ID_MP2;
    case 0x0055: return AV_CODEC_ID_MP3;
    default: return AV_CODEC_ID_NONE;
    }
}

bool IsMpeg(uint16_t tag) { return tag == 0x0050 || tag == 0x0055; }

// Samples per channel that one source block gives; 0 for stream codecs (MPEG).
uint32_t SamplesPerBlock(const WaveFormat& f)
{
    uint32_t ch = f.nChannels;
    switch (f.wFormatTag) {
    case 0x0002:
        return f.nBlockAlign > 7 * ch ? (f.nBlockAlign - 7 * ch) * 8 / (4 * ch) + 2 : 0;
    case 0x0011:
        return f.nBlockAlign > 4 * ch ? (f.nBlockAlign - 4 * ch) * 8 / (4 * ch) + 1 : 0;
    case 0x0006:
    case 0x0007:
        return f.nBlockAlign / ch;
    case 0x0031:
        return f.nBlockAlign == 65 ? 320 : 0;
    default:
        return 0;
    }
}

class FfmpegAcmStream final : public AcmStream {
public:
    ~FfmpegAcmStream() override
    {
        av_parser_close(parser_);
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&codec_);
    }

    bool Init(const WaveFormat& src, const uint8_t* extra, size_t extraBytes, const WaveFormat& pcm)
    {
        src_ = src;
        pcm_ = pcm;
        const AVCodec* decoder = avcodec_find_decoder(CodecForTag(src.wFormatTag));
        if (!decoder) {
            return false;
        }
        codec_ = avcodec_alloc_context3(decoder);
        if (!codec_) {
            return false;
        }
        codec_->sample_rate = static_cast<int>(src.nSamplesPerSec);
        av_channel_layout_default(&codec_->ch_layout, src.nChannels);
        codec_->block_align = src.nBlockAlign;
        codec_->bit_rate = static_cast<int64_t>(src.nAvgBytesPerSec) * 8;
        codec_->bits_per_coded_sample = src.wBitsPerSample;
        if (extraBytes > 0) {
            codec_->extradata = static_cast<uint8_t*>(av_mallocz(extraBytes + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!codec_->extradata) {
                return false;
            }
            std::memcpy(codec_->extradata, extra, extraBytes);
            codec_->extradata_size = static_cast<int>(extraBytes);
        }
        if (avcodec_open2(codec_, decoder, nullptr) < 0) {
            return false;
        }
        if (IsMpeg(src.wFormatTag)) {
            parser_ = av_parser_init(decoder->id);
            if (!parser_) {
                return false;
            }
        }
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        return packet_ && frame_;
    }

    uint32_t Size(uint32_t bytes, bool fromSource) const override
    {
        uint64_t result;
        uint32_t spb = SamplesPerBlock(src_);
        if (spb) {
            uint64_t pcmPerBlock = static_cast<uint64_t>(spb) * pcm_.nBlockAlign;
            if (fromSource) {
                result = (static_cast<uint64_t>(bytes) + src_.nBlockAlign - 1) / src_.nBlockAlign * pcmPerBlock;
            } else {
                result = (bytes + pcmPerBlock - 1) / pcmPerBlock * src_.nBlockAlign;
            }
        } else {
            if (src_.nAvgBytesPerSec == 0 || pcm_.nAvgBytesPerSec == 0) {
                return 0;
            }
            if (fromSource) {
                result = (static_cast<uint64_t>(bytes) * pcm_.nAvgBytesPerSec + src_.nAvgBytesPerSec - 1) /
                         src_.nAvgBytesPerSec;
                result = (result + pcm_.nBlockAlign - 1) / pcm_.nBlockAlign * pcm_.nBlockAlign;
            } else {
                result = (static_cast<uint64_t>(bytes) * src_.nAvgBytesPerSec + pcm_.nAvgBytesPerSec - 1) /
                         pcm_.nAvgBytesPerSec;
            }
        }
        return result > UINT32_MAX ? 0 : static_cast<uint32_t>(result);
    }

    int64_t Convert(const uint8_t* src, uint32_t srcBytes, uint8_t* dst, uint32_t room,
                    uint32_t* consumed) override
    {
        uint32_t taken = 0;
        if (IsMpeg(src_.wFormatTag)) {
            // The parser reads past its input: give it a padded copy.
            padded_.assign(src, src + srcBytes);
            padded_.resize(srcBytes + AV_INPUT_BUFFER_PADDING_SIZE, 0);
            while (taken < srcBytes) {
                uint8_t* data = nullptr;
                int size = 0;
                int used = av_parser_parse2(parser_, codec_, &data, &size, padded_.data() + taken,
                                            static_cast<int>(srcBytes - taken), AV_NOPTS_VALUE,
                                            AV_NOPTS_VALUE, 0);
                if (used < 0) {
                    return -1;
                }
                taken += static_cast<uint32_t>(used);
                if (size > 0 && !Decode(data, size)) {
                    return -1;
                }
                if (used == 0 && size == 0) {
                    break;
                }
            }
        } else {
            uint32_t block = src_.nBlockAlign;
            while (srcBytes - taken >= block) {
                if (!Decode(src + taken, static_cast<int>(block))) {
                    return -1;
                }
                taken += block;
            }
        }
        if (consumed) {
            *consumed = taken;
        }
        uint32_t n = static_cast<uint32_t>(std::min<size_t>(room, held_.size() - heldOffset_));
        n -= n % pcm_.nBlockAlign;
        if (n > 0) {
            std::memcpy(dst, held_.data() + heldOffset_, n);
        }
        heldOffset_ += n;
        if (heldOffset_ == held_.size()) {
            held_.clear();
            heldOffset_ = 0;
        }
        return n;
    }

private:
    bool Decode(const uint8_t* data, int size)
    {
        if (av_new_packet(packet_, size) < 0) {
            return false;
        }
        std::memcpy(packet_->data, data, static_cast<size_t>(size));
        int r = avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
        if (r < 0 && r != AVERROR_INVALIDDATA) {
            return r == AVERROR(EAGAIN);
        }
        while (avcodec_receive_frame(codec_, frame_) == 0) {
            bool ok = converter_.Append(frame_, &held_);
            av_frame_unref(frame_);
            if (!ok) {
                return false;
            }
        }
        return true;
    }

    WaveFormat src_;
    WaveFormat pcm_;
    AVCodecContext* codec_ = nullptr;
    AVCodecParserContext* parser_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    PcmConverter converter_;
    std::vector<uint8_t> held_;
    size_t heldOffset_ = 0;
    std::vector<uint8_t> padded_;
};

bool ReadHeader(const uint8_t* format, size_t bytes, WaveFormat* out, const uint8_t** extra,
                size_t* extraBytes)
{
    if (!format || bytes < 16) {
        return false;
    }
    WaveFormat f;
    std::memcpy(&f, format, std::min(bytes, sizeof(WaveFormat)));
    if (bytes < sizeof(WaveFormat)) {
        f.cbSize = 0;
    }
    // The extra bytes the block really holds (a header may announce more).
    size_t available = bytes > sizeof(WaveFormat) ? bytes - sizeof(WaveFormat) : 0;
    *extraBytes = std::min<size_t>(f.cbSize, available);
    *extra = format + sizeof(WaveFormat);
    *out = f;
    return f.nChannels >= 1 && f.nChannels <= 2 && f.nSamplesPerSec >= 100 &&
           f.nSamplesPerSec <= 100000 && f.nBlockAlign > 0;
}

}  // namespace

bool AcmSupportsTag(uint16_t formatTag)
{
    return CodecForTag(formatTag) != AV_CODEC_ID_NONE;
}

bool AcmStream::SuggestPcm(const uint8_t* sourceFormat, size_t formatBytes, WaveFormat* pcm)
{
    WaveFormat f;
    const uint8_t* extra;
    size_t extraBytes;
    if (!ReadHeader(sourceFormat, formatBytes, &f, &extra, &extraBytes) || !AcmSupportsTag(f.wFormatTag)) {
        return false;
    }
    WaveFormat p;
    p.wFormatTag = kWaveFormatPcm;
    p.nChannels = f.nChannels;
    p.nSamplesPerSec = f.nSamplesPerSec;
    p.wBitsPerSample = 16;
    p.nBlockAlign = static_cast<uint16_t>(p.nChannels * 2);
    p.nAvgBytesPerSec = p.nSamplesPerSec * p.nBlockAlign;
    p.cbSize = 0;
    *pcm = p;
    return true;
}

std::unique_ptr<AcmStream> AcmStream::Open(const uint8_t* sourceFormat, size_t formatBytes,
                                           const WaveFormat& pcm)
{
    WaveFormat f;
    const uint8_t* extra;
    size_t extraBytes;
    if (!ReadHeader(sourceFormat, formatBytes, &f, &extra, &extraBytes)) {
        return nullptr;
    }
    WaveFormat expected;
    if (!SuggestPcm(sourceFormat, formatBytes, &expected) || pcm.nChannels != expected.nChannels ||
        pcm.nSamplesPerSec != expected.nSamplesPerSec || pcm.wBitsPerSample != 16) {
        return nullptr;
    }
    av_log_set_level(AV_LOG_QUIET);
    auto stream = std::make_unique<FfmpegAcmStream>();
    // MPEG Layer-3's extra bytes describe the stream for the codec, not for libavcodec.
    bool passExtra = !IsMpeg(f.wFormatTag);
    if (!stream->Init(f, extra, passExtra ? extraBytes : 0, pcm)) {
        return nullptr;
    }
    return stream;
}

}  // namespace platform::media
