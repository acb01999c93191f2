// Layer III: side information, the main-data reservoir, scale factors,
// Huffman decoding, dequantisation and stereo processing; the hybrid filter
// bank is in Mp3Hybrid.cpp.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sound/mp3/Mp3BitReader.h"
#include "sound/mp3/Mp3Huffman.h"
#include "sound/mp3/Mp3LayerIIITypes.h"
#include "sound/mp3/Mp3State.h"

namespace mp3 {

namespace {

// Scale-factor band boundaries (lines) by rate: 44.1, 48, 32, 22.05, 24, 16,
// 11.025, 12, 8 kHz. Short-block bands count lines of one window.
constexpr int16_t kLongBands[9][23] = {
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 52, 62, 74, 90, 110, 134, 162, 196, 238, 288, 342, 418, 576},
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 42, 50, 60, 72, 88, 106, 128, 156, 190, 230, 276, 330, 384, 576},
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 54, 66, 82, 102, 126, 156, 194, 240, 296, 364, 448, 550, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 114, 136, 162, 194, 232, 278, 332, 394, 464, 540, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 12, 24, 36, 48, 60, 72, 88, 108, 132, 160, 192, 232, 280, 336, 400, 476, 566, 568, 570, 572, 574, 576},
};
constexpr int16_t kShortBands[9][14] = {
    {0, 4, 8, 12, 16, 22, 30, 40, 52, 66, 84, 106, 136, 192},
    {0, 4, 8, 12, 16, 22, 28, 38, 50, 64, 80, 100, 126, 192},
    {0, 4, 8, 12, 16, 22, 30, 42, 58, 78, 104, 138, 180, 192},
    {0, 4, 8, 12, 18, 24, 32, 42, 56, 74, 100, 132, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 136, 180, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
    {0, 8, 16, 24, 36, 52, 72, 96, 124, 160, 162, 164, 166, 192},
};

constexpr int kPretab[22] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0};
constexpr int kSlen[16][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {3, 0}, {1, 1}, {1, 2}, {1, 3},
                              {2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}, {4, 2}, {4, 3}};
// MPEG-2 scale-factor partitions by [table][block kind: long, short, mixed][partition].
constexpr int kPartitions[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

// |x|^(4/3) for every value the Huffman tables can give (15 + 2^13 - 1).
constexpr int kPowTableSize = 8207;
// sign(v) x |v|^(4/3) for v = -(kPowTableSize - 1) .. kPowTableSize - 1, at
// index v + kPowTableSize - 1: dequantisation is then one load and one
// multiply, and (-p) x gain is exactly -(p x gain).
float gPow43Signed[2 * kPowTableSize - 1];
const float* const gPow43 = gPow43Signed + kPowTableSize - 1;
// 32768 x 2^(e/4) for e = kGainMin .. kGainMin + kGainCount - 1.
constexpr int kGainMin = -600;
constexpr int kGainCount = 700;
float gGain[kGainCount];
// Intensity-stereo ratios: MPEG-1 positions 0-6 (left, right); MPEG-2 by
// intensity scale and position 0-31.
float gIsRatio1[7][2];
float gIsRatio2[2][32][2];

inline float GainOf(int e)
{
    int i = e - kGainMin;
    return i < 0 ? 0.0f : i >= kGainCount ? gGain[kGainCount - 1] : gGain[i];
}

int ReadSideInfo(Mp3BitReader& br, const Mp3HeaderFields& h, SideInfo& si)
{
    int channels = h.mode == 3 ? 1 : 2;
    bool mpeg1 = h.version == 1;
    si.mainDataBegin = int(br.Read(mpeg1 ? 9 : 8));
    br.Skip(mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));
    int granules = mpeg1 ? 2 : 1;
    if (mpeg1) {
        for (int ch = 0; ch < channels; ++ch) {
            for (int b = 0; b < 4; ++b) {
                si.scfsi[ch][b] = int(br.Read1());
            }
        }
    } else {
        std::memset(si.scfsi, 0, sizeof si.scfsi);
    }
    bool msStereo = h.mode == 1 && (h.modeExtension & 2);
    for (int gr = 0; gr < granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            GranuleChannel& g = si.gr[gr][ch];
            g.part23Length = int(br.Read(12));
            g.bigValues = std::min(int(br.Read(9)), 288);
            g.globalGain = int(br.Read(8));
            // The 1/sqrt(2) of mid/side stereo as two quarter steps of gain.
            if (msStereo) {
                g.globalGain -= 2;
            }
            g.scalefacCompress = int(br.Read(mpeg1 ? 4 : 9));
            g.windowSwitching = int(br.Read1());
            if (g.windowSwitching) {
                g.blockType = int(br.Read(2));
                g.mixed = int(br.Read1());
                g.tableSelect[0] = int(br.Read(5));
                g.tableSelect[1] = int(br.Read(5));
                g.tableSelect[2] = 0;
                for (int w = 0; w < 3; ++w) {
                    g.subblockGain[w] = int(br.Read(3));
                }
                g.region0Count = 7;
                g.region1Count = 13;
            } else {
                g.blockType = 0;
                g.mixed = 0;
                for (int r = 0; r < 3; ++r) {
                    g.tableSelect[r] = int(br.Read(5));
                }
                g.subblockGain[0] = g.subblockGain[1] = g.subblockGain[2] = 0;
                g.region0Count = int(br.Read(4));
                g.region1Count = int(br.Read(3));
            }
            g.preflag = mpeg1 ? int(br.Read1()) : 0;
            g.scalefacScale = int(br.Read1());
            g.count1Table = int(br.Read1());
        }
    }
    return granules;
}

