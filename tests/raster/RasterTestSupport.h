#pragma once
// Test support shared by the blend kernels' tests: the truncating byte
// products, the per-channel 16-bit level mix, the colour-key match, the pairs
// of formats that have a kernel, and the walk over every pair of formats that
// checks result codes. Written from the formulas, never from the kernels.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "display/FastPlane.h"
#include "support/PlaneTestSupport.h"

namespace rastertest {

using namespace planetest;

// floor(a * x / 255): the source term of every byte blend.
inline int Mul(int a, int x) { return a * x / 255; }
// floor(x * (255 - a) / 255): the destination term of a constant blend.
inline int Inv(int a, int x) { return x * (255 - a) / 255; }

// s at level L plus d at level 15 - L, per channel of the 16-bit word.
inline uint16_t Level16(uint32_t s, uint32_t d, int level, bool is565)
{
    Channels cs = Split16(s, is565), cd = Split16(d, is565);
    Channels out{cs.r * level / 15 + cd.r * (15 - level) / 15, cs.g * level / 15 + cd.g * (15 - level) / 15,
                 cs.b * level / 15 + cd.b * (15 - level) / 15};
    return Join16(out, is565);
}

// Whether the source pixel s of format sf equals the colour key (the bytes
// that carry colour only: a level byte or alpha byte beyond them is ignored).
inline bool KeyedRef(int sf, const uint8_t* s, uint32_t key)
{
    switch (sf) {
    case 3: case 4: case 10: case 11: return Get16(s) == (key & 0xFFFF);
    case 5: case 6: case 12: case 13: return uint32_t(s[0] | (s[1] << 8) | (s[2] << 16)) == (key & 0xFFFFFF);
    default: return uint32_t(s[0] | (s[1] << 8) | (s[2] << 16) | (uint32_t(s[3]) << 24)) == key;
    }
}

using FormatPairs = std::vector<std::pair<int, int>>;

// The destination <- source pairs the blend kernels draw: every format onto
// itself, and the alpha formats onto their plain counterparts.
inline const FormatPairs& AcceptedPairs()
{
    static const FormatPairs pairs = {
        {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {10, 10}, {11, 11}, {12, 12}, {13, 13},
        {3, 10}, {4, 11}, {5, 12}, {7, 12}, {6, 13}, {8, 13}};
    return pairs;
}

inline bool IsAccepted(const FormatPairs& pairs, int df, int sf)
{
    for (auto p : pairs)
        if (p.first == df && p.second == sf) return true;
    return false;
}

// Calls body(dst, src, df, sf, accepted) on fresh 4 x 4 planes for every pair
// of formats; after it, a pair outside `pairs` must have left the destination
// untouched (`what` names the operation in that failure).
template <class Body>
void ForEveryFormatPair(const FormatPairs& pairs, const std::string& what, Body body)
{
    for (int df : AllFormats()) {
        for (int sf : AllFormats()) {
            CFastPlane dst, src;
            ASSERT_EQ(dst.CreateSurface(4, 4, df), 0) << "format " << df << " must be creatable";
            ASSERT_EQ(src.CreateSurface(4, 4, sf), 0) << "format " << sf << " must be creatable";
            const bool accepted = IsAccepted(pairs, df, sf);
            const auto before = Snapshot(dst);
            body(dst, src, df, sf, accepted);
            if (!accepted) {
                EXPECT_EQ(Snapshot(dst), before) << what << df << " <- " << sf << ": a pair without kernel must draw nothing";
            }
        }
    }
}

// The driver of the kernels' reference tests: for each pair, fresh planes of
// the given sizes (dst then src), `rounds` times filled with random pixels,
// then body(dst, src, df, sf, round). A body answering false (its check
// failed and said why) ends the walk.
template <class Body>
void ForRandomRounds(const FormatPairs& pairs, int dstW, int dstH, int srcW, int srcH, int rounds, std::mt19937& rng,
                     Body body)
{
    for (auto [df, sf] : pairs) {
        CFastPlane dst, src;
        ASSERT_EQ(dst.CreateSurface(dstW, dstH, df), 0);
        ASSERT_EQ(src.CreateSurface(srcW, srcH, sf), 0);
        for (int n = 0; n < rounds; ++n) {
            FillRandom(dst, rng);
            FillRandom(src, rng);
            if (!body(dst, src, df, sf, n)) {
                return;
            }
        }
    }
}

}  // namespace rastertest
