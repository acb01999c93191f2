#pragma once
// Saturating per-pixel add and subtract, and the scalers that prepare a
// source for them. Every channel becomes min(d + s, max) or max(d - s, 0);
// no channel carries into or borrows from its neighbour.
//
// The screen formats use branch-free packed forms over a whole pixel (or two
// 16-bit pixels in one little-endian 32-bit word: the lower address in bits
// 0-15); the alpha formats use per-channel forms with a comparison.
//
// Sections: packed 24/32-bit | packed 5-5-5 | packed 5-6-5 | per-channel
// alpha-format forms | scalers.
#include <cstdint>
#include <cstring>

#include "display/BlendTables.h"

namespace raster {

// ---- packed 24/32-bit --------------------------------------------------------

// Per byte 0-2: (d + s) with an overflowing byte forced to 0xFF; byte 3 wraps.
inline uint32_t AddPacked32(uint32_t d, uint32_t s)
{
    // The even partial sum keeps each byte's carry in bit 8 of that byte.
    uint32_t t = ((s ^ d) & 0xFEFEFE) + ((s & d) << 1);
    uint32_t m = (((t >> 8) & 0x10101) + 0x7F7F7F) ^ 0x7F7F7F;
    return (s - m + d) | m;
}

// Per byte 0-2: max(d - s, 0); byte 3 wraps.
inline uint32_t SubPacked32(uint32_t d, uint32_t s)
{
    uint32_t n = ~d;
    uint32_t t = ((n ^ s) & 0xFEFEFE) + ((n & s) << 1);  // (255 - d) + s overflows when s > d
    uint32_t m = (((t >> 8) & 0x10101) + 0x7F7F7F) ^ 0x7F7F7F;
    return (m | d) - (m | s);
}

inline uint32_t Load24(const uint8_t* p) { return p[0] | (p[1] << 8) | (uint32_t(p[2]) << 16); }
inline void Store24(uint8_t* p, uint32_t v)
{
    uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, 2);
    p[2] = static_cast<uint8_t>(v >> 16);
}

// 24-bit: bytes 0-2 of the pixel at d, s the three bytes as a value; the byte
// after the pixel is neither read nor written.
inline void AddSaturate24(uint8_t* d, uint32_t s) { Store24(d, AddPacked32(Load24(d), s & 0xFFFFFF)); }
inline void SubSaturate24(uint8_t* d, uint32_t s) { Store24(d, SubPacked32(Load24(d), s & 0xFFFFFF)); }

// 32-bit: byte 3 becomes (d3 + s3) or (d3 - s3) modulo 256.
inline void AddSaturate32(uint32_t* d, uint32_t s) { *d = AddPacked32(*d, s); }
inline void SubSaturate32(uint32_t* d, uint32_t s) { *d = SubPacked32(*d, s); }

// ---- packed 5-5-5 ------------------------------------------------------------

// Bit 15 of the result: the XOR of the two bits 15.
inline uint16_t AddPacked555(uint32_t d, uint32_t s)
{
    uint32_t t = ((s ^ d) & 0x7BDE) + ((s & d) << 1);
    uint32_t k = (t >> 5) & 0x421;
    uint32_t m = (k + 0x3DEF) ^ 0x3DEF;
    return static_cast<uint16_t>(((s + d) - m) | m);
}

inline uint16_t SubPacked555(uint32_t d, uint32_t s)
{
    uint32_t n = ~d;
    uint32_t t = ((n ^ s) & 0x7BDE) + ((n & s) << 1);
    uint32_t k = (t >> 5) & 0x421;
    uint32_t m = (k + 0x3DEF) ^ 0x3DEF;
    return static_cast<uint16_t>((m | d) - (m | s));
}

// Two pixels. Bit 15 of each half is taken out of the arithmetic and set to
// the XOR of the two bits afterwards, so a set bit 15 in the low source pixel
// cannot carry into (or borrow from) the high pixel: each half equals the
// one-pixel result.
inline uint32_t AddPacked555x2(uint32_t d, uint32_t s)
{
    const uint32_t top = (s ^ d) & 0x80008000u;
    s &= 0x7FFF7FFFu;
    d &= 0x7FFF7FFFu;
    uint32_t t = ((s ^ d) & 0x7BDE7BDEu) + ((s & d) << 1);
    uint32_t k = (t >> 5) & 0x4210421u;
    uint32_t m = (k + 0x3DEF3DEFu) ^ 0x3DEF3DEFu;
    return (((s + d) - m) | m) | top;
}

