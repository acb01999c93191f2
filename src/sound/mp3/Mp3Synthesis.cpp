// The polyphase synthesis filter bank: matrixing by a fast DCT, the past
// matrixed values per channel, the synthesis window, and the conversion of
// the window sums to 16-bit or 8-bit PCM. The fast path runs eight time
// slots per vector; its scalar twin (one slot at a time) gives the same sums.
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// split into the sums and the scaled differences of mirrored inputs. T is a
// float, or a vector of floats whose lanes are independent time slots: each
// lane then does exactly the scalar arithmetic, in the same order.
template <int N, class T>
__attribute__((always_inline)) inline void Dct(const T* x, T* X)
{
    if constexpr (N == 1) {
        X[0] = x[0];
    } else {
        constexpr int H = N / 2;
        const float* c = DctCoefficients<N>();
        T a[H], b[H], A[H], B[H];
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

// Matrixes eight time slots at once (SSE2 as two halves, AVX2 whole).
MP3_VECTOR_CLONES void DctLanes(const Lanes* x, Lanes* X)
{
    Dct<32>(x, X);
}

// Truncation toward zero with clipping; NaN can never arise from finite
// inputs, but would land on -32768 rather than in undefined territory.
inline int ToPcm(float s)
{
    float c = s > -32768.0f ? s : -32768.0f;
    c = c < 32767.0f ? c : 32767.0f;
    return int(c);
}

// The stores take one slot's 32 window sums (acc[j x accStride]) and write
// `outs` of them (every `decimate`-th) to PCM sample indexes first, first +
// step, ...
struct Store16 {
    int16_t* pcm;
    void Put(int first, int step, const float* acc, int accStride, int outs, int decimate) const
    {
        for (int j = 0; j < outs; ++j) {
            pcm[first + j * step] = int16_t(ToPcm(acc[j * decimate * accStride]));
        }
    }
    // One block: the sums of `n` slots side by side for each of `channels`
    // channels (acc[ch][j][lane]); the block's PCM starts at sample `first`.
    void PutBlock(int first, int channels, const float (*acc)[32][kLanes], int n, int outs, int decimate) const
    {
#if defined(__SSE2__)
        if (decimate == 1) {
            PutBlockFast(first, channels, acc, n);
            return;
        }
#endif
        for (int ch = 0; ch < channels; ++ch) {
            for (int lane = 0; lane < n; ++lane) {
                Put(first + lane * outs * channels + ch, channels, &acc[ch][0][lane], kLanes, outs, decimate);
            }
        }
    }

#if defined(__SSE2__)
    // Transposes eight rows of eight 16-bit values in place.
    static void Transpose8(__m128i* r)
    {
        __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
        __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
        __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
        __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
        __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
        __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
        __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
        __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
        r[0] = _mm_unpacklo_epi64(b0, b4);
        r[1] = _mm_unpackhi_epi64(b0, b4);
        r[2] = _mm_unpacklo_epi64(b1, b5);
        r[3] = _mm_unpackhi_epi64(b1, b5);
        r[4] = _mm_unpacklo_epi64(b2, b6);
        r[5] = _mm_unpackhi_epi64(b2, b6);
        r[6] = _mm_unpacklo_epi64(b3, b7);
        r[7] = _mm_unpackhi_epi64(b3, b7);
    }

    // ToPcm eight at a time (max first, so that NaN gives -32768; clamped
    // values fit, so the saturating pack only narrows), slot rows out by
    // transposing, and the channels interleaved by unpacking.
    void PutBlockFast(int first, int channels, const float (*acc)[32][kLanes], int n) const
    {
        const __m128 lo = _mm_set1_ps(-32768.0f), hi = _mm_set1_ps(32767.0f);
        __m128i rows[2][4][8];  // [channel][group of 8 sums][lane after the transpose]
        for (int ch = 0; ch < channels; ++ch) {
            for (int g = 0; g < 4; ++g) {
                __m128i* r = rows[ch][g];
                for (int i = 0; i < 8; ++i) {
                    const float* a = acc[ch][8 * g + i];
                    __m128 x = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(a), lo), hi);
                    __m128 y = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(a + 4), lo), hi);
                    r[i] = _mm_packs_epi32(_mm_cvttps_epi32(x), _mm_cvttps_epi32(y));
                }
                Transpose8(r);
            }
        }
        for (int lane = 0; lane < n; ++lane) {
            __m128i* out = reinterpret_cast<__m128i*>(pcm + first + lane * 32 * channels);
            for (int g = 0; g < 4; ++g) {
                if (channels == 1) {
                    _mm_storeu_si128(out + g, rows[0][g][lane]);
                } else {
                    _mm_storeu_si128(out + 2 * g, _mm_unpacklo_epi16(rows[0][g][lane], rows[1][g][lane]));
                    _mm_storeu_si128(out + 2 * g + 1, _mm_unpackhi_epi16(rows[0][g][lane], rows[1][g][lane]));
                }
            }
        }
    }
#endif
};

