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

int ReduceAliases(float* xr, const GranuleChannel& gc, int nonzero, int limit)
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

MP3_VECTOR_CLONES void HybridSynthesis(float* xr, const GranuleChannel& gc, int active, float* overlap,
                                       float (*out)[18])
{
    bool shortBlocks = gc.windowSwitching && gc.blockType == 2;
    int longType = gc.windowSwitching ? gc.blockType : 0;
    for (int sb = 0; sb < 32; ++sb) {
        float* ov = overlap + 18 * sb;
        if (sb >= active) {
            for (int i = 0; i < 18; ++i) {
                out[sb][i] = ov[i];
                ov[i] = 0.0f;
            }
            continue;
        }
        const float* x = xr + 18 * sb;
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
                out[sb][i] = ov[i] + frame[i];
                ov[i] = frame[18 + i];
            }
        } else {
            // The two lowest subbands of a mixed block are always transformed
            // with the normal window, whatever the block type says for the rest.
            const float* win = gLongWindow[gc.mixed && sb < 2 ? 0 : longType];
            float d[18];
            Dct18(x, d);
            float* o = out[sb];
            for (int i = 0; i < 9; ++i) {
                o[i] = ov[i] + d[i + 9] * win[i];
            }
            for (int i = 9; i < 18; ++i) {
                o[i] = ov[i] + -d[26 - i] * win[i];
            }
            for (int i = 0; i < 9; ++i) {
                ov[i] = -d[8 - i] * win[18 + i];
            }
            for (int i = 9; i < 18; ++i) {
                ov[i] = -d[i - 9] * win[18 + i];
            }
        }
    }
    // Frequency inversion: every odd subband of every odd time slot.
    for (int sb = 1; sb < 32; sb += 2) {
        for (int i = 1; i < 18; i += 2) {
            out[sb][i] = -out[sb][i];
        }
    }
}

}  // namespace mp3
