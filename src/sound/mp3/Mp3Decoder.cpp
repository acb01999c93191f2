// Header and frame-length rules, synchronisation, the "Xing" header, options,
// the equaliser and the frame loop of the decoder.
#include "sound/mp3/Mp3Decoder.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "sound/mp3/Mp3State.h"

namespace mp3 {

namespace {

// kbit/s by [MPEG-1 / MPEG-2 and 2.5][layer - 1][bitrate index].
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};

// Hz by [version - 1][sample-rate index].
constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

// A "Xing" header needs at most offset 38 + 16 bytes; a first frame shorter
// than this is refused before the tag is looked for.
constexpr int kFirstFrameMinBytes = 156;

int SetError(Mp3Decoder& st, int code)
{
    st.lastError = code;
    return 0;
}

uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

int BitrateOf(const Mp3HeaderFields& h)
{
    return kBitrates[h.version == 1 ? 0 : 1][h.layer - 1][h.bitrateIndex] * 1000;
}

int SampleRateOf(const Mp3HeaderFields& h)
{
    return kSampleRates[h.version - 1][h.sampleRateIndex];
}

int SourceChannels(const Mp3HeaderFields& h)
{
    return h.mode == 3 ? 1 : 2;
}

// Frame length in bytes from a bitrate, a sample rate and the padding bit.
int FrameLength(const Mp3HeaderFields& h, int bitrate, int sampleRate, int padding)
{
    switch (h.layer) {
    case 1:
        return (12 * bitrate / sampleRate + padding) * 4;
    case 2:
        return 144 * bitrate / sampleRate + padding;
    default:
        return (h.version == 1 ? 144 * bitrate / sampleRate : 144 * bitrate / sampleRate / 2) + padding;
    }
}

// Samples per channel of one frame at full rate.
int FrameSamples(const Mp3HeaderFields& h)
{
    if (h.layer == 1) {
        return 384;
    }
    if (h.layer == 2 || h.version == 1) {
        return 1152;
    }
    return 576;
}

// Offset of a "Xing" tag: right after the side information.
int XingOffset(const Mp3HeaderFields& h)
{
    int offset = h.crcPresent ? 6 : 4;
    if (h.layer == 3) {
        bool mono = h.mode == 3;
        if (h.version == 1) {
            offset += mono ? 17 : 32;
        } else {
            offset += mono ? 9 : 17;
        }
    }
    return offset;
}

void NullDecoder(Mp3Decoder& st, const Mp3HeaderFields&, const uint8_t*, int, uint8_t* output)
{
    // Nothing is decoded, but the caller still copies the frame's PCM: give it silence.
    WriteSilence(st, output);
}

std::once_flag gTablesBuilt;

}  // namespace

void BuildTablesOnce()
{
    std::call_once(gTablesBuilt, [] {
        BuildLayerITables();
        BuildLayerIITables();
        BuildLayerIIITables();
        BuildSynthesisTables();
    });
}

void WriteSilence(const Mp3Decoder& st, uint8_t* output)
{
    std::memset(output, st.outBits == 8 ? 0x80 : 0, size_t(st.pcmBytesPerFrame));
}

int DecodedSubbands(const Mp3Decoder& st, int sampleRate, int layerLimit)
{
    const Mp3DecoderOptions& o = st.options;
    int64_t n = (int64_t(o.frequencyLimit) * 64 + sampleRate / 2) / sampleRate;
    int m = 32 >> o.downSampling;
    if (st.allSubbands) {
        return m < layerLimit ? m : layerLimit;
    }
    if (m > 8) {
        m -= 1;
    }
    if (n > m) {
        n = m;
    }
    if (n > layerLimit) {
        n = layerLimit;
    }
    if (n < 0) {
        n = 0;
    }
    return int(n);
}

}  // namespace mp3

void Mp3DecoderDeleter::operator()(Mp3Decoder* decoder) const
{
    delete decoder;
}

Mp3DecoderPtr Mp3NewDecoder()
{
    Mp3DecoderPtr decoder(new Mp3Decoder);
    Mp3DecoderInit(decoder.get());
    return decoder;
}

const char* ToString(Mp3Error code)
{
    switch (code) {
    case kMp3ErrorNone:
        return "no error";
    case kMp3ErrorNoSync:
        return "no frame sync";
    case kMp3ErrorBadHeader:
        return "header field out of range or frame foreign to the stream";
    case kMp3ErrorNeedData:
        return "not enough data";
    default:
        return "unknown MP3 decoder error";
    }
}

int Mp3DecoderInit(Mp3Decoder* st)
{
    for (float& f : st->eqFactor) {
        f = 1.0f;
    }
    st->options = Mp3DecoderOptions{};
    st->eqOn = false;
    mp3::BuildTablesOnce();
    return 1;
}