// The block form of Put for the stores without a faster one.
template <class Store>
struct PerLane : Store {
    void PutBlock(int first, int channels, const float (*acc)[32][kLanes], int n, int outs, int decimate) const
    {
        for (int ch = 0; ch < channels; ++ch) {
            for (int lane = 0; lane < n; ++lane) {
                this->Put(first + lane * outs * channels + ch, channels, &acc[ch][0][lane], kLanes, outs, decimate);
            }
        }
    }
};

struct Store8Base {
    uint8_t* pcm;
    void Put(int first, int step, const float* acc, int accStride, int outs, int decimate) const
    {
        for (int j = 0; j < outs; ++j) {
            pcm[first + j * step] = uint8_t((ToPcm(acc[j * decimate * accStride]) >> 8) ^ 0x80);
        }
    }
};

struct Store16CaptureBase {
    int16_t* pcm;
    float* capture;
    void Put(int first, int step, const float* acc, int accStride, int outs, int decimate) const
    {
        Store16{pcm}.Put(first, step, acc, accStride, outs, decimate);
        for (int j = 0; j < outs; ++j) {
            capture[first + j * step] = acc[j * decimate * accStride];
        }
    }
};

using Store8 = PerLane<Store8Base>;
using Store16Capture = PerLane<Store16CaptureBase>;

// The scalar twin's window: the 32 window sums of the slot whose matrixed
// values start at ring[p], 16 rows of 32 products.
MP3_VECTOR_CLONES void WindowSums(const float* ring, int p, float* acc)
{
    // Four vectors of eight sums, kept in registers across the rows; each
    // sum still adds its 16 products in row order.
    Lanes a0 = {}, a1 = {}, a2 = {}, a3 = {};
    for (int r = 0; r < 16; ++r) {
        const LanesU* u = reinterpret_cast<const LanesU*>(ring + ((p + gRowOffset[r]) & 1023));
        const LanesU* w = reinterpret_cast<const LanesU*>(gWindow[r]);
        a0 += w[0] * u[0];
        a1 += w[1] * u[1];
        a2 += w[2] * u[2];
        a3 += w[3] * u[3];
    }
    std::memcpy(acc, &a0, sizeof a0);
    std::memcpy(acc + 8, &a1, sizeof a1);
    std::memcpy(acc + 16, &a2, sizeof a2);
    std::memcpy(acc + 24, &a3, sizeof a3);
}

// The matrixed values A of one slot into the channel's ring (the 64 values
// of the standard's V, newest first), then its window sums out as PCM.
template <class Store>
inline void WindowSlot(Mp3Decoder& st, int ch, const float* A, const Store& store, int firstIndex, int step)
{
    SynthesisState& sy = st.synth;
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
    store.Put(firstIndex, step, acc, 1, 32 >> st.downSampling, 1 << st.downSampling);
}

// The equaliser's factors for this slot: its own when it applies (full
// rate only), else ones (x * 1 is x exactly).
inline const float* EqualiserFactors(const Mp3Decoder& st)
{
    static constexpr float kUnity[32] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                         1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    return st.eqOn && st.downSampling == 0 ? st.eqFactor : kUnity;
}

// The scalar twin of RunLanes: one slot at a time, the same arithmetic.
template <class Store>
void RunScalar(Mp3Decoder& st, const float* const in[2], int slotStride, int sbStride, int slots, const Store& store,
               int firstSample)
{
    int channels = st.outChannels;
    int outs = 32 >> st.downSampling;
    const float* eq = EqualiserFactors(st);
    for (int ch = 0; ch < channels; ++ch) {
        for (int s = 0; s < slots; ++s) {
            float x[32], A[32];
            for (int k = 0; k < 32; ++k) {
                x[k] = in[ch][s * slotStride + k * sbStride] * eq[k];
            }
            Dct<32>(x, A);
            WindowSlot(st, ch, A, store, (firstSample + s * outs) * channels + ch, channels);
        }
    }
}

// Eight slots of 32 subbands each (slot i at block + i x slotStride) into
// one vector per subband, equalised: four 8 x 8 transposes.
MP3_VECTOR_CLONES void GatherLanes(const float* block, int slotStride, const float* eq, Lanes* x)
{
    for (int g = 0; g < 4; ++g) {
        Lanes r[8];
        for (int i = 0; i < 8; ++i) {
            r[i] = *reinterpret_cast<const LanesU*>(block + i * slotStride + 8 * g);
        }
        Transpose8(r);
        for (int i = 0; i < 8; ++i) {
            x[8 * g + i] = r[i] * eq[8 * g + i];
        }
    }
}

