#pragma once
// The decoder object: everything one stream's decoding changes, and the
// pieces the layer decoders and the synthesis share. The constant tables live
// beside the code that uses them and are built once per process
// (BuildTablesOnce). Internal to src/sound/mp3.
#include <cstdint>

#include "sound/mp3/Mp3Decoder.h"
#include "sound/mp3/Mp3LayerIIITypes.h"

// Marks a hot loop to be compiled twice, plain and for AVX2, the copy chosen
// once when the program loads. Each lane does the same arithmetic in the same
// order, so both copies give the same results.
#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(__clang__)
#define MP3_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MP3_VECTOR_CLONES
#endif

namespace mp3 {

// Eight floats side by side (GCC vector extension): AVX2 as one register,
// SSE2 as two. Lanes never mix, so each does plain scalar float arithmetic.
constexpr int kLanes = 8;
using Lanes = float __attribute__((vector_size(4 * kLanes)));
// The same, for reading eight floats in place at any 4-byte alignment (a
// typedef: clang ignores a lowered alignment in an alias declaration).
typedef float LanesU __attribute__((vector_size(4 * kLanes), aligned(4), may_alias));
using LanesI = int32_t __attribute__((vector_size(4 * kLanes)));

#if defined(__clang__)
#define MP3_SHUFFLE(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)
#else
#define MP3_SHUFFLE(a, b, ...) __builtin_shuffle(a, b, LanesI{__VA_ARGS__})
#endif

// Transposes eight rows of eight floats in place (r[i][j] becomes r[j][i]).
inline void Transpose8(Lanes* r)
{
    Lanes t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = MP3_SHUFFLE(r[i], r[i + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        t[i + 1] = MP3_SHUFFLE(r[i], r[i + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
    for (int i = 0; i < 8; i += 4) {
        u[i] = MP3_SHUFFLE(t[i], t[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
        u[i + 1] = MP3_SHUFFLE(t[i], t[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        u[i + 2] = MP3_SHUFFLE(t[i + 1], t[i + 3], 0, 1, 8, 9, 4, 5, 12, 13);
        u[i + 3] = MP3_SHUFFLE(t[i + 1], t[i + 3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = MP3_SHUFFLE(u[i], u[i + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        r[i + 4] = MP3_SHUFFLE(u[i], u[i + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

// Decodes one frame (bounded by frameBytes) and writes pcmBytesPerFrame bytes.
using LayerDecoder = void (*)(Mp3Decoder& st, const Mp3HeaderFields& header, const uint8_t* frame,
                              int frameBytes, uint8_t* output);

// The main-data reservoir. Once it holds more than kReservoirCompactAt bytes
// it is compacted to the last 511 (the farthest a frame may reach back), so
// 1500 bytes of room always remain: more than the largest frame's main data
// (1441 - 4 - 32 bytes at 320 kbit/s and 32 kHz).
constexpr int kReservoirBytes = 8192;
constexpr int kReservoirCompactAt = 6692;

// Columns of the synthesis lane history: 16 slots of the past and room for
// 8 blocks of 8 slots before it is moved back.
constexpr int kHistoryColumns = 16 + 8 * kLanes;

struct SynthesisState {
    // 16 time slots of 64 matrixed values per channel, newest first at pos
    // (the scalar twin's ring).
    alignas(32) float ring[2][1024];
    int pos[2];
    // The same values for the vector path: [channel][value][slot], one
    // column per slot in time order; the next block goes to column[ch].
    alignas(32) float history[2][64][kHistoryColumns];
    int column[2];
};

struct LayerIIIState {
    uint8_t reservoir[kReservoirBytes + 8];
    int reservoirFill;
    alignas(32) float overlap[2][18][kOverlapColumns];  // [channel][time slot][subband]
    Granule gr;
    ScaleFactors savedSf[2];  // granule 0's, for MPEG-1 scale-factor reuse
    int rateIndex;            // scale-factor band table: 0-8 by version and rate
    int limitLines;           // lines of the decoded subbands
    int subbands;
};

// Builds every constant table the first time it is called; later calls (from
// any thread) wait for that and return.
void BuildTablesOnce();

}  // namespace mp3

struct Mp3Decoder {
    int lastError = kMp3ErrorNone;
    Mp3DecoderOptions options;
    int sampleRate = 0;          // Hz of the first frame, before down-sampling
    int frameBytes = 0;          // current frame length
    int pcmBytesPerFrame = 0;
    // What a frame must share with the first one to be decoded by its decoder.
    int streamVersion = 0;
    int streamLayer = 0;
    int streamChannels = 0;
    mp3::LayerDecoder decoder = nullptr;
    float eqFactor[32];
    bool eqOn = false;
    int outChannels = 2;
    int outBits = 16;
    int channelCode = 0;         // options.outputCode & 3, latched at open
    int downSampling = 0;
    int layerSubbands = 31;      // Layers I/II: subbands decoded; the rest stay zero
    mp3::SynthesisState synth;
    // Layer I/II subband samples: [channel][time slot][subband].
    alignas(32) float subbandBlock[2][36][32];
    mp3::LayerIIIState l3;
    // Test hook: when set, the float sums are stored here too, one per PCM
    // sample, at the PCM sample's index within the frame.
    float* floatCapture = nullptr;
    // Test hook: decode all 32 subbands (compliance checks need the top one).
    bool allSubbands = false;
    // Test hook: run the scalar twins of the vector loops of the synthesis
    // and the hybrid filter (same results).
    bool scalarTwins = false;
};

namespace mp3 {

// Fills one frame's PCM (pcmBytesPerFrame bytes) with silence.
void WriteSilence(const Mp3Decoder& st, uint8_t* output);

// Decoded subbands for a stream of sampleRate Hz under the decoder's options.
int DecodedSubbands(const Mp3Decoder& st, int sampleRate, int layerLimit);

// Layer entry points (one file each).
void BuildLayerITables();
void BuildLayerIITables();
void BuildLayerIIITables();
bool InitLayerI(Mp3Decoder& st, const Mp3HeaderFields& header);
bool InitLayerII(Mp3Decoder& st, const Mp3HeaderFields& header);
bool InitLayerIII(Mp3Decoder& st, const Mp3HeaderFields& header);
void DecodeLayerI(Mp3Decoder& st, const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes,
                  uint8_t* output);
void DecodeLayerII(Mp3Decoder& st, const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes,
                   uint8_t* output);
void DecodeLayerIII(Mp3Decoder& st, const Mp3HeaderFields& header, const uint8_t* frame, int frameBytes,
                    uint8_t* output);
void ResetLayerIIIReservoir(Mp3Decoder& st);

// Shared Layer I/II scale-factor table: 65536 x 2^(-i/3).
extern float gScaleFactors[64];
// The stereo bound of Layers I/II (first subband whose allocation is shared).
int StereoBound(const Mp3HeaderFields& header, int limit);

// Synthesis (Mp3Synthesis.cpp).
void BuildSynthesisTables();
void ResetSynthesis(Mp3Decoder& st);
// Runs `slots` time slots of 32 subband samples for every output channel.
// in[ch] holds channel ch's subband k of slot s at s x slotStride + k x
// sbStride (Layers I/II: 32 and 1; Layer III: 1 and 18); for a single output
// channel only in[0] is read. Writes the PCM of the slots interleaved,
// starting at sample index `firstSample` of the frame's output block.
void Synthesize(Mp3Decoder& st, const float* const in[2], int slotStride, int sbStride, int slots,
                uint8_t* output, int firstSample);
// Combines the two channels' subband samples for the channel codes 1-3 into
// channel 0 (mix, left, right); nothing for code 0.
void ApplyChannelCode(const Mp3Decoder& st, float* left, const float* right, int count);

}  // namespace mp3