inline uint32_t SubPacked555x2(uint32_t d, uint32_t s)
{
    const uint32_t top = (s ^ d) & 0x80008000u;
    s &= 0x7FFF7FFFu;
    d &= 0x7FFF7FFFu;
    uint32_t n = ~d & 0x7FFF7FFFu;
    uint32_t t = ((n ^ s) & 0x7BDE7BDEu) + ((n & s) << 1);
    uint32_t k = (t >> 5) & 0x4210421u;
    uint32_t m = (k + 0x3DEF3DEFu) ^ 0x3DEF3DEFu;
    return ((m | d) - (m | s)) | top;
}

inline void AddSaturate555(uint16_t* d, uint16_t s) { *d = AddPacked555(*d, s); }
inline void SubSaturate555(uint16_t* d, uint16_t s) { *d = SubPacked555(*d, s); }
inline void AddSaturate555x2(uint32_t* d, uint32_t s) { *d = AddPacked555x2(*d, s); }
inline void SubSaturate555x2(uint32_t* d, uint32_t s) { *d = SubPacked555x2(*d, s); }

// ---- packed 5-6-5 ------------------------------------------------------------

// Works from the halved sum: the top bit of each channel of t is its overflow.
inline uint16_t AddPacked565(uint32_t d, uint32_t s)
{
    uint32_t t = (((s ^ d) >> 1) & 0x7BEF) + (s & d);
    uint32_t k = t & 0x8410;
    // Red's overflow is the sign bit; the arithmetic shift spreads it over red.
    uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(k + 0x3DF0)) >> 5);
    uint32_t m = ((u & 0xFBFF) + 0x200) ^ 0x3EF;
    return static_cast<uint16_t>(((s + d) - m) | m);
}

inline uint16_t SubPacked565(uint32_t d, uint32_t s)
{
    uint32_t n = ~d & 0xFFFF;
    uint32_t t = (((n ^ s) >> 1) & 0x7BEF) + (n & s);
    uint32_t k = t & 0x8410;
    uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(k + 0x3DF0)) >> 5);
    uint32_t m = ((u & 0xFBFF) + 0x200) ^ 0x3EF;
    return static_cast<uint16_t>((m | d) - (m | s));
}

inline uint32_t AddPacked565x2(uint32_t d, uint32_t s)
{
    uint32_t t = (((s ^ d) >> 1) & 0x7BEF7BEFu) + (s & d);
    uint32_t k = t & 0x84108410u;
    uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(k + 0x3DF7BDF0u) >> 5);
    uint32_t m = ((u & 0xFBFF7BFFu) + 0x2004200u) ^ 0x3EF7BEFu;
    return ((s + d) - m) | m;
}

inline uint32_t SubPacked565x2(uint32_t d, uint32_t s)
{
    uint32_t n = ~d;
    uint32_t t = (((n ^ s) >> 1) & 0x7BEF7BEFu) + (n & s);
    uint32_t k = t & 0x84108410u;
    uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(k + 0x3DF7BDF0u) >> 5);
    uint32_t m = ((u & 0xFBFF7BFFu) + 0x2004200u) ^ 0x3EF7BEFu;
    return (m | d) - (m | s);
}

inline void AddSaturate565(uint16_t* d, uint16_t s) { *d = AddPacked565(*d, s); }
inline void SubSaturate565(uint16_t* d, uint16_t s) { *d = SubPacked565(*d, s); }
inline void AddSaturate565x2(uint32_t* d, uint32_t s) { *d = AddPacked565x2(*d, s); }
inline void SubSaturate565x2(uint32_t* d, uint32_t s) { *d = SubPacked565x2(*d, s); }

// ---- per-channel forms of the alpha formats ----------------------------------

