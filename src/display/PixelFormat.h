#pragma once
// Pixel-format codes of the display planes and one traits struct per code.
//
// Code  bytes  layout (memory order; bit 0 least significant)
//   2    1     8-bit index, read as R3 G3 B2 (our fixed palette)
//   3    2     5-6-5 word: red 11-15, green 5-10, blue 0-4
//   4    2     5-5-5 word: bit 15 not colour, red 10-14, green 5-9, blue 0-4
//   5    3     B, G, R
//   6    3     R, G, B
//   7    4     B, G, R, X (X not colour)
//   8    4     R, G, B, X
//  10    4     5-6-5 word, alpha level 0..15, unused byte
//  11    4     5-5-5 word, alpha level 0..15, unused byte
//  12    4     B, G, R, alpha 0..255
//  13    4     R, G, B, alpha 0..255
// 1 is a screen format we cannot draw, -1 a plane without surface; 9 is unused.
//
// Each traits struct reads a pixel as a raw value, converts between the raw
// value and 8-bit channels (16-bit channels widen by moving their bits to the
// top of the byte), and tests a raw value against a native colour key.
#include <cstdint>
#include <cstring>

namespace pixfmt {

constexpr int kNone = -1;
constexpr int kUnsupported = 1;
constexpr int k8 = 2;
constexpr int k565 = 3;
constexpr int k555 = 4;
constexpr int kBGR24 = 5;
constexpr int kRGB24 = 6;
constexpr int kBGRX32 = 7;
constexpr int kRGBX32 = 8;
constexpr int k565A4 = 10;
constexpr int k555A4 = 11;
constexpr int kBGRA32 = 12;
constexpr int kRGBA32 = 13;

// Bytes a pixel, 0 for codes that are not formats.
constexpr int BytesPerPixel(int code)
{
    switch (code) {
    case k8: return 1;
    case k565: case k555: return 2;
    case kBGR24: case kRGB24: return 3;
    case kBGRX32: case kRGBX32: case k565A4: case k555A4: case kBGRA32: case kRGBA32: return 4;
    default: return 0;
    }
}

constexpr bool IsFormat(int code) { return BytesPerPixel(code) != 0; }
constexpr bool IsAlphaFormat(int code) { return code >= k565A4 && code <= kRGBA32; }

// The alpha format that goes with a screen format (3->10, 4->11, 5,7->12,
// 6,8->13); the code itself for alpha formats; kNone otherwise.
constexpr int AlphaFormatOf(int code)
{
    switch (code) {
    case k565: return k565A4;
    case k555: return k555A4;
    case kBGR24: case kBGRX32: return kBGRA32;
    case kRGB24: case kRGBX32: return kRGBA32;
    default: return IsAlphaFormat(code) ? code : kNone;
    }
}

// True for a screen destination with its alpha source (3<-10, 4<-11, 5<-12,
// 7<-12, 6<-13, 8<-13).
constexpr bool IsCrossPair(int dst, int src)
{
    return !IsAlphaFormat(dst) && IsFormat(dst) && dst != k8 && AlphaFormatOf(dst) == src;
}

struct Rgb {
    uint8_t r, g, b;
};

inline uint16_t Load16(const uint8_t* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }
inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
inline uint32_t Load32(const uint8_t* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline uint32_t Load24(const uint8_t* p) { return p[0] | (p[1] << 8) | (uint32_t(p[2]) << 16); }
inline void Store24(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
}

// 5-6-5 and 5-5-5 words to and from 8-bit channels.
inline Rgb Unpack565(uint32_t w) { return {uint8_t((w >> 8) & 0xF8), uint8_t((w >> 3) & 0xFC), uint8_t((w << 3) & 0xF8)}; }
inline uint16_t Pack565(int r, int g, int b) { return uint16_t(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3)); }
inline Rgb Unpack555(uint32_t w) { return {uint8_t((w >> 7) & 0xF8), uint8_t((w >> 2) & 0xF8), uint8_t((w << 3) & 0xF8)}; }
inline uint16_t Pack555(int r, int g, int b) { return uint16_t(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | ((b & 0xFF) >> 3)); }

// Traits: kCode, kBytes, kAlpha (0 none, 4 a 4-bit level, 8 an alpha byte),
// Load/Store of the raw value, ToRgb/FromRgb, Alpha8 (0..255 scale),
// WithAlpha (raw value with the alpha set from 0..255), IsKey.
struct Fmt8 {
    static constexpr int kCode = k8, kBytes = 1, kAlpha = 0;
    static uint32_t Load(const uint8_t* p) { return p[0]; }
    static void Store(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); }
    static Rgb ToRgb(uint32_t v) { return {uint8_t(v & 0xE0), uint8_t((v << 3) & 0xE0), uint8_t((v << 6) & 0xC0)}; }
    static uint32_t FromRgb(Rgb c) { return (c.r & 0xE0) | ((c.g & 0xE0) >> 3) | (c.b >> 6); }
    static bool IsKey(uint32_t v, uint32_t key) { return v == (key & 0xFF); }
};

