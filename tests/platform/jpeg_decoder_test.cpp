// platform::JpegDecoder against libjpeg-turbo's own command-line decoder:
// pictures made here are encoded by cjpeg (4:2:0 and 4:4:4) and decoded by
// djpeg, and every pixel the decoder gives must be djpeg's exactly, with the
// fourth byte 0. The widths put rows both on and off 16-byte boundaries and
// leave a tail shorter than four pixels; a wider pitch must leave the bytes
// past each row alone.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/JpegDecoder.h"

namespace {

struct Ppm {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A binary PPM as djpeg writes it ("P6 w h 255" and one whitespace byte).
Ppm ReadPpm(const std::string& path)
{
    Ppm ppm;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> ppm.width >> ppm.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || ppm.width <= 0 || ppm.height <= 0)
        return Ppm{};
    ppm.rgb.resize(static_cast<size_t>(ppm.width) * ppm.height * 3);
    in.read(reinterpret_cast<char*>(ppm.rgb.data()), static_cast<std::streamsize>(ppm.rgb.size()));
    return in ? ppm : Ppm{};
}

void WritePpm(const std::string& path, int width, int height)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    uint32_t seed = 99;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>((seed >> 16) % 40);
            out.put(static_cast<char>((x * 7 + grain) & 255));
            out.put(static_cast<char>((y * 9 + grain / 2) & 255));
            out.put(static_cast<char>(((x + y) * 5 + 128) & 255));
        }
    }
}

class JpegDecoderVsDjpeg : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lantern-jpeg-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Encodes a width x height picture with cjpeg at the sampling ("2x2":
    // 4:2:0, "1x1": 4:4:4) and decodes it with djpeg; the JPEG's bytes and
    // djpeg's picture.
    void Make(int width, int height, const std::string& sampling, std::vector<uint8_t>* jpeg, Ppm* reference)
    {
        const std::string source = dir_ + "/source.ppm", file = dir_ + "/picture.jpg", back = dir_ + "/back.ppm";
        WritePpm(source, width, height);
        const std::string encode = "cjpeg -quality 90 -sample " + sampling + " -outfile " + file + " " + source;
        const std::string decode = "djpeg -ppm -outfile " + back + " " + file;
        ASSERT_EQ(std::system(encode.c_str()), 0) << "cjpeg (libjpeg-turbo-progs, scripts/deps) must run";
        ASSERT_EQ(std::system(decode.c_str()), 0) << "djpeg (libjpeg-turbo-progs, scripts/deps) must run";
        *jpeg = ReadBytes(file);
        *reference = ReadPpm(back);
        ASSERT_EQ(reference->width, width);
        ASSERT_EQ(reference->height, height);
    }

    // Decodes with rows pitch bytes apart (the bytes between rows hold a
    // pattern) and checks every pixel against djpeg's and the pattern kept.
    void ExpectSameAsDjpeg(const std::vector<uint8_t>& jpeg, const Ppm& reference, int pitch)
    {
        platform::JpegDecoder decoder;
        ASSERT_TRUE(decoder.Open(jpeg.data(), jpeg.size()));
        ASSERT_EQ(decoder.Width(), reference.width);
        ASSERT_EQ(decoder.Height(), reference.height);
        // 16 spare bytes: the picture's first row starts on a 16-byte boundary.
        std::vector<uint8_t> memory(static_cast<size_t>(pitch) * reference.height + 16, 0xA5);
        uint8_t* pixels = memory.data() + (16 - reinterpret_cast<uintptr_t>(memory.data()) % 16) % 16;
        ASSERT_TRUE(decoder.Decode(reinterpret_cast<uint32_t*>(pixels), pitch));
        for (int y = 0; y < reference.height; ++y) {
            const uint8_t* row = pixels + static_cast<size_t>(y) * pitch;
            for (int x = 0; x < reference.width; ++x) {
                const uint8_t* want = &reference.rgb[(static_cast<size_t>(y) * reference.width + x) * 3];
                ASSERT_TRUE(row[4 * x] == want[2] && row[4 * x + 1] == want[1] && row[4 * x + 2] == want[0] &&
                            row[4 * x + 3] == 0)
                    << "pixel (" << x << ", " << y << ") at pitch " << pitch << " is B " << int(row[4 * x]) << " G "
                    << int(row[4 * x + 1]) << " R " << int(row[4 * x + 2]) << " X " << int(row[4 * x + 3])
                    << ", djpeg gives R " << int(want[0]) << " G " << int(want[1]) << " B " << int(want[2]);
            }
            for (int b = reference.width * 4; b < pitch; ++b)
                ASSERT_EQ(row[b], 0xA5) << "byte " << b << " past row " << y << " was written";
        }
    }

    std::string dir_;
};

TEST_F(JpegDecoderVsDjpeg, every_pixel_is_djpegs_with_the_fourth_byte_0)
{
    // 64: every row on a boundary; 37 (148 bytes): rows alternate on and off
    // it and end in a tail of one pixel; 3: a picture narrower than one group.
    for (int width : {64, 37, 3}) {
        for (const char* sampling : {"2x2", "1x1"}) {
            SCOPED_TRACE(std::to_string(width) + " wide, sampling " + sampling);
            std::vector<uint8_t> jpeg;
            Ppm reference;
            ASSERT_NO_FATAL_FAILURE(Make(width, 29, sampling, &jpeg, &reference));
            ASSERT_NO_FATAL_FAILURE(ExpectSameAsDjpeg(jpeg, reference, width * 4));
            ASSERT_NO_FATAL_FAILURE(ExpectSameAsDjpeg(jpeg, reference, width * 4 + 12));
        }
    }
}

}  // namespace