// Colour words of formats 10 / 11 (bytes 2-3 of the pixel are the caller's).
inline uint16_t AddClamp565(uint16_t d, uint16_t s)
{
    int r = ((d >> 8) & 0xF8) + ((s >> 8) & 0xF8);
    int g = ((d >> 3) & 0xFC) + ((s >> 3) & 0xFC);
    int b = ((d << 3) & 0xFF) + ((s << 3) & 0xFF);
    r = r > 0xFF ? 0xFF : r;
    g = g > 0xFF ? 0xFF : g;
    b = b > 0xFF ? 0xFF : b;
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

inline uint16_t SubClamp565(uint16_t d, uint16_t s)
{
    int r = ((d >> 8) & 0xF8) - ((s >> 8) & 0xF8);
    int g = ((d >> 3) & 0xFC) - ((s >> 3) & 0xFC);
    int b = ((d << 3) & 0xFF) - ((s << 3) & 0xFF);
    r = r < 0 ? 0 : r;
    g = g < 0 ? 0 : g;
    b = b < 0 ? 0 : b;
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

// Bit 15 comes out 0.
inline uint16_t AddClamp555(uint16_t d, uint16_t s)
{
    int r = ((d >> 7) & 0xF8) + ((s >> 7) & 0xF8);
    int g = ((d >> 2) & 0xF8) + ((s >> 2) & 0xF8);
    int b = ((d << 3) & 0xFF) + ((s << 3) & 0xFF);
    r = r > 0xFF ? 0xFF : r;
    g = g > 0xFF ? 0xFF : g;
    b = b > 0xFF ? 0xFF : b;
    return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
}

inline uint16_t SubClamp555(uint16_t d, uint16_t s)
{
    int r = ((d >> 7) & 0xF8) - ((s >> 7) & 0xF8);
    int g = ((d >> 2) & 0xF8) - ((s >> 2) & 0xF8);
    int b = ((d << 3) & 0xFF) - ((s << 3) & 0xFF);
    r = r < 0 ? 0 : r;
    g = g < 0 ? 0 : g;
    b = b < 0 ? 0 : b;
    return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
}

// Formats 12 / 13: bytes 0-2 clamped, byte 3 (alpha) := 255.
inline void AddClamp32(uint8_t* d, const uint8_t* s)
{
    for (int i = 0; i < 3; ++i) {
        int v = d[i] + s[i];
        d[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
    d[3] = 255;
}

inline void SubClamp32(uint8_t* d, const uint8_t* s)
{
    for (int i = 0; i < 3; ++i) {
        int v = d[i] - s[i];
        d[i] = static_cast<uint8_t>(v < 0 ? 0 : v);
    }
    d[3] = 255;
}

// ---- scalers -----------------------------------------------------------------

// Bytes 0-2 := gMulTable[f][byte].
inline void ScaleByFactor24(uint8_t* p, int f)
{
    const uint8_t* row = gMulTable[f & 0xFF];
    p[0] = row[p[0]];
    p[1] = row[p[1]];
    p[2] = row[p[2]];
}

// The same, byte 3 := 0.
inline void ScaleByFactor32(uint8_t* p, int f)
{
    ScaleByFactor24(p, f);
    p[3] = 0;
}

// The same, byte 3 := 255.
inline void ScaleByFactor32Opaque(uint8_t* p, int f)
{
    ScaleByFactor24(p, f);
    p[3] = 255;
}

// p scaled at level L (0..15) through the level table; 5-5-5 bit 15 := 0.
inline uint16_t ScaleByLevel565(uint16_t p, int level) { return gLevelTable565[((level & 15) << 16) + p]; }
inline uint16_t ScaleByLevel555(uint16_t p, int level) { return gLevelTable555[((level & 15) << 16) + p]; }

// Each channel widened to 8-bit scale, through gMulTable[f], cut back.
inline uint16_t ScaleWord565ByFactor(uint16_t w, int f)
{
    const uint8_t* row = gMulTable[f & 0xFF];
    int r = row[(w >> 8) & 0xF8], g = row[(w >> 3) & 0xFC], b = row[(w << 3) & 0xFF];
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

inline uint16_t ScaleWord555ByFactor(uint16_t w, int f)
{
    const uint8_t* row = gMulTable[f & 0xFF];
    int r = row[(w >> 7) & 0xF8], g = row[(w >> 2) & 0xF8], b = row[(w << 3) & 0xFF];
    return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
}

}  // namespace raster
