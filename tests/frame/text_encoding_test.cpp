#include "frame/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

// 表 is 0x95 0x5C in Shift-JIS: its trail byte is a backslash.
const std::string kSjisHyou = "\x95\x5C";
const std::string kUtf8Hyou = "\xE8\xA1\xA8";

TEST(TextEncoding, converts_sjis_with_backslash_trail_byte_to_utf8_and_back)
{
    std::string utf8;
    ASSERT_TRUE(SjisToUtf8Strict(kSjisHyou + "\\a", &utf8)) << "valid Shift-JIS rejected";
    EXPECT_EQ(utf8, kUtf8Hyou + "\\a") << "the trail byte 0x5C must belong to the kanji, not be a separator";
    std::string sjis;
    ASSERT_TRUE(Utf8ToSjisStrict(utf8, &sjis)) << "valid UTF-8 rejected";
    EXPECT_EQ(sjis, kSjisHyou + "\\a") << "round trip changed the bytes";
}

TEST(TextEncoding, converts_half_width_kana_as_single_bytes)
{
    // ｱ (half-width katakana A) is the single byte 0xB1, U+FF71.
    EXPECT_EQ(SjisToUtf8("\xB1"), "\xEF\xBD\xB1") << "half-width kana mis-converted";
}

TEST(TextEncoding, strict_conversion_fails_and_leaves_output_on_bad_input)
{
    std::string out = "untouched";
    EXPECT_FALSE(SjisToUtf8Strict("a\x95", &out)) << "a lead byte cut off at the end was accepted";
    EXPECT_FALSE(Utf8ToSjisStrict("\xFF\xFE", &out)) << "invalid UTF-8 was accepted";
    EXPECT_EQ(out, "untouched") << "a failed conversion wrote its output";
}

TEST(TextEncoding, lenient_conversion_replaces_bad_bytes_and_goes_on)
{
    EXPECT_EQ(SjisToUtf8("a\xFD" "b"), "a?b") << "a byte with no character must become ? and the rest convert";
}

TEST(TextEncoding, walks_one_character_at_a_time)
{
    std::string text = "A" + kSjisHyou + "\xB1" + "\x82";  // ASCII, kanji, kana, lone lead byte
    EXPECT_EQ(SjisCharLength(text, 0), 1u) << "ASCII is one byte";
    EXPECT_EQ(SjisCharLength(text, 1), 2u) << "a lead byte takes the next byte";
    EXPECT_EQ(SjisCharLength(text, 3), 1u) << "half-width kana is one byte";
    EXPECT_EQ(SjisCharLength(text, 4), 1u) << "a lead byte at the end must not step past the string";
    EXPECT_EQ(SjisCharLength(text, 5), 0u) << "past the end there is no character";
    EXPECT_TRUE(IsSjisLeadByte(0x81) && IsSjisLeadByte(0x9F) &&
                IsSjisLeadByte(0xE0) && IsSjisLeadByte(0xFC))
        << "lead byte range ends wrong";
    EXPECT_FALSE(IsSjisLeadByte(0x80) || IsSjisLeadByte(0xA0) ||
                 IsSjisLeadByte(0xDF) || IsSjisLeadByte(0xFD))
        << "a non-lead byte taken as lead";
}

}  // namespace
