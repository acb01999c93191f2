// The packed and per-channel saturating primitives against per-channel
// min/max written plainly.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "display/BlendTables.h"
#include "raster/SaturatingArithmetic.h"

using namespace raster;

namespace {

struct Layout {
    int shift[3];
    int bits[3];
};
constexpr Layout k565{{11, 5, 0}, {5, 6, 5}};
constexpr Layout k555{{10, 5, 0}, {5, 5, 5}};

uint32_t RefAdd16(uint32_t d, uint32_t s, const Layout& l, bool sub)
{
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        int mask = (1 << l.bits[c]) - 1;
        int dv = (d >> l.shift[c]) & mask, sv = (s >> l.shift[c]) & mask;
        int v = sub ? std::max(dv - sv, 0) : std::min(dv + sv, mask);
        out |= uint32_t(v) << l.shift[c];
    }
    return out;
}

uint32_t RefBytes(uint32_t d, uint32_t s, bool sub)
{
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        int dv = (d >> (8 * c)) & 0xFF, sv = (s >> (8 * c)) & 0xFF;
        out |= uint32_t(sub ? std::max(dv - sv, 0) : std::min(dv + sv, 255)) << (8 * c);
    }
    return out;
}

TEST(SaturatingArithmetic, packed_16_bit_forms_saturate_each_channel)
{
    std::mt19937 rng(1);
    for (int n = 0; n < 200000; ++n) {
        uint32_t d = rng() & 0xFFFF, s = rng() & 0xFFFF;
        ASSERT_EQ(AddPacked565(d, s), RefAdd16(d, s, k565, false)) << std::hex << d << " + " << s << " in 5-6-5";
        ASSERT_EQ(SubPacked565(d, s), RefAdd16(d, s, k565, true)) << std::hex << d << " - " << s << " in 5-6-5";
        ASSERT_EQ(AddPacked555(d, s) & 0x7FFF, RefAdd16(d, s, k555, false)) << std::hex << d << " + " << s << " in 5-5-5";
        ASSERT_EQ(SubPacked555(d, s) & 0x7FFF, RefAdd16(d, s, k555, true)) << std::hex << d << " - " << s << " in 5-5-5";
        ASSERT_EQ(AddPacked555(d, s) & 0x8000, (d ^ s) & 0x8000) << "5-5-5 add leaves the XOR of the bits 15";
        ASSERT_EQ(SubPacked555(d, s) & 0x8000, (d ^ s) & 0x8000) << "5-5-5 subtract leaves the XOR of the bits 15";
    }
}

TEST(SaturatingArithmetic, two_pixel_forms_equal_the_one_pixel_form_on_each_half)
{
    std::mt19937 rng(2);
    for (int n = 0; n < 200000; ++n) {
        uint32_t d = rng(), s = rng();  // bit 15 of either half may be set
        uint32_t lo, hi;
        lo = AddPacked565x2(d, s);
        ASSERT_EQ(lo & 0xFFFF, AddPacked565(d & 0xFFFF, s & 0xFFFF)) << std::hex << d << " + " << s;
        ASSERT_EQ(lo >> 16, AddPacked565(d >> 16, s >> 16)) << std::hex << d << " + " << s << ": no carry between pixels";
        hi = SubPacked565x2(d, s);
        ASSERT_EQ(hi & 0xFFFF, SubPacked565(d & 0xFFFF, s & 0xFFFF)) << std::hex << d << " - " << s;
        ASSERT_EQ(hi >> 16, SubPacked565(d >> 16, s >> 16)) << std::hex << d << " - " << s << ": no borrow between pixels";
        lo = AddPacked555x2(d, s);
        ASSERT_EQ(lo & 0xFFFF, AddPacked555(d & 0xFFFF, s & 0xFFFF)) << std::hex << d << " + " << s;
        ASSERT_EQ(lo >> 16, AddPacked555(d >> 16, s >> 16))
            << std::hex << d << " + " << s << ": a set bit 15 in the low source pixel must not carry into the high pixel";
        hi = SubPacked555x2(d, s);
        ASSERT_EQ(hi & 0xFFFF, SubPacked555(d & 0xFFFF, s & 0xFFFF)) << std::hex << d << " - " << s;
        ASSERT_EQ(hi >> 16, SubPacked555(d >> 16, s >> 16))
            << std::hex << d << " - " << s << ": a set bit 15 must not borrow from the high pixel";
    }
}