bool IsShort(const GranuleChannel& g)
{
    return g.windowSwitching && g.blockType == 2;
}

void ReadScaleFactorsMpeg1(Mp3BitReader& br, const GranuleChannel& g, const int* scfsi, int gr,
                           ScaleFactors& sf, const ScaleFactors& saved)
{
    int slen1 = kSlen[g.scalefacCompress][0];
    int slen2 = kSlen[g.scalefacCompress][1];
    if (IsShort(g)) {
        int sfb = 0;
        if (g.mixed) {
            for (; sfb < 8; ++sfb) {
                sf.l[sfb] = int(br.Read(slen1));
            }
            sfb = 3;
        }
        for (; sfb < 12; ++sfb) {
            int len = sfb < 6 ? slen1 : slen2;
            for (int w = 0; w < 3; ++w) {
                sf.s[sfb][w] = int(br.Read(len));
            }
        }
        sf.s[12][0] = sf.s[12][1] = sf.s[12][2] = 0;
        return;
    }
    static constexpr int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int b = 0; b < 4; ++b) {
        int len = b < 2 ? slen1 : slen2;
        for (int sfb = kGroupStart[b]; sfb < kGroupStart[b + 1]; ++sfb) {
            sf.l[sfb] = (gr == 1 && scfsi[b]) ? saved.l[sfb] : int(br.Read(len));
        }
    }
    sf.l[21] = 0;
}

void ReadScaleFactorsMpeg2(Mp3BitReader& br, GranuleChannel& g, bool intensityRight, ScaleFactors& sf)
{
    int slen[4] = {0, 0, 0, 0};
    int table;
    int sfc = g.scalefacCompress;
    if (intensityRight) {
        int isc = sfc >> 1;
        if (isc < 180) {
            slen[0] = isc / 36;
            slen[1] = (isc % 36) / 6;
            slen[2] = isc % 6;
            table = 3;
        } else if (isc < 244) {
            isc -= 180;
            slen[0] = (isc & 63) >> 4;
            slen[1] = (isc & 15) >> 2;
            slen[2] = isc & 3;
            table = 4;
        } else {
            isc -= 244;
            slen[0] = isc / 3;
            slen[1] = isc % 3;
            table = 5;
        }
        g.preflag = 0;
    } else if (sfc < 400) {
        slen[0] = (sfc >> 4) / 5;
        slen[1] = (sfc >> 4) % 5;
        slen[2] = (sfc & 15) >> 2;
        slen[3] = sfc & 3;
        table = 0;
        g.preflag = 0;
    } else if (sfc < 500) {
        sfc -= 400;
        slen[0] = (sfc >> 2) / 5;
        slen[1] = (sfc >> 2) % 5;
        slen[2] = sfc & 3;
        table = 1;
        g.preflag = 0;
    } else {
        sfc -= 500;
        slen[0] = sfc / 3;  // sfc <= 11 here: at most 3 bits
        slen[1] = sfc % 3;
        table = 2;
        g.preflag = 1;
    }
    int kind = IsShort(g) ? (g.mixed ? 2 : 1) : 0;
    int values[40];
    int illegal[40];
    int n = 0;
    for (int p = 0; p < 4; ++p) {
        int count = kPartitions[table][kind][p];
        for (int i = 0; i < count && n < 40; ++i, ++n) {
            values[n] = int(br.Read(slen[p]));
            illegal[n] = (1 << slen[p]) - 1;
        }
    }
    for (int i = n; i < 40; ++i) {
        values[i] = 0;
        illegal[i] = 0;
    }
    int k = 0;
    if (kind == 0) {
        for (int sfb = 0; sfb < 21; ++sfb, ++k) {
            sf.l[sfb] = values[k];
            sf.illegalL[sfb] = illegal[k];
        }
        sf.l[21] = 0;
        sf.illegalL[21] = sf.illegalL[20];
        return;
    }
    int sfb = 0;
    if (kind == 2) {
        for (; sfb < 6; ++sfb, ++k) {
            sf.l[sfb] = values[k];
            sf.illegalL[sfb] = illegal[k];
        }
        sfb = 3;
    }
    for (; sfb < 12; ++sfb) {
        for (int w = 0; w < 3; ++w, ++k) {
            sf.s[sfb][w] = values[k];
        }
        sf.illegalS[sfb] = illegal[k - 1];
    }
    sf.s[12][0] = sf.s[12][1] = sf.s[12][2] = 0;
    sf.illegalS[12] = sf.illegalS[11];
}