int Mp3SetEqualizer(Mp3Decoder* st, const double gains[10])
{
    // Bands 0-5 are one subband each, then 2, 4, 8 and 12 subbands.
    static constexpr int kBandWidth[10] = {1, 1, 1, 1, 1, 1, 2, 4, 8, 12};
    int k = 0;
    for (int band = 0; band < 10; ++band) {
        float factor = float(std::pow(10.0, gains[band]));
        for (int i = 0; i < kBandWidth[band]; ++i) {
            st->eqFactor[k++] = factor;
        }
    }
    return 1;
}

int Mp3EnableEqualizer(Mp3Decoder* st, int on)
{
    st->eqOn = on != 0;
    return 0;
}

int Mp3GetOptions(const Mp3Decoder* st, Mp3DecoderOptions* options)
{
    *options = st->options;
    return 1;
}

int Mp3SetOptions(Mp3Decoder* st, const Mp3DecoderOptions* options)
{
    Mp3DecoderOptions o = *options;
    // Out-of-range values would index past the variant tables; keep them sane.
    if (o.downSampling < 0 || o.downSampling > 2) {
        o.downSampling = 0;
    }
    o.outputCode &= 0x0B;
    if (o.frequencyLimit < 0) {
        o.frequencyLimit = 0;
    }
    st->options = o;
    return 1;
}

int Mp3GetLastError(const Mp3Decoder* st)
{
    return st->lastError;
}

int Mp3ParseHeader(Mp3Decoder* st, const uint8_t* frame, Mp3HeaderFields* h)
{
    uint8_t b1 = frame[1], b2 = frame[2], b3 = frame[3];
    int id = (b1 >> 3) & 1;
    int layerBits = (b1 >> 1) & 3;
    int protection = b1 & 1;
    h->bitrateIndex = b2 >> 4;
    h->sampleRateIndex = (b2 >> 2) & 3;
    h->padding = (b2 >> 1) & 1;
    h->privateBit = b2 & 1;
    h->mode = b3 >> 6;
    h->modeExtension = (b3 >> 4) & 3;
    h->copyBit = (b3 >> 3) & 1;
    h->originalBit = (b3 >> 2) & 1;
    h->emphasis = b3 & 3;
    if (frame[0] != 0xFF) {
        return mp3::SetError(*st, kMp3ErrorNoSync);
    }
    if (h->sampleRateIndex >= 3 || h->bitrateIndex < 1 || h->bitrateIndex > 14 || layerBits == 0) {
        return mp3::SetError(*st, kMp3ErrorBadHeader);
    }
    if ((b1 & 0xF0) == 0xF0) {
        h->version = id ? 1 : 2;
    } else if ((b1 & 0xF0) == 0xE0) {
        // MPEG-2.5 has the ID bit 0; 0xFF 0xE8-0xEF is reserved in the standard
        // but taken as MPEG-2.5 like the rest of the 0xE_ range.
        h->version = 3;
    } else {
        return mp3::SetError(*st, kMp3ErrorNoSync);
    }
    h->layer = 4 - layerBits;
    h->crcPresent = 1 - protection;
    return 1;
}

int Mp3FindSync(Mp3Decoder* st, const uint8_t* buffer, int size, int* offset)
{
    *offset = 0;
    for (int i = 0; i <= size - 4; ++i) {
        if (buffer[i] == 0xFF && (buffer[i + 1] & 0xE0) == 0xE0) {
            *offset = i;
            return 1;
        }
    }
    return mp3::SetError(*st, kMp3ErrorNeedData);
}

