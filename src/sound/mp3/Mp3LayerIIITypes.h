#pragma once
// Layer III side information and the hybrid filter bank interface.
#include <cstdint>

namespace mp3 {

struct GranuleChannel {
    int part23Length;
    int bigValues;
    int globalGain;
    int scalefacCompress;
    int windowSwitching;
    int blockType;
    int mixed;
    int tableSelect[3];
    int subblockGain[3];
    int region0Count;
    int region1Count;
    int preflag;
    int scalefacScale;
    int count1Table;
};

struct SideInfo {
    int mainDataBegin;
    int scfsi[2][4];
    GranuleChannel gr[2][2];
};

constexpr int kGranuleLines = 576;
// The overlap of the hybrid filter by [time slot][subband]; 8 spare columns
// let eight subbands be read at once from any of the 32.
constexpr int kOverlapColumns = 40;

struct ScaleFactors {
    int l[22];
    int s[13][3];
    // MPEG-2 intensity right channel: the position that means "no intensity".
    int illegalL[22];
    int illegalS[13];
};

// One granule's working data, both channels.
struct Granule {
    alignas(32) float xr[2][kGranuleLines];
    int is[kGranuleLines];
    int nonzero[2];
    ScaleFactors sf[2];
    alignas(32) float hybrid[2][18][32];  // [channel][time slot][subband]
    bool isLine[kGranuleLines];  // lines intensity stereo has handled
};

// Builds the alias, window and transform tables.
void BuildHybridTables();
// Alias reduction over the long-block part of one channel's 576 lines;
// returns the number of subbands that may now hold data (at most `limit`).
int ReduceAliases(float* xr, const GranuleChannel& gc, int nonzero, int limit);
// Inverse MDCT with overlap-add and frequency inversion of one channel:
// xr (576 lines, short blocks reordered per subband as 3 windows of 6) in,
// out[18][32] (time slot, subband) out. The overlap is kept as [time
// slot][subband]. Subbands from `active` on take the
// overlap alone.
// With `lanes` the long blocks go eight subbands per vector, else one by one
// (the same arithmetic).
void HybridSynthesis(float* xr, const GranuleChannel& gc, int active, float (*overlap)[kOverlapColumns],
                     float (*out)[32], bool lanes);

}  // namespace mp3
