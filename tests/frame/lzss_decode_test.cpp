#include "frame/LzssDecode.h"

#include <gtest/gtest.h>

#include <random>

#include "frame/NmmPacker.h"

namespace {

// A reference: b0 | ((b1 & 0xF0) << 4) is the ring offset, low nibble + 3 the length.
std::vector<uint8_t> Ref(unsigned offset, unsigned length)
{
    return {static_cast<uint8_t>(offset & 0xFF), static_cast<uint8_t>(((offset >> 4) & 0xF0) | (length - 3))};
}

std::string Decode(const std::vector<uint8_t>& stream, size_t outputSize, int* rc)
{
    std::string out(outputSize, '#');
    uint8_t* target = reinterpret_cast<uint8_t*>(out.data());
    *rc = LzssDecode().Decode(stream.data(), stream.size(), &target, outputSize, false);
    return out;
}

TEST(LzssDecode, decodes_literals_and_overlapping_references)
{
    // Flags 0x17 = literal, literal, literal, reference, literal (least significant first).
    std::vector<uint8_t> stream = {0x17, 'A', 'B', 'C'};
    auto ref = Ref(4078, 6);  // the first output byte sits at ring position 4078
    stream.insert(stream.end(), ref.begin(), ref.end());
    stream.push_back('X');
    int rc;
    EXPECT_EQ(Decode(stream, 10, &rc), "ABCABCABCX") << "a reference overlapping its own output must repeat it";
    EXPECT_EQ(rc, LzssDecode::kOk);
}

TEST(LzssDecode, the_ring_starts_cleared)
{
    std::vector<uint8_t> stream = {0x01, 'a'};  // literal, then a reference
    auto ref = Ref(0, 5);
    stream.insert(stream.end(), ref.begin(), ref.end());
    int rc;
    EXPECT_EQ(Decode(stream, 6, &rc), std::string("a\0\0\0\0\0", 6)) << "ring positions never written must read as 0";
    EXPECT_EQ(rc, LzssDecode::kOk);
}

TEST(LzssDecode, references_wrap_around_the_ring)
{
    // Output byte i sits at ring position (4078 + i) % 4096, so bytes 16..19
    // ("qrst") are at 4094, 4095, 0 and 1; a reference at 4094 of length 4
    // must read across the wrap.
    std::vector<uint8_t> stream = {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h',
                                   0xFF, 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p',
                                   0x0F, 'q', 'r', 's', 't'};
    auto ref = Ref(4094, 4);
    stream.insert(stream.end(), ref.begin(), ref.end());
    int rc;
    EXPECT_EQ(Decode(stream, 24, &rc), "abcdefghijklmnopqrstqrst") << "ring offsets must wrap modulo 4096";
    EXPECT_EQ(rc, LzssDecode::kOk);
}

TEST(LzssDecode, stops_at_the_output_size_inside_a_reference)
{
    std::vector<uint8_t> stream = {0x07, 'A', 'B', 'C'};
    auto ref = Ref(4078, 18);
    stream.insert(stream.end(), ref.begin(), ref.end());
    int rc;
    std::string out = Decode(stream, 5, &rc);
    EXPECT_EQ(rc, LzssDecode::kOk) << "a reference longer than the room left must be cut, not fail";
    EXPECT_EQ(out, "ABCAB") << "bytes written past the output size";
}

TEST(LzssDecode, fails_when_the_input_runs_out)
{
    std::vector<uint8_t> stream = {0xFF, 'a', 'b'};
    int rc;
    std::string out = Decode(stream, 10, &rc);
    EXPECT_EQ(rc, LzssDecode::kInputExhausted) << "a stream too short for its output reported success";
    std::vector<uint8_t> halfReference = {0x00, 0x12};
    Decode(halfReference, 3, &rc);
    EXPECT_EQ(rc, LzssDecode::kInputExhausted) << "a reference cut after its first byte was accepted";
    Decode({}, 1, &rc);
    EXPECT_EQ(rc, LzssDecode::kInputExhausted) << "an empty stream was accepted";
}

TEST(LzssDecode, output_size_zero_is_a_failure)
{
    int rc;
    Decode({0xFF, 'a'}, 0, &rc);
    EXPECT_EQ(rc, LzssDecode::kEmptyOutput) << "output size 0 must give 1";
}

TEST(LzssDecode, allocates_the_output_only_on_success)
{
    std::vector<uint8_t> stream = {0x03, 'h', 'i'};
    uint8_t* out = nullptr;
    LzssDecode decoder;
    ASSERT_EQ(decoder.Decode(stream.data(), stream.size(), &out, 2, true), LzssDecode::kOk);
    ASSERT_NE(out, nullptr) << "no output allocated";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 2), "hi");
    delete[] out;
    uint8_t sentinel = 0;
    uint8_t* kept = &sentinel;
    EXPECT_EQ(decoder.Decode(stream.data(), stream.size(), &kept, 50, true), LzssDecode::kInputExhausted);
    EXPECT_EQ(kept, &sentinel) << "a failed decode replaced the caller's pointer (and leaked the array)";
}

TEST(LzssDecode, round_trips_what_the_packer_encodes)
{
    std::mt19937 random(7);
    std::vector<uint8_t> data;
    // Repeats near and far (beyond the 4 KiB ring), and noise.
    for (int block = 0; block < 40; ++block) {
        int kind = block % 4;
        for (int i = 0; i < 700; ++i) {
            if (kind == 0) {
                data.push_back(static_cast<uint8_t>(random()));
            } else if (kind == 1) {
                data.push_back(static_cast<uint8_t>(i % 5));
            } else {
                size_t back = (kind == 2 && data.size() >= 3000) ? 3000 : 17;
                uint8_t earlier = data[data.size() - back];
                data.push_back(earlier);
            }
        }
    }
    std::vector<uint8_t> packed = LzssEncode(data.data(), data.size());
    std::vector<uint8_t> out(data.size());
    uint8_t* target = out.data();
    ASSERT_EQ(LzssDecode().Decode(packed.data(), packed.size(), &target, out.size(), false), LzssDecode::kOk);
    EXPECT_EQ(out, data) << "encoder and decoder disagree";
    EXPECT_LT(packed.size(), data.size() * 2 / 3) << "the encoder found too few matches";
}

}  // namespace
