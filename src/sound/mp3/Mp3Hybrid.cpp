// Layer III hybrid filter bank: alias reduction, the inverse MDCT of long
// (36-point) and short (3 x 12-point) blocks with the four window shapes,
// overlap-add and frequency inversion.
#include <cmath>
#include <cstring>

#include "sound/mp3/Mp3LayerIIITypes.h"
#include "sound/mp3/Mp3State.h"

namespace mp3 {

namespace {

float gCs[8], gCa[8];
// Windows by block type (0 normal, 1 start, 3 stop) over 36 points; short 12.
float gLongWindow[4][36];
float gShortWindow[12];
// DCT-IV matrices: cos(pi / 72 (2m + 1)(2k + 1)) as [k][m], and the 6-point one.
alignas(32) float gDct18[18][18];
float gDct6[6][6];

// d = the 18-point DCT-IV of 18 lines; the 36 outputs y of the inverse MDCT
// follow from its symmetries: y[n] = d[n + 9] (n < 9), -d[26 - n] (n < 27),
// -d[n - 27] (n < 36).
inline void Dct18(const float* x, float* d)
{
    // d[0..15] in two vectors and d[16], d[17] alone; each d[m] adds its 18
    // products in k order, as the plain loop over m would.
    Lanes d0 = {}, d1 = {};
    float d16 = 0.0f, d17 = 0.0f;
    for (int k = 0; k < 18; ++k) {
        float v = x[k];
        const float* row = gDct18[k];
        d0 += v * *reinterpret_cast<const LanesU*>(row);
        d1 += v * *reinterpret_cast<const LanesU*>(row + kLanes);
        d16 += v * row[16];
        d17 += v * row[17];
    }
    std::memcpy(d, &d0, sizeof d0);
    std::memcpy(d + kLanes, &d1, sizeof d1);
    d[16] = d16;
    d[17] = d17;
}

// Windows the 36 outputs of a long block (from its DCT-IV d) and overlaps
// them: the first 18 with the previous granule's (ov[i x ovStride]) into
// o[i x 32], the last 18 kept in ov.
inline void WindowLong(const float* d, const float* win, float* ov, int ovStride, float* o)
{
    for (int i = 0; i < 9; ++i) {
        o[32 * i] = ov[i * ovStride] + d[i + 9] * win[i];
    }
    for (int i = 9; i < 18; ++i) {
        o[32 * i] = ov[i * ovStride] + -d[26 - i] * win[i];
    }
    for (int i = 0; i < 9; ++i) {
        ov[i * ovStride] = -d[8 - i] * win[18 + i];
    }
    for (int i = 9; i < 18; ++i) {
        ov[i * ovStride] = -d[i - 9] * win[18 + i];
    }
}

// The 18 lines of eight subbands (subband i at x + 18 i) into t[line][i]:
// lines 0-7 and 8-15 by 8 x 8 transposes, 16 and 17 one by one.
MP3_VECTOR_CLONES void TransposeLines(const float* x, float (*t)[kLanes])
{
    for (int g = 0; g < 2; ++g) {
        Lanes r[8];
        for (int i = 0; i < 8; ++i) {
            r[i] = *reinterpret_cast<const LanesU*>(x + 18 * i + 8 * g);
        }
        Transpose8(r);
        for (int i = 0; i < 8; ++i) {
            *reinterpret_cast<Lanes*>(t[8 * g + i]) = r[i];
        }
    }
    for (int i = 0; i < 8; ++i) {
        t[16][i] = x[18 * i + 16];
        t[17][i] = x[18 * i + 17];
    }
}

// Eight long-block subbands at once, one per lane, from subband sb0 (n of
// them valid): the DCT-IV, the window and the overlap, each lane doing
// exactly Dct18's and WindowLong's arithmetic. The overlap is kept by time
// slot, so that the eight subbands' values of a slot lie side by side.
inline void LongBlockLanes(const float* xr, int sb0, int n, const float* win, float (*ov)[kOverlapColumns],
                           float (*out)[32])
{
    alignas(32) float t[18][kLanes];
    const float* x = xr + 18 * sb0;
    if (n == kLanes) {
        TransposeLines(x, t);
    } else {
        std::memset(t, 0, sizeof t);
        for (int lane = 0; lane < n; ++lane) {
            for (int k = 0; k < 18; ++k) {
                t[k][lane] = x[18 * lane + k];
            }
        }
    }
    // Six outputs at a time: six chains of additions in flight, few enough
    // to stay in registers; each d[m] still adds its products in k order.
    Lanes d[18];
    for (int m0 = 0; m0 < 18; m0 += 6) {
        Lanes a0 = {}, a1 = {}, a2 = {}, a3 = {}, a4 = {}, a5 = {};
        for (int k = 0; k < 18; ++k) {
            Lanes v = *reinterpret_cast<const Lanes*>(t[k]);
            const float* c = &gDct18[k][m0];
            a0 += v * c[0];
            a1 += v * c[1];
            a2 += v * c[2];
            a3 += v * c[3];
            a4 += v * c[4];
            a5 += v * c[5];
        }
        d[m0] = a0;
        d[m0 + 1] = a1;
        d[m0 + 2] = a2;
        d[m0 + 3] = a3;
        d[m0 + 4] = a4;
        d[m0 + 5] = a5;
    }
    alignas(32) float o[18][kLanes], keep[18][kLanes];
    for (int i = 0; i < 18; ++i) {
        Lanes previous;
        std::memcpy(&previous, &ov[i][sb0], sizeof previous);
        Lanes y = i < 9 ? previous + d[i + 9] * win[i] : previous + -d[26 - i] * win[i];
        std::memcpy(o[i], &y, sizeof y);
    }
    for (int i = 0; i < 9; ++i) {
        *reinterpret_cast<Lanes*>(keep[i]) = -d[8 - i] * win[18 + i];
    }
    for (int i = 9; i < 18; ++i) {
        *reinterpret_cast<Lanes*>(keep[i]) = -d[i - 9] * win[18 + i];
    }
    if (n == kLanes) {
        for (int i = 0; i < 18; ++i) {
            std::memcpy(&ov[i][sb0], keep[i], sizeof keep[i]);
            *reinterpret_cast<LanesU*>(&out[i][sb0]) = *reinterpret_cast<const Lanes*>(o[i]);
        }
        return;
    }
    // Lanes past the valid subbands must keep their overlap and output.
    for (int i = 0; i < 18; ++i) {
        for (int lane = 0; lane < n; ++lane) {
            ov[i][sb0 + lane] = keep[i][lane];
            out[i][sb0 + lane] = o[i][lane];
        }
    }
}

inline void Imdct12(const float* x, float* y)
{
    float d[6] = {};
    for (int k = 0; k < 6; ++k) {
        for (int m = 0; m < 6; ++m) {
            d[m] += x[k] * gDct6[k][m];
        }
    }
    for (int n = 0; n < 3; ++n) {
        y[n] = d[n + 3];
    }
    for (int n = 3; n < 9; ++n) {
        y[n] = -d[8 - n];
    }
    for (int n = 9; n < 12; ++n) {
        y[n] = -d[n - 9];
    }
}

}  // namespace

void BuildHybridTables()
{
    static constexpr double kCi[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
    for (int i = 0; i < 8; ++i) {
        double sq = std::sqrt(1.0 + kCi[i] * kCi[i]);
        gCs[i] = float(1.0 / sq);
        gCa[i] = float(kCi[i] / sq);
    }
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 36; ++i) {
        double normal = std::sin(pi / 36 * (i + 0.5));
        gLongWindow[0][i] = float(normal);
        // Start: normal rise, flat, the short window's fall, zeros.
        gLongWindow[1][i] = float(i < 18 ? normal : i < 24 ? 1.0 : i < 30 ? std::sin(pi / 12 * (i - 18 + 0.5)) : 0.0);
        // Stop: zeros, the short window's rise, flat, normal fall.
        gLongWindow[3][i] = float(i < 6 ? 0.0 : i < 12 ? std::sin(pi / 12 * (i - 6 + 0.5)) : i < 18 ? 1.0 : normal);
        gLongWindow[2][i] = gLongWindow[0][i];
    }
    for (int i = 0; i < 12; ++i) {
        gShortWindow[i] = float(std::sin(pi / 12 * (i + 0.5)));
    }
    for (int k = 0; k < 18; ++k) {
        for (int m = 0; m < 18; ++m) {
            gDct18[k][m] = float(std::cos(pi / 72 * (2 * m + 1) * (2 * k + 1)));
        }
    }
    for (int k = 0; k < 6; ++k) {
        for (int m = 0; m < 6; ++m) {
            gDct6[k][m] = float(std::cos(pi / 24 * (2 * m + 1) * (2 * k + 1)));
        }
    }
}

MP3_VECTOR_CLONES int ReduceAliases(float* xr, const GranuleChannel& gc, int nonzero, int limit)
{
    bool shortBlocks = gc.windowSwitching && gc.blockType == 2;
    int active = (nonzero + 17) / 18;
    if (shortBlocks && !gc.mixed) {
        return active < limit ? active : limit;
    }
    int boundaries = (nonzero + 7) / 18;
    if (shortBlocks) {
        boundaries = 1;  // only between the two long subbands of a mixed block and the rest
    }
    if (boundaries > limit - 1) {
        boundaries = limit - 1;
    }
    for (int sb = 1; sb <= boundaries; ++sb) {
        float* lo = xr + 18 * sb - 1;
        float* hi = xr + 18 * sb;
        for (int i = 0; i < 8; ++i) {
            float a = lo[-i], b = hi[i];
            lo[-i] = a * gCs[i] - b * gCa[i];
            hi[i] = b * gCs[i] + a * gCa[i];
        }
    }
    // The butterflies spread a band's last lines 8 lines into the next one.
    if (boundaries + 1 > active) {
        active = boundaries + 1;
    }
    return active < limit ? active : limit;
}

MP3_VECTOR_CLONES void HybridSynthesis(float* xr, const GranuleChannel& gc, int active,
                                       float (*overlap)[kOverlapColumns], float (*out)[32], bool lanes)
{
    bool shortBlocks = gc.windowSwitching && gc.blockType == 2;
    int longType = gc.windowSwitching ? gc.blockType : 0;
    // The two lowest subbands of a mixed block are always transformed with
    // the normal window, whatever the block type says for the rest; they
    // are done one by one, the other long subbands eight at a time (or one
    // by one too, as the scalar twin of the lanes).
    int lanesFrom = shortBlocks || !lanes ? active : gc.mixed ? 2 : 0;
    for (int sb = 0; sb < lanesFrom && sb < active; ++sb) {
        const float* x = xr + 18 * sb;
        float* ov = &overlap[0][sb];
        if (shortBlocks && !(gc.mixed && sb < 2)) {
            float frame[36] = {};
            for (int w = 0; w < 3; ++w) {
                float y[12];
                Imdct12(x + 6 * w, y);
                float* dst = frame + 6 + 6 * w;
                for (int i = 0; i < 12; ++i) {
                    dst[i] += y[i] * gShortWindow[i];
                }
            }
            for (int i = 0; i < 18; ++i) {
                out[i][sb] = ov[kOverlapColumns * i] + frame[i];
                ov[kOverlapColumns * i] = frame[18 + i];
            }
        } else {
            float d[18];
            Dct18(x, d);
            WindowLong(d, gLongWindow[gc.mixed && sb < 2 ? 0 : longType], ov, kOverlapColumns, &out[0][sb]);
        }
    }
    for (int sb0 = lanesFrom; sb0 < active; sb0 += kLanes) {
        int n = active - sb0 < kLanes ? active - sb0 : kLanes;
        LongBlockLanes(xr, sb0, n, gLongWindow[longType], overlap, out);
    }
    for (int i = 0; i < 18; ++i) {
        for (int sb = active; sb < 32; ++sb) {
            out[i][sb] = overlap[i][sb];
            overlap[i][sb] = 0.0f;
        }
    }
    // Frequency inversion: every odd subband of every odd time slot.
    for (int i = 1; i < 18; i += 2) {
        for (int sb = 1; sb < 32; sb += 2) {
            out[i][sb] = -out[i][sb];
        }
    }
}

}  // namespace mp3