TEST(SaturatingArithmetic, packed_byte_forms_saturate_and_wrap_byte_3)
{
    std::mt19937 rng(3);
    for (int n = 0; n < 200000; ++n) {
        uint32_t d = rng(), s = rng();
        uint32_t v = d;
        AddSaturate32(&v, s);
        ASSERT_EQ(v & 0xFFFFFF, RefBytes(d, s, false)) << std::hex << d << " + " << s;
        ASSERT_EQ(v >> 24, ((d >> 24) + (s >> 24)) & 0xFF) << "byte 3 wraps modulo 256";
        v = d;
        SubSaturate32(&v, s);
        ASSERT_EQ(v & 0xFFFFFF, RefBytes(d, s, true)) << std::hex << d << " - " << s;
        ASSERT_EQ(v >> 24, ((d >> 24) - (s >> 24)) & 0xFF) << "byte 3 wraps modulo 256";
        uint8_t px[4] = {uint8_t(d), uint8_t(d >> 8), uint8_t(d >> 16), 0x77};
        AddSaturate24(px, s);
        ASSERT_EQ(uint32_t(px[0] | px[1] << 8 | px[2] << 16), RefBytes(d, s, false));
        ASSERT_EQ(px[3], 0x77) << "the 24-bit form must not touch the next byte";
    }
}

TEST(SaturatingArithmetic, documented_examples)
{
    EXPECT_EQ(AddPacked565(0x001F, 0x0001), 0x001F) << "blue must not carry into green";
    EXPECT_EQ(AddPacked565(0xF800, 0xF800), 0xF800);
    EXPECT_EQ(AddPacked565(0xFFFF, 0x1234), 0xFFFF);
    EXPECT_EQ(SubPacked565(0x0820, 0x0021), 0x0800) << "blue saturates at 0 without borrowing from green";
    uint8_t px[3] = {0x10, 0xF0, 0x80};
    AddSaturate24(px, 0x80 << 16 | 0x20 << 8 | 0x10);
    EXPECT_EQ(px[0], 0x20);
    EXPECT_EQ(px[1], 0xFF);
    EXPECT_EQ(px[2], 0xFF);
}

TEST(SaturatingArithmetic, per_channel_forms_match_the_packed_colours)
{
    std::mt19937 rng(4);
    for (int n = 0; n < 100000; ++n) {
        uint16_t d = static_cast<uint16_t>(rng()), s = static_cast<uint16_t>(rng());
        ASSERT_EQ(AddClamp565(d, s), AddPacked565(d, s));
        ASSERT_EQ(SubClamp565(d, s), SubPacked565(d, s));
        ASSERT_EQ(AddClamp555(d, s), AddPacked555(d, s) & 0x7FFF) << "the per-channel 5-5-5 form clears bit 15";
        ASSERT_EQ(SubClamp555(d, s), SubPacked555(d, s) & 0x7FFF);
    }
    uint8_t d[4] = {200, 10, 0, 7}, s[4] = {100, 5, 0, 9};
    AddClamp32(d, s);
    EXPECT_EQ(d[0], 255);
    EXPECT_EQ(d[1], 15);
    EXPECT_EQ(d[3], 255) << "formats 12 and 13 come out opaque";
}

TEST(SaturatingArithmetic, scalers_truncate)
{
    BuildBlendTables();
    uint8_t p[4] = {255, 1, 128, 9};
    ScaleByFactor32(p, 128);
    EXPECT_EQ(p[0], 128);
    EXPECT_EQ(p[1], 0) << "1 at factor 128 truncates to 0";
    EXPECT_EQ(p[2], 64);
    EXPECT_EQ(p[3], 0);
    EXPECT_EQ(ScaleByLevel555(0xFFFF, 15), 0x7FFF) << "the 5-5-5 level table clears bit 15";
    for (int f = 0; f < 256; ++f) {
        for (int w = 0; w < 65536; w += 97) {
            int r = ((w >> 8) & 0xF8) * f / 255, g = ((w >> 3) & 0xFC) * f / 255, b = ((w << 3) & 0xF8) * f / 255;
            ASSERT_EQ(ScaleWord565ByFactor(static_cast<uint16_t>(w), f), ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
        }
    }
}

}  // namespace