struct Fmt565 {
    static constexpr int kCode = k565, kBytes = 2, kAlpha = 0;
    static uint32_t Load(const uint8_t* p) { return Load16(p); }
    static void Store(uint8_t* p, uint32_t v) { Store16(p, uint16_t(v)); }
    static Rgb ToRgb(uint32_t v) { return Unpack565(v); }
    static uint32_t FromRgb(Rgb c) { return Pack565(c.r, c.g, c.b); }
    static bool IsKey(uint32_t v, uint32_t key) { return v == (key & 0xFFFF); }
};

struct Fmt555 {
    static constexpr int kCode = k555, kBytes = 2, kAlpha = 0;
    static uint32_t Load(const uint8_t* p) { return Load16(p); }
    static void Store(uint8_t* p, uint32_t v) { Store16(p, uint16_t(v)); }
    static Rgb ToRgb(uint32_t v) { return Unpack555(v); }
    static uint32_t FromRgb(Rgb c) { return Pack555(c.r, c.g, c.b); }
    static bool IsKey(uint32_t v, uint32_t key) { return v == (key & 0xFFFF); }
};

// 24- and 32-bit formats; kRed is the byte index of red (0 or 2).
template <int Code, int Bytes, int RedByte, int AlphaBits>
struct FmtBytes {
    static constexpr int kCode = Code, kBytes = Bytes, kAlpha = AlphaBits, kRed = RedByte;
    static uint32_t Load(const uint8_t* p)
    {
        if constexpr (Bytes == 3) return Load24(p);
        else return Load32(p);
    }
    static void Store(uint8_t* p, uint32_t v)
    {
        if constexpr (Bytes == 3) Store24(p, v);
        else Store32(p, v);
    }
    static Rgb ToRgb(uint32_t v)
    {
        uint8_t b0 = uint8_t(v), b1 = uint8_t(v >> 8), b2 = uint8_t(v >> 16);
        return RedByte == 0 ? Rgb{b0, b1, b2} : Rgb{b2, b1, b0};
    }
    // The fourth byte comes out 0 (screen formats) or 255 (alpha formats).
    static uint32_t FromRgb(Rgb c)
    {
        uint32_t v = RedByte == 0 ? (c.r | (c.g << 8) | (uint32_t(c.b) << 16))
                                  : (c.b | (c.g << 8) | (uint32_t(c.r) << 16));
        if constexpr (AlphaBits == 8) v |= 0xFF000000u;
        return v;
    }
    // 24-bit and alpha formats compare the colour bytes; 7 and 8 the whole
    // pixel, so a pixel with a non-zero fourth byte is never keyed.
    static bool IsKey(uint32_t v, uint32_t key)
    {
        if constexpr (Bytes == 3 || AlphaBits == 8) return (v & 0xFFFFFF) == (key & 0xFFFFFF);
        else return v == key;
    }
};

using FmtBGR24 = FmtBytes<kBGR24, 3, 2, 0>;
using FmtRGB24 = FmtBytes<kRGB24, 3, 0, 0>;
using FmtBGRX32 = FmtBytes<kBGRX32, 4, 2, 0>;
using FmtRGBX32 = FmtBytes<kRGBX32, 4, 0, 0>;
using FmtBGRA32 = FmtBytes<kBGRA32, 4, 2, 8>;
using FmtRGBA32 = FmtBytes<kRGBA32, 4, 0, 8>;

// 16-bit colour word with a 4-bit alpha level in byte 2.
template <int Code, class Word>
struct FmtWordA4 {
    static constexpr int kCode = Code, kBytes = 4, kAlpha = 4;
    static uint32_t Load(const uint8_t* p) { return Load32(p); }
    static void Store(uint8_t* p, uint32_t v) { Store32(p, v); }
    static Rgb ToRgb(uint32_t v) { return Word::ToRgb(v & 0xFFFF); }
    // Opaque: level 15.
    static uint32_t FromRgb(Rgb c) { return Word::FromRgb(c) | (15u << 16); }
    static bool IsKey(uint32_t v, uint32_t key) { return (v & 0xFFFF) == (key & 0xFFFF); }
};

using Fmt565A4 = FmtWordA4<k565A4, Fmt565>;
using Fmt555A4 = FmtWordA4<k555A4, Fmt555>;

// Calls f(Traits{}) for the traits of code; returns false for codes that are
// not formats. Used to choose a kernel once per call.
template <class F>
constexpr bool VisitFormat(int code, F&& f)
{
    switch (code) {
    case k8: f(Fmt8{}); return true;
    case k565: f(Fmt565{}); return true;
    case k555: f(Fmt555{}); return true;
    case kBGR24: f(FmtBGR24{}); return true;
    case kRGB24: f(FmtRGB24{}); return true;
    case kBGRX32: f(FmtBGRX32{}); return true;
    case kRGBX32: f(FmtRGBX32{}); return true;
    case k565A4: f(Fmt565A4{}); return true;
    case k555A4: f(Fmt555A4{}); return true;
    case kBGRA32: f(FmtBGRA32{}); return true;
    case kRGBA32: f(FmtRGBA32{}); return true;
    default: return false;
    }
}

}  // namespace pixfmt