// Writes the matrixed values of up to eight slots (A, one slot per lane)
// into the channel's lane history at column `col`, as the standard's V
// vectors: value i of every slot side by side. Lanes past the last slot hold
// zeros and land on columns that the next block overwrites before reading.
MP3_VECTOR_CLONES void PushLanes(const Lanes* A, float (*hist)[kHistoryColumns], int col)
{
    auto put = [&](int i, const Lanes& v) { std::memcpy(&hist[i][col], &v, sizeof v); };
    for (int i = 0; i < 16; ++i) {
        put(i, A[16 + i]);
    }
    put(16, Lanes{});
    for (int i = 17; i < 48; ++i) {
        put(i, -A[48 - i]);
    }
    for (int i = 48; i < 64; ++i) {
        put(i, -A[i - 48]);
    }
}

// The window sums of eight consecutive slots at once, slot s at column col
// + lane: sum j of slot s adds, row by row, window[r][j] x value (r even: j,
// odd: 32 + j) of slot s - r, which lies r columns to its left. Each lane
// adds the same products in the same order as WindowSums.
MP3_VECTOR_CLONES void WindowLanes(const float (*hist)[kHistoryColumns], int col, float (*acc)[kLanes])
{
    // Eight sums j at a time: eight independent chains of additions keep the
    // adder busy, while each chain still adds its products in row order.
    constexpr int kChains = 8;
    for (int j0 = 0; j0 < 32; j0 += kChains) {
        Lanes a[kChains] = {};
        for (int r = 0; r < 16; ++r) {
            const float* w = &gWindow[r][j0];
            const float* h = &hist[(r & 1) * 32 + j0][col - r];
            for (int c = 0; c < kChains; ++c) {
                a[c] += w[c] * *reinterpret_cast<const LanesU*>(h + c * kHistoryColumns);
            }
        }
        for (int c = 0; c < kChains; ++c) {
            *reinterpret_cast<LanesU*>(acc[j0 + c]) = a[c];
        }
    }
}

// Runs the slots eight at a time: matrixing, the lane history and the
// window all work on one slot per lane, channel by channel; then the block's
// PCM is written for both channels at once.
template <class Store>
void RunLanes(Mp3Decoder& st, const float* const in[2], int slotStride, int sbStride, int slots, const Store& store,
              int firstSample)
{
    SynthesisState& sy = st.synth;
    int channels = st.outChannels;
    int outs = 32 >> st.downSampling;
    int decimate = 1 << st.downSampling;
    const float* eq = EqualiserFactors(st);
    for (int s0 = 0; s0 < slots; s0 += kLanes) {
        int n = slots - s0 < kLanes ? slots - s0 : kLanes;
        alignas(32) float acc[2][32][kLanes];
        for (int ch = 0; ch < channels; ++ch) {
            Lanes x[32];
            if (slotStride == 1 && n == kLanes) {
                // Eight consecutive slots of one subband lie side by side.
                for (int k = 0; k < 32; ++k) {
                    x[k] = *reinterpret_cast<const LanesU*>(in[ch] + s0 + k * sbStride) * eq[k];
                }
            } else if (sbStride == 1 && n == kLanes) {
                GatherLanes(in[ch] + s0 * slotStride, slotStride, eq, x);
            } else {
                alignas(32) float t[32][kLanes] = {};
                for (int lane = 0; lane < n; ++lane) {
                    const float* slot = in[ch] + (s0 + lane) * slotStride;
                    for (int k = 0; k < 32; ++k) {
                        t[k][lane] = slot[k * sbStride] * eq[k];
                    }
                }
                std::memcpy(x, t, sizeof x);
            }
            Lanes A[32];
            DctLanes(x, A);

            float (*hist)[kHistoryColumns] = sy.history[ch];
            int& col = sy.column[ch];
            if (col + kLanes > kHistoryColumns) {
                // Keep the last 16 slots (the window reaches 15 back).
                for (int i = 0; i < 64; ++i) {
                    std::memcpy(hist[i], hist[i] + col - 16, sizeof(float) * 16);
                }
                col = 16;
            }
            PushLanes(A, hist, col);
            WindowLanes(hist, col, acc[ch]);
            col += n;
        }
        store.PutBlock((firstSample + s0 * outs) * channels, channels, acc, n, outs, decimate);
    }
}

template <class Store>
void Run(Mp3Decoder& st, const float* const in[2], int slotStride, int sbStride, int slots, const Store& store,
         int firstSample)
{
    if (st.scalarTwins) {
        RunScalar(st, in, slotStride, sbStride, slots, store, firstSample);
    } else {
        RunLanes(st, in, slotStride, sbStride, slots, store, firstSample);
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
    st.synth.column[0] = st.synth.column[1] = 16;
}

void Synthesize(Mp3Decoder& st, const float* const in[2], int slotStride, int sbStride, int slots,
                uint8_t* output, int firstSample)
{
    if (st.outBits == 8) {
        Run(st, in, slotStride, sbStride, slots, Store8{{output}}, firstSample);
    } else if (st.floatCapture != nullptr) {
        Run(st, in, slotStride, sbStride, slots,
            Store16Capture{{reinterpret_cast<int16_t*>(output), st.floatCapture}}, firstSample);
    } else {
        Run(st, in, slotStride, sbStride, slots, Store16{reinterpret_cast<int16_t*>(output)}, firstSample);
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
