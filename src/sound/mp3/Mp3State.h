#pragma once
// The decoder's one block of module state and the pieces the layer decoders
// and the synthesis share. Internal to src/sound/mp3.
#include <cstdint>

#include "sound/mp3/Mp3Decoder.h"

// Marks a hot loop to be compiled twice, plain and for AVX2, the copy chosen
// once when the program loads. Each lane does the same arithmetic in the same
// order, so both copies give the same results.
#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) && !defined(__clang__)
#define MP3_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MP3_VECTOR_CLONES
#endif

namespace mp3 {

// Decodes one frame (bounded by frameBytes) and writes pcmBytesPerFrame bytes.
using LayerDecoder = void (*)(const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes,
                              uint8_t* output);

// Layer III granule: 576 lines per channel.
constexpr int kGranuleLines = 576;
// The main-data reservoir. Once it holds more than kReservoirCompactAt bytes
// it is compacted to the last 511 (the farthest a frame may reach back), so
// 1500 bytes of room always remain: more than the largest frame's main data
// (1441 - 4 - 32 bytes at 320 kbit/s and 32 kHz).
constexpr int kReservoirBytes = 8192;
constexpr int kReservoirCompactAt = 6692;

struct SynthesisState {
    // 16 time slots of 64 matrixed values per channel, newest first at pos.
    alignas(32) float ring[2][1024];
    int pos[2];
};

struct LayerIIIState {
    uint8_t reservoir[kReservoirBytes + 8];
    int reservoirFill;
    alignas(32) float overlap[2][kGranuleLines];
};

struct DecoderState {
    int lastError = kMp3ErrorNone;
    Mp3DecoderOptions options;
    int sampleRate = 0;          // Hz of the first frame, before down-sampling
    int frameBytes = 0;          // current frame length
    int pcmBytesPerFrame = 0;
    // What a frame must share with the first one to be decoded by its decoder.
    int streamVersion = 0;
    int streamLayer = 0;
    int streamChannels = 0;
    LayerDecoder decoder = nullptr;
    float eqFactor[32];
    bool eqOn = false;
    int decodedSubbands = 31;    // subbands the layers fill; the rest stay zero
    int outChannels = 2;
    int outBits = 16;
    int channelCode = 0;         // options.outputCode & 3, latched at open
    int downSampling = 0;
    SynthesisState synth;
    LayerIIIState l3;
    // Test hook: when set, the float sums are stored here too, one per PCM
    // sample, at the PCM sample's index within the frame.
    float* floatCapture = nullptr;
    // Test hook: decode all 32 subbands (compliance checks need the top one).
    bool allSubbands = false;
};

extern DecoderState gState;

// Fills one frame's PCM (pcmBytesPerFrame bytes) with silence.
void WriteSilence(uint8_t* output);

// Decoded subbands for a stream of sampleRate Hz under the current options.
int DecodedSubbands(int sampleRate, int layerLimit);

// Layer entry points (one file each).
void BuildLayerITables();
void BuildLayerIITables();
void BuildLayerIIITables();
bool InitLayerI(const Mp3HeaderFields& header);
bool InitLayerII(const Mp3HeaderFields& header);
bool InitLayerIII(const Mp3HeaderFields& header);
void DecodeLayerI(const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes, uint8_t* output);
void DecodeLayerII(const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes, uint8_t* output);
void DecodeLayerIII(const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes, uint8_t* output);
void ResetLayerIIIReservoir();

// Shared Layer I/II scale-factor table: 65536 x 2^(-i/3).
extern float gScaleFactors[64];
// Layer I/II subband samples: [channel][time slot][subband].
extern float gSubbandBlock[2][36][32];
// The stereo bound of Layers I/II (first subband whose allocation is shared).
int StereoBound(const Mp3HeaderFields& header, int limit);

// Synthesis (Mp3Synthesis.cpp).
void BuildSynthesisTables();
void ResetSynthesis();
// Runs `slots` time slots of 32 subband samples for every output channel.
// in[ch] points at slot 0 of channel ch (32 floats per slot, `stride` floats
// between slots); for a single output channel only in[0] is read. Writes the
// PCM of the slots interleaved, starting at sample index `firstSample` of the
// frame's output block.
void Synthesize(const float* const in[2], int stride, int slots, uint8_t* output, int firstSample);
// Combines the two channels' subband samples for the channel codes 1-3 into
// channel 0 (mix, left, right); nothing for code 0.
void ApplyChannelCode(float* left, const float* right, int count);

}  // namespace mp3