// Huffman decoding of one channel's granule into l3.gr.is; returns the count
// of lines up to the last non-zero one. `end` is the channel's last bit.
int DecodeSpectrum(LayerIIIState& l3, const Mp3BitReader& from, const GranuleChannel& g, size_t end)
{
    Mp3BitCache br(from);
    int* is = l3.gr.is;
    const int16_t* lb = kLongBands[l3.rateIndex];
    int bigEnd = g.bigValues * 2;
    int r1, r2;
    if (g.windowSwitching) {
        // Short blocks count region 0 as three short bands in each window.
        r1 = (g.blockType == 2 && !g.mixed) ? 3 * kShortBands[l3.rateIndex][3] : lb[8];
        r2 = kGranuleLines;
    } else {
        r1 = lb[std::min(g.region0Count + 1, 22)];
        r2 = lb[std::min(g.region0Count + g.region1Count + 2, 22)];
    }
    r1 = std::min(r1, bigEnd);
    r2 = std::min(r2, bigEnd);
    // A channel that reads past this byte is corrupt: silence, not noise.
    size_t hardEnd = ((end + 39) / 8) * 8;
    int i = 0;
    for (int region = 0; region < 3; ++region) {
        int stop = region == 0 ? r1 : region == 1 ? r2 : bigEnd;
        const HuffmanLookup& table = LookupOf(g.tableSelect[region]);
        for (; i < stop; i += 2) {
            br.Fill();
            DecodePair(br, table, &is[i], &is[i + 1]);
            if (br.Position() > hardEnd) {
                std::memset(is, 0, sizeof(int) * kGranuleLines);
                return 0;
            }
        }
    }
    // Count-1 region: quadruples of -1, 0, 1 until the channel's bits run out.
    while (br.Position() < end && i + 4 <= kGranuleLines) {
        int q[4];
        br.Fill();
        DecodeQuad(br, g.count1Table != 0, q);
        if (br.Position() > end) {
            break;  // its sign bits ran past the channel: drop it
        }
        is[i] = q[0];
        is[i + 1] = q[1];
        is[i + 2] = q[2];
        is[i + 3] = q[3];
        i += 4;
    }
    std::memset(is + i, 0, sizeof(int) * size_t(kGranuleLines - i));
    int n = std::min(i, l3.limitLines);
    std::memset(is + n, 0, sizeof(int) * size_t(kGranuleLines - n));
    while (n > 0 && is[n - 1] == 0) {
        --n;
    }
    return n;
}

inline float Dequant(int v, float gain)
{
    return gPow43[v] * gain;
}

