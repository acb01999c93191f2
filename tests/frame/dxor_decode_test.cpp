#include "frame/DxorDecode.h"

#include <gtest/gtest.h>

#include "frame/NmmPacker.h"

namespace {

TEST(DxorDecode, decodes_literals_and_runs_against_the_byte_four_back)
{
    // Literal of 4 (c=3) against zeros, a run of 7 (c=0x80+5), a literal of 1
    // whose delta 1 turns the predictor 4 into 5.
    std::vector<uint8_t> stream = {0x03, 1, 2, 3, 4, 0x85, 0x00, 0x01};
    std::vector<uint8_t> out(12);
    ASSERT_EQ(DxorDecode().Decode(stream.data(), stream.size(), out.data(), out.size()), DxorDecode::kOk);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 5}))
        << "literal deltas or runs decoded wrong";
}

TEST(DxorDecode, fails_on_runs_past_the_end_and_short_input)
{
    std::vector<uint8_t> out(4, 0xEE);
    std::vector<uint8_t> overrun = {0x84};  // a run of 6 into 4 bytes
    EXPECT_EQ(DxorDecode().Decode(overrun.data(), overrun.size(), out.data(), out.size()), DxorDecode::kOverrun)
        << "a run longer than the output was accepted";
    EXPECT_EQ(out, (std::vector<uint8_t>(4, 0xEE))) << "an overrunning run wrote bytes";
    std::vector<uint8_t> shortLiteral = {0x03, 1, 2};
    EXPECT_EQ(DxorDecode().Decode(shortLiteral.data(), shortLiteral.size(), out.data(), out.size()),
              DxorDecode::kInputExhausted)
        << "a literal cut short was accepted";
    EXPECT_EQ(DxorDecode().Decode(nullptr, 0, out.data(), 0), DxorDecode::kEmptyOutput) << "output size 0";
}

TEST(DxorDecode, round_trips_what_the_packer_encodes)
{
    std::vector<uint8_t> data;
    for (int i = 0; i < 5000; ++i) {
        // 32-bit "pixels": flat stretches, gradients and odd bytes.
        data.push_back(static_cast<uint8_t>(i < 2000 ? 0x40 : (i * 7) >> 3));
    }
    data[3333] = 0xAB;
    std::vector<uint8_t> packed = DxorEncode(data.data(), data.size());
    std::vector<uint8_t> out(data.size());
    ASSERT_EQ(DxorDecode().Decode(packed.data(), packed.size(), out.data(), out.size()), DxorDecode::kOk);
    EXPECT_EQ(out, data) << "encoder and decoder disagree";
}

}  // namespace
