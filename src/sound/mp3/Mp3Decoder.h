#pragma once
// The program's own MPEG audio decoder (MPEG-1, MPEG-2 and MPEG-2.5; Layers
// I, II and III): free functions over a decoder object that decode frames
// held in memory, one frame per call, into 16-bit (or 8-bit) PCM. Nothing
// here touches files; CMp3StreamReader feeds it.
//
// Calling order: Mp3DecoderInit once per decoder; per stream Mp3FindSync,
// then Mp3ReadFirstFrame to learn the format, Mp3OpenStream on the first
// frame, then Mp3DecodeFrame repeatedly from that same first frame on.
// Each decoder holds all of its stream's state; the constant tables are
// shared and built once. Different decoders may run on different threads at
// the same time; one decoder is used by one thread at a time.
#include <cstdint>
#include <memory>

// Codes kept for Mp3GetLastError (the code of the last failure; never cleared).
enum Mp3Error : int32_t {
    kMp3ErrorNone = 0,
    kMp3ErrorNoSync = 3,     // first byte not 0xFF, or second byte's high nibble neither 0xF nor 0xE
    kMp3ErrorBadHeader = 4,  // a field out of range, a "Xing" header without frames or bytes,
                             // or a frame that does not belong to the open stream
    kMp3ErrorNeedData = 5,   // not enough bytes for what was asked
};
const char* ToString(Mp3Error code);

// The 12 fields of a frame header as the standard defines them.
struct Mp3HeaderFields {
    int32_t version = 0;          // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    int32_t layer = 0;            // 1, 2 or 3
    int32_t crcPresent = 0;       // 1 when a 16-bit CRC follows the header
    int32_t bitrateIndex = 0;     // 1-14
    int32_t sampleRateIndex = 0;  // 0-2
    int32_t padding = 0;
    int32_t privateBit = 0;
    int32_t mode = 0;             // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int32_t modeExtension = 0;
    int32_t copyBit = 0;
    int32_t originalBit = 0;
    int32_t emphasis = 0;
};

// What Mp3ReadFirstFrame learns about a stream from its first frame.
struct Mp3FrameHeader : Mp3HeaderFields {
    int32_t outChannels = 0;       // 1 or 2
    int32_t outBits = 0;           // 8 or 16
    int32_t outSampleRate = 0;     // Hz, after down-sampling
    int32_t bitrate = 0;           // bit/s of the first frame; 0 with a "Xing" header
    int32_t frameCount = 0;        // frames the "Xing" header announces, else 0
    int32_t xingFrameBytes = 0;    // length of the "Xing" frame (to skip), else 0
    int32_t streamBytes = 0;       // bytes the "Xing" header announces, else 0
    int32_t minFrameBytes = 0;     // shortest frame length of the stream
    int32_t maxFrameBytes = 0;     // longest frame length of the stream
    int32_t pcmBytesPerFrame = 0;  // PCM bytes one decoded frame yields
};

// One Mp3DecodeFrame request.
struct Mp3DecodeCall : Mp3HeaderFields {
    int32_t frameBitrate = 0;        // written by the call (bit/s)
    const uint8_t* input = nullptr;  // the frame's sync byte
    int32_t inputBytes = 0;          // in: bytes available; out: bytes consumed
    uint8_t* output = nullptr;       // room for pcmBytesPerFrame bytes
    int32_t outputBytes = 0;         // out: PCM bytes written
};

struct Mp3DecoderOptions {
    int32_t downSampling = 0;       // 0 full rate, 1 half, 2 quarter
    int32_t outputCode = 0;         // bits 0-1: 0 as coded, 1 mono mix, 2 left, 3 right; 8: 8-bit output
    int32_t frequencyLimit = 24000; // Hz; at the default the 32nd subband is never decoded
};

// One stream's decoder state (defined in Mp3State.h).
struct Mp3Decoder;
struct Mp3DecoderDeleter {
    void operator()(Mp3Decoder* decoder) const;
};
using Mp3DecoderPtr = std::unique_ptr<Mp3Decoder, Mp3DecoderDeleter>;
// A new decoder, already initialised as by Mp3DecoderInit.
Mp3DecoderPtr Mp3NewDecoder();

// Sets every equaliser factor to 1, the options to their defaults, the
// equaliser off, and builds the shared tables the first time. Returns 1.
int Mp3DecoderInit(Mp3Decoder* decoder);
// Sets the 32 subband factors from 10 band gains (factor = 10^gain). Returns 1.
int Mp3SetEqualizer(Mp3Decoder* decoder, const double gains[10]);
// Switches the equaliser (full-rate synthesis only). Returns 0.
int Mp3EnableEqualizer(Mp3Decoder* decoder, int on);
// Copy the options out / in; new options take effect at the next Mp3OpenStream. Return 1.
int Mp3GetOptions(const Mp3Decoder* decoder, Mp3DecoderOptions* options);
int Mp3SetOptions(Mp3Decoder* decoder, const Mp3DecoderOptions* options);
int Mp3GetLastError(const Mp3Decoder* decoder);

// 1 when the 4 bytes at frame are a usable header (fields 0-11 filled);
// 0 with kMp3ErrorNoSync or kMp3ErrorBadHeader (header then partly filled).
int Mp3ParseHeader(Mp3Decoder* decoder, const uint8_t* frame, Mp3HeaderFields* header);
// 1 and the offset of the first 0xFF 0xF_/0xE_ pair that starts at most 4
// bytes before the end; 0, *offset = 0 and kMp3ErrorNeedData when none.
int Mp3FindSync(Mp3Decoder* decoder, const uint8_t* buffer, int size, int* offset);
// Parses the first frame (at least 156 bytes must be given) and its "Xing"
// header into *header and records the stream's rate and PCM bytes per frame.
// 0 with the failure's code (header then undefined).
int Mp3ReadFirstFrame(Mp3Decoder* decoder, const uint8_t* frame, int size, Mp3FrameHeader* header);
// Starts a stream at its first frame: resets the synthesis and the layer
// state and selects the layer decoder. 0 when the first frame is refused.
int Mp3OpenStream(Mp3Decoder* decoder, const uint8_t* frame, int size);
// Decodes the frame at call->input (needs an open stream): 1, inputBytes :=
// frame length and outputBytes := pcmBytesPerFrame; 0 with kMp3ErrorNeedData
// (supply more bytes) or another code (not a frame of this stream: resync).
int Mp3DecodeFrame(Mp3Decoder* decoder, Mp3DecodeCall* call);
// Selects the header's layer decoder without initialising the layer
// (Layer III: its reservoir is emptied).
void Mp3SelectLayerDecoder(Mp3Decoder* decoder, const Mp3FrameHeader* header);
// Selects a decoder that writes nothing.
void Mp3SetNullDecoder(Mp3Decoder* decoder);