int Mp3ReadFirstFrame(Mp3Decoder* st, const uint8_t* frame, int size, Mp3FrameHeader* h)
{
    if (size < mp3::kFirstFrameMinBytes) {
        return mp3::SetError(*st, kMp3ErrorNeedData);
    }
    if (!Mp3ParseHeader(st, frame, h)) {
        return 0;
    }
    const Mp3DecoderOptions& o = st->options;
    int bitrate = mp3::BitrateOf(*h);
    int sampleRate = mp3::SampleRateOf(*h);
    int padUnit = h->layer == 1 ? 4 : 1;

    const uint8_t* tag = frame + mp3::XingOffset(*h);
    bool xing = std::memcmp(tag, "Xing", 4) == 0;
    if (xing) {
        uint32_t flags = mp3::BigEndian32(tag + 4);
        if ((flags & 3) == 0) {
            return mp3::SetError(*st, kMp3ErrorBadHeader);
        }
        // Counts beyond 2^31 are nonsense; keep them non-negative.
        h->frameCount = int32_t(mp3::BigEndian32(tag + 8) & 0x7FFFFFFF);
        h->streamBytes = int32_t(mp3::BigEndian32(tag + 12) & 0x7FFFFFFF);
        h->xingFrameBytes = mp3::FrameLength(*h, bitrate, sampleRate, h->padding);
        int shortest = 0, longest = 0;
        for (int i = 1; i <= 14; ++i) {
            Mp3HeaderFields probe = *h;
            probe.bitrateIndex = i;
            int len = mp3::FrameLength(probe, mp3::BitrateOf(probe), sampleRate, 0);
            if (i == 1 || len < shortest) {
                shortest = len;
            }
            if (len > longest) {
                longest = len;
            }
        }
        h->minFrameBytes = shortest;
        h->maxFrameBytes = longest + padUnit;
        h->bitrate = 0;
    } else {
        h->frameCount = 0;
        h->streamBytes = 0;
        h->xingFrameBytes = 0;
        h->minFrameBytes = mp3::FrameLength(*h, bitrate, sampleRate, 0);
        h->maxFrameBytes = h->minFrameBytes + padUnit;
        h->bitrate = bitrate;
    }

    int samples = mp3::FrameSamples(*h) >> o.downSampling;
    h->outChannels = (h->mode == 3 || (o.outputCode & 3) != 0) ? 1 : 2;
    h->outBits = (o.outputCode & 8) ? 8 : 16;
    h->pcmBytesPerFrame = samples * h->outChannels * (h->outBits / 8);
    h->outSampleRate = sampleRate >> o.downSampling;

    st->sampleRate = sampleRate;
    st->pcmBytesPerFrame = h->pcmBytesPerFrame;
    return 1;
}

int Mp3OpenStream(Mp3Decoder* st, const uint8_t* frame, int size)
{
    Mp3FrameHeader h;
    if (!Mp3ReadFirstFrame(st, frame, size, &h)) {
        return 0;
    }
    st->streamVersion = h.version;
    st->streamLayer = h.layer;
    st->streamChannels = mp3::SourceChannels(h);
    st->outChannels = h.outChannels;
    st->outBits = h.outBits;
    st->channelCode = h.mode == 3 ? 0 : (st->options.outputCode & 3);
    st->downSampling = st->options.downSampling;
    mp3::ResetSynthesis(*st);
    bool ok = false;
    switch (h.layer) {
    case 1:
        ok = mp3::InitLayerI(*st, h);
        st->decoder = mp3::DecodeLayerI;
        break;
    case 2:
        ok = mp3::InitLayerII(*st, h);
        st->decoder = mp3::DecodeLayerII;
        break;
    default:
        ok = mp3::InitLayerIII(*st, h);
        st->decoder = mp3::DecodeLayerIII;
        break;
    }
    if (!ok) {
        // A first frame whose bitrate and mode the standard forbids together.
        st->decoder = nullptr;
        return mp3::SetError(*st, kMp3ErrorBadHeader);
    }
    return 1;
}

int Mp3DecodeFrame(Mp3Decoder* st, Mp3DecodeCall* call)
{
    if (call->inputBytes <= 4) {
        return mp3::SetError(*st, kMp3ErrorNeedData);
    }
    if (!Mp3ParseHeader(st, call->input, call)) {
        return 0;
    }
    // After a resync a false header of another version, layer or channel
    // count would be decoded by this stream's decoder and write a frame of
    // another size: refuse it so the caller resynchronises.
    if (st->decoder == nullptr || call->version != st->streamVersion ||
        call->layer != st->streamLayer || mp3::SourceChannels(*call) != st->streamChannels) {
        return mp3::SetError(*st, kMp3ErrorBadHeader);
    }
    call->frameBitrate = mp3::BitrateOf(*call);
    int length = mp3::FrameLength(*call, call->frameBitrate, st->sampleRate, call->padding);
    if (call->inputBytes < length) {
        return mp3::SetError(*st, kMp3ErrorNeedData);
    }
    st->frameBytes = length;
    st->decoder(*st, *call, call->input, length, call->output);
    call->inputBytes = length;
    call->outputBytes = st->pcmBytesPerFrame;
    return 1;
}

void Mp3SelectLayerDecoder(Mp3Decoder* st, const Mp3FrameHeader* header)
{
    switch (header->layer) {
    case 1:
        st->decoder = mp3::DecodeLayerI;
        break;
    case 2:
        st->decoder = mp3::DecodeLayerII;
        break;
    default:
        mp3::ResetLayerIIIReservoir(*st);
        st->decoder = mp3::DecodeLayerIII;
        break;
    }
}

void Mp3SetNullDecoder(Mp3Decoder* st)
{
    st->decoder = mp3::NullDecoder;
}
