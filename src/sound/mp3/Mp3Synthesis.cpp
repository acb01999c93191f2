// The polyphase synthesis filter bank: matrixing by a fast DCT, a ring of
// past matrixed values per channel, the synthesis window, and the conversion
// of the window sums to 16-bit or 8-bit PCM.
#include <cmath>
#include <cstring>

#include "sound/mp3/Mp3State.h"

namespace mp3 {

namespace {

// The synthesis window D[n] x 65536 for n = 0 .. 256 with the sign that
// alternates every 64 coefficients taken out; D[n] for n > 256 mirrors
// D[512 - n]. Every coefficient is an exact multiple of 2^-16 (the largest,
// D[256], is 1.144989013671875).
constexpr int kWindowBase[257] = {
    0, -1, -1, -1, -1, -1, -1, -2, -2, -2, -2, -3,
    -3, -4, -4, -5, -5, -6, -7, -7, -8, -9, -10, -11,
    -13, -14, -16, -17, -19, -21, -24, -26, -29, -31, -35, -38,
    -41, -45, -49, -53, -58, -63, -68, -73, -79, -85, -91, -97,
    -104, -111, -117, -125, -132, -139, -147, -154, -161, -169, -176, -183,
    -190, -196, -202, -208, -213, -218, -222, -225, -227, -228, -228, -227,
    -224, -221, -215, -208, -200, -189, -177, -163, -146, -127, -106, -83,
    -57, -29, 2, 36, 72, 111, 153, 197, 244, 294, 347, 401,
    459, 519, 581, 645, 711, 779, 848, 919, 991, 1064, 1137, 1210,
    1283, 1356, 1428, 1498, 1567, 1634, 1698, 1759, 1817, 1870, 1919, 1962,
    2001, 2032, 2057, 2075, 2085, 2087, 2080, 2063, 2037, 2000, 1952, 1893,
    1822, 1739, 1644, 1535, 1414, 1280, 1131, 970, 794, 605, 402, 185,
    -45, -288, -545, -814, -1095, -1388, -1692, -2006, -2330, -2663, -3004, -3351,
    -3705, -4063, -4425, -4788, -5153, -5517, -5879, -6237, -6589, -6935, -7271, -7597,
    -7910, -8209, -8491, -8755, -8998, -9219, -9416, -9585, -9727, -9838, -9916, -9959,
    -9966, -9935, -9863, -9750, -9592, -9389, -9139, -8840, -8492, -8092, -7640, -7134,
    -6574, -5959, -5288, -4561, -3776, -2935, -2037, -1082, -70, 998, 2122, 3300,
    4533, 5818, 7154, 8540, 9975, 11455, 12980, 14548, 16155, 17799, 19478, 21189,
    22929, 24694, 26482, 28289, 30112, 31947, 33791, 35640, 37489, 39336, 41176, 43006,
    44821, 46617, 48390, 50137, 51853, 53534, 55178, 56778, 58333, 59838, 61289, 62684,
    64019, 65290, 66494, 67629, 68692, 69679, 70590, 71420, 72169, 72835, 73415, 73908,
    74313, 74630, 74856, 74992, 75038,
};

// Window rows in the order the window loop reads them: row 2i holds
// D[64i .. 64i + 31], row 2i + 1 holds D[64i + 32 .. 64i + 63], applied to the
// ring at kRowOffset[row] past the newest slot.
alignas(32) float gWindow[16][32];
int gRowOffset[16];

// 0.5 / cos(pi (2i + 1) / (4n)) for the butterfly stages of n = 16, 8, 4, 2, 1.
float gDct16[16], gDct8[8], gDct4[4], gDct2[2], gDct1[1];

template <int N>
const float* DctCoefficients()
{
    if constexpr (N == 32) {
        return gDct16;
    } else if constexpr (N == 16) {
        return gDct8;
    } else if constexpr (N == 8) {
        return gDct4;
    } else if constexpr (N == 4) {
        return gDct2;
    } else {
        return gDct1;
    }
}

// X[m] = sum over n of x[n] cos(pi (2n + 1) m / (2N)), by Lee's recursive
// split into the sums and the scaled differences of mirrored inputs.
template <int N>
inline void Dct(const float* x, float* X)
{
    if constexpr (N == 1) {
        X[0] = x[0];
    } else {
        constexpr int H = N / 2;
        const float* c = DctCoefficients<N>();
        float a[H], b[H], A[H], B[H];
        for (int n = 0; n < H; ++n) {
            a[n] = x[n] + x[N - 1 - n];
            b[n] = (x[n] - x[N - 1 - n]) * c[n];
        }
        Dct<H>(a, A);
        Dct<H>(b, B);
        for (int m = 0; m < H - 1; ++m) {
            X[2 * m] = A[m];
            X[2 * m + 1] = B[m] + B[m + 1];
        }
        X[N - 2] = A[H - 1];
        X[N - 1] = B[H - 1];
    }
}

// Truncation toward zero with clipping; NaN can never arise from finite
// inputs, but would land on -32768 rather than in undefined territory.
inline int ToPcm(float s)
{
    // Written as a clamp so that the conversion loop vectorises.
    float c = s > -32768.0f ? s : -32768.0f;
    c = c < 32767.0f ? c : 32767.0f;
    return int(c);
}

struct Store16 {
    int16_t* pcm;
    void Put(int index, float s) const { pcm[index] = int16_t(ToPcm(s)); }
};

struct Store8 {
    uint8_t* pcm;
    void Put(int index, float s) const { pcm[index] = uint8_t((ToPcm(s) >> 8) ^ 0x80); }
};

struct Store16Capture {
    int16_t* pcm;
    float* capture;
    void Put(int index, float s) const
    {
        pcm[index] = int16_t(ToPcm(s));
        capture[index] = s;
    }
};

// The 32 window sums of the slot whose matrixed values start at ring[p]:
// 16 rows of 32 products. The hot loop of the decoder: a wider-vector copy
// is chosen at load time where the processor has one.
MP3_VECTOR_CLONES void WindowSums(const float* ring, int p, float* acc)
{
    for (int j = 0; j < 32; ++j) {
        acc[j] = 0.0f;
    }
    for (int r = 0; r < 16; ++r) {
        const float* u = ring + ((p + gRowOffset[r]) & 1023);
        const float* w = gWindow[r];
        for (int j = 0; j < 32; ++j) {
            acc[j] += w[j] * u[j];
        }
    }
}

// One time slot of one channel: 32 subband samples in, 32 >> ds PCM out.
template <class Store>
inline void SynthesizeSlot(Mp3Decoder& st, int ch, const float* subbands, const Store& store, int firstIndex, int step)
{
    SynthesisState& sy = st.synth;
    alignas(32) float x[32];
    if (st.eqOn && st.downSampling == 0) {
        for (int k = 0; k < 32; ++k) {
            x[k] = subbands[k] * st.eqFactor[k];
        }
    } else {
        std::memcpy(x, subbands, sizeof x);
    }
    float A[32];
    Dct<32>(x, A);

    int p = (sy.pos[ch] - 64) & 1023;
    sy.pos[ch] = p;
    float* v = sy.ring[ch] + p;
    for (int i = 0; i < 16; ++i) {
        v[i] = A[16 + i];
    }
    v[16] = 0.0f;
    for (int i = 17; i < 48; ++i) {
        v[i] = -A[48 - i];
    }
    for (int i = 48; i < 64; ++i) {
        v[i] = -A[i - 48];
    }

    alignas(32) float acc[32];
    WindowSums(sy.ring[ch], p, acc);
    int outs = 32 >> st.downSampling;
    int decimate = 1 << st.downSampling;
    for (int j = 0; j < outs; ++j) {
        store.Put(firstIndex + j * step, acc[j * decimate]);
    }
}

template <class Store>
void Run(Mp3Decoder& st, const float* const in[2], int stride, int slots, const Store& store, int firstSample)
{
    int channels = st.outChannels;
    int outs = 32 >> st.downSampling;
    for (int s = 0; s < slots; ++s) {
        for (int ch = 0; ch < channels; ++ch) {
            int index = (firstSample + s * outs) * channels + ch;
            SynthesizeSlot(st, ch, in[ch] + s * stride, store, index, channels);
        }
    }
}

}  // namespace

void BuildSynthesisTables()
{
    const double pi = std::acos(-1.0);
    float* groups[5] = {gDct16, gDct8, gDct4, gDct2, gDct1};
    for (int g = 0, n = 16; g < 5; ++g, n /= 2) {
        for (int i = 0; i < n; ++i) {
            groups[g][i] = float(0.5 / std::cos(pi * (2 * i + 1) / (4.0 * n)));
        }
    }
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 32; ++j) {
            for (int half = 0; half < 2; ++half) {
                int n = 64 * i + 32 * half + j;
                int base = n <= 256 ? kWindowBase[n] : kWindowBase[512 - n];
                int sign = ((n / 64) & 1) ? -1 : 1;
                gWindow[2 * i + half][j] = float(sign * base / 65536.0);
            }
        }
        gRowOffset[2 * i] = 128 * i;
        gRowOffset[2 * i + 1] = 128 * i + 96;
    }
}

void ResetSynthesis(Mp3Decoder& st)
{
    std::memset(&st.synth, 0, sizeof st.synth);
}

void Synthesize(Mp3Decoder& st, const float* const in[2], int stride, int slots, uint8_t* output,
                int firstSample)
{
    if (st.outBits == 8) {
        Run(st, in, stride, slots, Store8{output}, firstSample);
    } else if (st.floatCapture != nullptr) {
        Run(st, in, stride, slots, Store16Capture{reinterpret_cast<int16_t*>(output), st.floatCapture},
            firstSample);
    } else {
        Run(st, in, stride, slots, Store16{reinterpret_cast<int16_t*>(output)}, firstSample);
    }
}

void ApplyChannelCode(const Mp3Decoder& st, float* left, const float* right, int count)
{
    switch (st.channelCode) {
    case 1:
        for (int i = 0; i < count; ++i) {
            left[i] = 0.5f * (left[i] + right[i]);
        }
        break;
    case 3:
        std::memcpy(left, right, sizeof(float) * size_t(count));
        break;
    default:
        break;
    }
}

}  // namespace mp3