// Dequantises l3.gr.is into xr in band order (short bands: window by window).
void Dequantise(const LayerIIIState& l3, const GranuleChannel& g, const ScaleFactors& sf, int nonzero, float* xr)
{
    const int* is = l3.gr.is;
    // Every line below `nonzero` is written band by band below.
    std::memset(xr + nonzero, 0, sizeof(float) * size_t(kGranuleLines - nonzero));
    int base = g.globalGain - 210;
    int shift = 2 * (1 + g.scalefacScale);
    const int16_t* lb = kLongBands[l3.rateIndex];
    const int16_t* sb = kShortBands[l3.rateIndex];
    int line = 0;
    int longEnd = kGranuleLines;
    int firstShort = 0;
    if (IsShort(g)) {
        longEnd = g.mixed ? 3 * sb[3] : 0;
        firstShort = g.mixed ? 3 : 0;
    }
    for (int b = 0; line < longEnd && line < nonzero; ++b) {
        int e = base - shift * (sf.l[b] + (g.preflag ? kPretab[b] : 0));
        float gain = GainOf(e);
        int stop = std::min<int>(lb[b + 1], nonzero);
        for (; line < stop; ++line) {
            xr[line] = Dequant(is[line], gain);
        }
    }
    if (longEnd == kGranuleLines) {
        return;
    }
    line = 3 * sb[firstShort];
    for (int b = firstShort; b < 13 && line < nonzero; ++b) {
        int width = sb[b + 1] - sb[b];
        for (int w = 0; w < 3; ++w) {
            int e = base - 8 * g.subblockGain[w] - shift * sf.s[b][w];
            float gain = GainOf(e);
            int stop = std::min(line + width, nonzero);
            for (int k = line; k < stop; ++k) {
                xr[k] = Dequant(is[k], gain);
            }
            line += width;
        }
    }
}

// Short-block lines go from band order (band, window, line) to the order of
// the transform (subband, window, line within the subband's 6). Returns the
// line count that covers every non-zero line in the new order.
int ReorderShort(const LayerIIIState& l3, const GranuleChannel& g, float* xr, int nonzero)
{
    if (!IsShort(g)) {
        return nonzero;
    }
    const int16_t* sb = kShortBands[l3.rateIndex];
    int first = g.mixed ? 3 : 0;
    float tmp[kGranuleLines];
    int start = 3 * sb[first];
    int line = start;
    for (int b = first; b < 13; ++b) {
        int width = sb[b + 1] - sb[b];
        for (int w = 0; w < 3; ++w) {
            for (int j = 0; j < width; ++j, ++line) {
                int k = sb[b] + j;  // frequency index within the window
                tmp[(k / 6) * 18 + w * 6 + k % 6] = xr[line];
            }
        }
    }
    std::memcpy(xr + start, tmp + start, sizeof(float) * size_t(kGranuleLines - start));
    if (nonzero <= start) {
        return nonzero;
    }
    // The band holding the last non-zero line ends at frequency sb[b + 1] in
    // every window.
    int b = first;
    while (b < 12 && 3 * sb[b + 1] < nonzero) {
        ++b;
    }
    return 3 * sb[b + 1];
}

