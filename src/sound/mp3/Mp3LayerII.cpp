// Layer II: allocation tables chosen by bitrate per channel and sample rate,
// scale-factor selection, grouped samples, 36 time slots per frame.
#include <cmath>
#include <cstring>

#include "sound/mp3/Mp3BitReader.h"
#include "sound/mp3/Mp3State.h"

namespace mp3 {

float gScaleFactors[64];

namespace {

// Quantisation classes of the standard: steps, bits per code, and whether
// three samples share one code (3, 5 and 9 steps).
struct QuantClass {
    int steps;
    int bits;
    int grouped;
};
constexpr QuantClass kClasses[17] = {
    {3, 5, 1},     {5, 7, 1},     {7, 3, 0},     {9, 10, 1},    {15, 4, 0},    {31, 5, 0},
    {63, 6, 0},    {127, 7, 0},   {255, 8, 0},   {511, 9, 0},   {1023, 10, 0}, {2047, 11, 0},
    {4095, 12, 0}, {8191, 13, 0}, {16383, 14, 0}, {32767, 15, 0}, {65535, 16, 0}};
enum : int8_t { k3, k5, k7, k9, k15, k31, k63, k127, k255, k511, k1023, k2047, k4095, k8191, k16383, k32767, k65535 };

// One row of an allocation table: allocation bits and the class of each
// allocation value (value 0 means no samples).
struct AllocRow {
    int bits;
    int8_t classes[15];
};
constexpr AllocRow kRowA0 = {4, {k3, k7, k15, k31, k63, k127, k255, k511, k1023, k2047, k4095, k8191, k16383, k32767, k65535}};
constexpr AllocRow kRowA3 = {4, {k3, k5, k7, k9, k15, k31, k63, k127, k255, k511, k1023, k2047, k4095, k8191, k65535}};
constexpr AllocRow kRowA11 = {3, {k3, k5, k7, k9, k15, k31, k65535}};
constexpr AllocRow kRowA23 = {2, {k3, k5, k65535}};
constexpr AllocRow kRowC0 = {4, {k3, k5, k9, k15, k31, k63, k127, k255, k511, k1023, k2047, k4095, k8191, k16383, k32767}};
constexpr AllocRow kRowC2 = {3, {k3, k5, k9, k15, k31, k63, k127}};
constexpr AllocRow kRowLsf0 = {4, {k3, k5, k7, k9, k15, k31, k63, k127, k255, k511, k1023, k2047, k4095, k8191, k16383}};
constexpr AllocRow kRowLsf11 = {2, {k3, k5, k9}};

struct AllocTable {
    int subbands;
    const AllocRow* rows[32];
};

constexpr AllocTable MakeTableAB(int subbands)
{
    AllocTable t{subbands, {}};
    for (int sb = 0; sb < subbands; ++sb) {
        t.rows[sb] = sb < 3 ? &kRowA0 : sb < 11 ? &kRowA3 : sb < 23 ? &kRowA11 : &kRowA23;
    }
    return t;
}
constexpr AllocTable MakeTableCD(int subbands)
{
    AllocTable t{subbands, {}};
    for (int sb = 0; sb < subbands; ++sb) {
        t.rows[sb] = sb < 2 ? &kRowC0 : &kRowC2;
    }
    return t;
}
constexpr AllocTable MakeTableLsf()
{
    AllocTable t{30, {}};
    for (int sb = 0; sb < 30; ++sb) {
        t.rows[sb] = sb < 4 ? &kRowLsf0 : sb < 11 ? &kRowC2 : &kRowLsf11;
    }
    return t;
}
constexpr AllocTable kTableA = MakeTableAB(27);
constexpr AllocTable kTableB = MakeTableAB(30);
constexpr AllocTable kTableC = MakeTableCD(8);
constexpr AllocTable kTableD = MakeTableCD(12);
constexpr AllocTable kTableLsf = MakeTableLsf();

// MPEG-1 table choice by [sample-rate index][single channel][bitrate index]:
// 0 A, 1 B, 2 C, 3 D, -1 a bitrate the standard forbids for the mode.
constexpr int8_t kTableChoice[3][2][15] = {
    {{-1, -1, -1, -1, 2, -1, 2, 0, 0, 0, 1, 1, 1, 1, 1}, {-1, 2, 2, 0, 0, 0, 1, 1, 1, 1, 1, -1, -1, -1, -1}},
    {{-1, -1, -1, -1, 2, -1, 2, 0, 0, 0, 0, 0, 0, 0, 0}, {-1, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1, -1, -1}},
    {{-1, -1, -1, -1, 3, -1, 3, 0, 0, 0, 1, 1, 1, 1, 1}, {-1, 3, 3, 0, 0, 0, 1, 1, 1, 1, 1, -1, -1, -1, -1}},
};
const AllocTable* const kTables[4] = {&kTableA, &kTableB, &kTableC, &kTableD};

float gStepFactors[17];       // 2 / steps
int8_t gGroup3[32][3];        // a code of 3 samples of 3 levels, centred
int8_t gGroup5[128][3];
int8_t gGroup9[1024][3];

const AllocTable* ChooseTable(const Mp3HeaderFields& h)
{
    if (h.version != 1) {
        return &kTableLsf;
    }
    int choice = kTableChoice[h.sampleRateIndex][h.mode == 3 ? 1 : 0][h.bitrateIndex];
    return choice < 0 ? nullptr : kTables[choice];
}

template <int Levels, int Codes>
void BuildGroups(int8_t (&table)[Codes][3])
{
    for (int code = 0; code < Codes; ++code) {
        int c = code;
        for (int i = 0; i < 3; ++i) {
            table[code][i] = int8_t(c % Levels - (Levels - 1) / 2);
            c /= Levels;
        }
    }
}

}  // namespace

void BuildLayerIITables()
{
    for (int i = 0; i < 17; ++i) {
        gStepFactors[i] = float(2.0 / kClasses[i].steps);
    }
    for (int i = 0; i < 64; ++i) {
        gScaleFactors[i] = float(65536.0 * std::pow(2.0, -i / 3.0));
    }
    BuildGroups<3>(gGroup3);
    BuildGroups<5>(gGroup5);
    BuildGroups<9>(gGroup9);
}

bool InitLayerII(Mp3Decoder& st, const Mp3HeaderFields& header)
{
    const AllocTable* table = ChooseTable(header);
    st.layerSubbands = DecodedSubbands(st, st.sampleRate, 32);
    std::memset(st.subbandBlock, 0, sizeof st.subbandBlock);
    return table != nullptr;
}

void DecodeLayerII(Mp3Decoder& st, const Mp3HeaderFields& h, const uint8_t* frame, int frameBytes,
                   uint8_t* output)
{
    const AllocTable* table = ChooseTable(h);
    int channels = h.mode == 3 ? 1 : 2;
    if (table == nullptr) {
        // A bitrate the mode forbids: no table says how to read it.
        WriteSilence(st, output);
        return;
    }
    Mp3BitReader br(frame, size_t(frameBytes));
    br.Skip(h.crcPresent ? 48 : 32);
    int subbands = table->subbands;
    int bound = channels == 2 ? StereoBound(h, subbands) : subbands;

    // Class index + 1 per channel and subband; 0 = nothing allocated.
    int cls[2][32] = {};
    for (int sb = 0; sb < subbands; ++sb) {
        const AllocRow* row = table->rows[sb];
        for (int ch = 0; ch < channels; ++ch) {
            if (sb < bound || ch == 0) {
                int a = int(br.Read(row->bits));
                cls[ch][sb] = a ? row->classes[a - 1] + 1 : 0;
            } else {
                cls[ch][sb] = cls[0][sb];
            }
        }
    }
    int scfsi[2][32] = {};
    for (int sb = 0; sb < subbands; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (cls[ch][sb]) {
                scfsi[ch][sb] = int(br.Read(2));
            }
        }
    }
    float scale[2][32][3] = {};
    for (int sb = 0; sb < subbands; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (!cls[ch][sb]) {
                continue;
            }
            float* s = scale[ch][sb];
            switch (scfsi[ch][sb]) {
            case 0:
                s[0] = gScaleFactors[br.Read(6)];
                s[1] = gScaleFactors[br.Read(6)];
                s[2] = gScaleFactors[br.Read(6)];
                break;
            case 1:
                s[0] = s[1] = gScaleFactors[br.Read(6)];
                s[2] = gScaleFactors[br.Read(6)];
                break;
            case 2:
                s[0] = s[1] = s[2] = gScaleFactors[br.Read(6)];
                break;
            default:
                s[0] = gScaleFactors[br.Read(6)];
                s[1] = s[2] = gScaleFactors[br.Read(6)];
                break;
            }
        }
    }

    int limit = st.layerSubbands;
    for (int gr = 0; gr < 12; ++gr) {
        int part = gr / 4;
        for (int sb = 0; sb < subbands; ++sb) {
            int codes[3] = {0, 0, 0};
            for (int ch = 0; ch < channels; ++ch) {
                int c = cls[ch][sb];
                float* out0 = &st.subbandBlock[ch][gr * 3][sb];
                if (c == 0) {
                    out0[0] = out0[32] = out0[64] = 0.0f;
                    continue;
                }
                const QuantClass& q = kClasses[c - 1];
                if (sb < bound || ch == 0) {
                    if (q.grouped) {
                        int code = int(br.Read(q.bits));
                        const int8_t* g = q.steps == 3 ? gGroup3[code & 31]
                                        : q.steps == 5 ? gGroup5[code & 127]
                                                       : gGroup9[code & 1023];
                        codes[0] = g[0];
                        codes[1] = g[1];
                        codes[2] = g[2];
                    } else {
                        int mid = (q.steps - 1) / 2;
                        codes[0] = int(br.Read(q.bits)) - mid;
                        codes[1] = int(br.Read(q.bits)) - mid;
                        codes[2] = int(br.Read(q.bits)) - mid;
                    }
                }
                float f = sb < limit ? gStepFactors[c - 1] * scale[ch][sb][part] : 0.0f;
                out0[0] = f * float(codes[0]);
                out0[32] = f * float(codes[1]);
                out0[64] = f * float(codes[2]);
            }
        }
    }
    // A frame of another bitrate may use a table with fewer subbands than the
    // one before it: nothing of that frame may sound on.
    for (int ch = 0; ch < channels; ++ch) {
        for (int slot = 0; slot < 36; ++slot) {
            for (int sb = subbands; sb < 32; ++sb) {
                st.subbandBlock[ch][slot][sb] = 0.0f;
            }
        }
    }
    if (channels == 2) {
        ApplyChannelCode(st, &st.subbandBlock[0][0][0], &st.subbandBlock[1][0][0], 36 * 32);
    }
    const float* in[2] = {&st.subbandBlock[0][0][0], &st.subbandBlock[1][0][0]};
    Synthesize(st, in, 32, 1, 36, output, 0);
}

}  // namespace mp3