void ProcessStereo(LayerIIIState& l3, const Mp3HeaderFields& h, const GranuleChannel& gr1)
{
    bool ms = h.mode == 1 && (h.modeExtension & 2);
    bool intensity = h.mode == 1 && (h.modeExtension & 1);
    bool mpeg1 = h.version == 1;
    float* l = l3.gr.xr[0];
    float* r = l3.gr.xr[1];
    int top = std::max(l3.gr.nonzero[0], l3.gr.nonzero[1]);
    bool* isLine = l3.gr.isLine;
    int msTop = top;
    if (intensity) {
        std::memset(isLine, 0, sizeof l3.gr.isLine);
        const ScaleFactors& sf = l3.gr.sf[1];
        int intensityScale = gr1.scalefacCompress & 1;
        auto apply = [&](int start, int width, int pos, int illegal) {
            float kl, kr;
            bool ok;
            if (h.version == 1) {
                ok = pos < 7;
                if (ok) {
                    kl = gIsRatio1[pos][0];
                    kr = gIsRatio1[pos][1];
                }
            } else {
                ok = pos != illegal;
                if (ok) {
                    int p = std::min(pos, 31);
                    kl = gIsRatio2[intensityScale][p][0];
                    kr = gIsRatio2[intensityScale][p][1];
                }
            }
            if (!ok) {
                return;
            }
            if (ms) {
                kl *= 1.41421356f;
                kr *= 1.41421356f;
            }
            int end = std::min(start + width, kGranuleLines);
            for (int k = start; k < end; ++k) {
                float x = l[k];
                l[k] = x * kl;
                r[k] = x * kr;
                isLine[k] = true;
            }
            top = std::max(top, end);
        };
        const int16_t* lb = kLongBands[l3.rateIndex];
        const int16_t* sb = kShortBands[l3.rateIndex];
        int rnz = l3.gr.nonzero[1];
        if (!IsShort(gr1)) {
            int first = 0;
            while (first < 22 && lb[first] < rnz) {
                ++first;
            }
            for (int b = first; b < 22; ++b) {
                if (b == 21 && !mpeg1 && first == 21) {
                    // The top band has no position of its own. At the lower
                    // rates it takes its neighbour's only when that one is
                    // an intensity band too; else position 0 (both gains 1).
                    apply(lb[b], lb[b + 1] - lb[b], 0, -1);
                    continue;
                }
                int src = b < 21 ? b : 20;
                apply(lb[b], lb[b + 1] - lb[b], sf.l[src], sf.illegalL[src]);
            }
        } else {
            int firstShort = gr1.mixed ? 3 : 0;
            bool shortHasData = false;
            for (int w = 0; w < 3; ++w) {
                // Last band of this window that holds data in the right channel.
                int last = firstShort - 1;
                for (int b = firstShort; b < 13; ++b) {
                    int width = sb[b + 1] - sb[b];
                    int start = 3 * sb[b] + w * width;
                    for (int k = start; k < start + width; ++k) {
                        if (r[k] != 0.0f) {
                            last = b;
                            break;
                        }
                    }
                }
                if (last >= firstShort) {
                    shortHasData = true;
                }
                for (int b = last + 1; b < 13; ++b) {
                    int width = sb[b + 1] - sb[b];
                    if (b == 12 && !mpeg1 && last == 11) {
                        apply(3 * sb[b] + w * width, width, 0, -1);
                        continue;
                    }
                    int src = b < 12 ? b : 11;
                    apply(3 * sb[b] + w * width, width, sf.s[src][w], sf.illegalS[src]);
                }
            }
            if (gr1.mixed && !shortHasData) {
                int longBands = h.version == 1 ? 8 : 6;
                int first = 0;
                while (first < longBands && lb[first] < rnz) {
                    ++first;
                }
                for (int b = first; b < longBands; ++b) {
                    apply(lb[b], lb[b + 1] - lb[b], sf.l[b], sf.illegalL[b]);
                }
            }
        }
    }
    if (ms) {
        for (int k = 0; k < msTop; ++k) {
            if (intensity && isLine[k]) {
                continue;
            }
            float m = l[k], s = r[k];
            l[k] = m + s;
            r[k] = m - s;
        }
    }
    l3.gr.nonzero[0] = l3.gr.nonzero[1] = std::min(top, kGranuleLines);
}

}  // namespace

void BuildLayerIIITables()
{
    for (int i = 0; i < kPowTableSize; ++i) {
        float p = float(std::pow(double(i), 4.0 / 3.0));
        gPow43Signed[kPowTableSize - 1 + i] = p;
        gPow43Signed[kPowTableSize - 1 - i] = -p;
    }
    for (int i = 0; i < kGainCount; ++i) {
        gGain[i] = float(32768.0 * std::pow(2.0, (kGainMin + i) / 4.0));
    }
    const double pi = std::acos(-1.0);
    for (int p = 0; p < 7; ++p) {
        double s = std::sin(p * pi / 12), c = std::cos(p * pi / 12);
        gIsRatio1[p][0] = float(s / (s + c));
        gIsRatio1[p][1] = float(c / (s + c));
    }
    for (int scale = 0; scale < 2; ++scale) {
        double io = scale ? std::sqrt(0.5) : std::pow(2.0, -0.25);
        for (int p = 0; p < 32; ++p) {
            if (p & 1) {
                gIsRatio2[scale][p][0] = float(std::pow(io, (p + 1) / 2));
                gIsRatio2[scale][p][1] = 1.0f;
            } else {
                gIsRatio2[scale][p][0] = 1.0f;
                gIsRatio2[scale][p][1] = float(std::pow(io, p / 2));
            }
        }
    }
    BuildHuffmanTables();
    BuildHybridTables();
}

void ResetLayerIIIReservoir(Mp3Decoder& st)
{
    st.l3.reservoirFill = 0;
}

bool InitLayerIII(Mp3Decoder& st, const Mp3HeaderFields& header)
{
    LayerIIIState& l3 = st.l3;
    ResetLayerIIIReservoir(st);
    l3.rateIndex = (header.version - 1) * 3 + header.sampleRateIndex;
    l3.subbands = DecodedSubbands(st, st.sampleRate, 32);
    l3.limitLines = l3.subbands * 18;
    std::memset(l3.overlap, 0, sizeof l3.overlap);
    std::memset(&l3.gr, 0, sizeof l3.gr);
    std::memset(l3.savedSf, 0, sizeof l3.savedSf);
    return true;
}

void DecodeLayerIII(Mp3Decoder& st, const Mp3HeaderFields& h, const uint8_t* frame, int frameBytes,
                    uint8_t* output)
{
    Mp3BitReader br(frame, size_t(frameBytes));
    int headerBytes = h.crcPresent ? 6 : 4;
    br.Skip(8 * headerBytes);
    SideInfo si;
    int granules = ReadSideInfo(br, h, si);
    int channels = h.mode == 3 ? 1 : 2;
    int sideBytes = h.version == 1 ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17);
    // A frame too short for its side information carries no main data.
    int mainBytes = std::max(0, frameBytes - headerBytes - sideBytes);

    LayerIIIState& l3 = st.l3;
    if (l3.reservoirFill > kReservoirCompactAt) {
        // Keep what a later frame may still reach back to (at most 511 bytes).
        int keep = std::min(l3.reservoirFill, 511);
        std::memmove(l3.reservoir, l3.reservoir + l3.reservoirFill - keep, size_t(keep));
        l3.reservoirFill = keep;
    }
    int readStart = l3.reservoirFill - si.mainDataBegin;
    int append = std::min(mainBytes, kReservoirBytes - l3.reservoirFill);
    std::memcpy(l3.reservoir + l3.reservoirFill, frame + headerBytes + sideBytes, size_t(append));
    l3.reservoirFill += append;
    if (readStart < 0) {
        // The reservoir lacks the bytes this frame refers back to.
        WriteSilence(st, output);
        return;
    }
    Mp3BitReader md(l3.reservoir + readStart, size_t(l3.reservoirFill - readStart));

    int samplesPerGranule = 576 >> st.downSampling;
    for (int gr = 0; gr < granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            GranuleChannel& g = si.gr[gr][ch];
            size_t start = md.Position();
            size_t end = start + size_t(g.part23Length);
            ScaleFactors& sf = l3.gr.sf[ch];
            if (h.version == 1) {
                ReadScaleFactorsMpeg1(md, g, si.scfsi[ch], gr, sf, l3.savedSf[ch]);
                if (gr == 0) {
                    l3.savedSf[ch] = sf;
                }
            } else {
                bool intensityRight = ch == 1 && h.mode == 1 && (h.modeExtension & 1);
                ReadScaleFactorsMpeg2(md, g, intensityRight, sf);
            }
            int nz = md.Position() > end ? 0 : DecodeSpectrum(l3, md, g, end);
            l3.gr.nonzero[ch] = nz;
            Dequantise(l3, g, sf, nz, l3.gr.xr[ch]);
            md.SetPosition(end);
        }
        if (channels == 2 && h.mode == 1) {
            ProcessStereo(l3, h, si.gr[gr][1]);
        }
        for (int ch = 0; ch < channels; ++ch) {
            const GranuleChannel& g = si.gr[gr][ch];
            int nonzero = ReorderShort(l3, g, l3.gr.xr[ch], l3.gr.nonzero[ch]);
            int active = ReduceAliases(l3.gr.xr[ch], g, nonzero, l3.subbands);
            HybridSynthesis(l3.gr.xr[ch], g, active, l3.overlap[ch], l3.gr.hybrid[ch], !st.scalarTwins);
        }
        if (channels == 2) {
            ApplyChannelCode(st, &l3.gr.hybrid[0][0][0], &l3.gr.hybrid[1][0][0], 18 * 32);
        }
        const float* in[2] = {&l3.gr.hybrid[0][0][0], &l3.gr.hybrid[1][0][0]};
        Synthesize(st, in, 32, 1, 18, output, gr * samplesPerGranule);
    }
}

}  // namespace mp3
