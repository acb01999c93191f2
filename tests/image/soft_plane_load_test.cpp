// Loading pictures into a software plane: every reader on the files that
// make_images.py made (compared with the pixels it computed), scaling, the
// general path for JPEG, and truncated, corrupted and hostile files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ImageTestFiles.h"
#include "image/SoftPlane.h"

namespace {

std::vector<uint32_t> PlanePixels(CSoftPlane& p)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    const uint32_t* px = p.GetImpl()->GetPixels();
    return px ? std::vector<uint32_t>(px, px + w * h) : std::vector<uint32_t>{};
}

class TempDir {
public:
    TempDir()
    {
        path_ = std::filesystem::temp_directory_path() /
                ("lantern_image_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& data)
    {
        std::string p = (path_ / name).string();
        WriteBytes(p, data);
        return p;
    }

private:
    std::filesystem::path path_;
};

const char* kGoodFiles[] = {
    "rgb24.bmp", "rgb24_topdown.bmp", "rgba32.bmp", "rgb555.bmp", "pal1.bmp", "pal4.bmp", "pal8.bmp",
    "pal8_short_table.bmp", "rle8.bmp", "grey1.png", "grey2.png", "grey4.png", "grey8.png", "grey16.png",
    "grey2_trns.png", "rgb8.png", "rgb16.png", "rgb8_trns.png", "pal1.png", "pal2.png", "pal4.png", "pal8.png",
    "pal4_trns.png", "greyalpha8.png", "greyalpha16.png", "rgba8.png", "rgba16.png", "stored.bma", "lzss.bma",
};

bool EndsWith(const std::string& s, const char* tail)
{
    return s.size() >= std::strlen(tail) && s.compare(s.size() - std::strlen(tail), std::string::npos, tail) == 0;
}

}  // namespace

TEST(SoftPlaneLoad, every_test_picture_loads_with_the_expected_pixels)
{
    for (const char* name : kGoodFiles) {
        CSoftPlane plane;
        ASSERT_EQ(plane.LoadFile(ImageDataPath(name)), 0) << name << " must load";
        int w = 0, h = 0;
        plane.GetSize(&w, &h);
        EXPECT_EQ(w, 13) << name;
        EXPECT_EQ(h, 7) << name;
        EXPECT_TRUE(plane.IsCreated()) << name;
        EXPECT_TRUE(plane.GetImpl()->GetLoadedFlag()) << name;
        std::vector<uint32_t> expected = ExpectedPixels(name);
        std::vector<uint32_t> got = PlanePixels(plane);
        ASSERT_EQ(got.size(), expected.size()) << name;
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i], expected[i]) << name << ": pixel (" << i % 13 << ", " << i / 13
                                           << ") differs from the generator's value; the reader decodes wrongly";
        }
        std::string n = name;
        EXPECT_EQ(plane.HasAlpha(), !EndsWith(n, ".bmp")) << name << ": png and bma carry alpha, bmp does not";
        EXPECT_EQ(plane.GetImpl()->GetColorKey(), expected[0] & 0xFFFFFF) << name << ": key from pixel (0, 0)";
    }
}

TEST(SoftPlaneLoad, extension_is_matched_without_case_and_scale_resizes)
{
    TempDir dir;
    std::string upper = dir.Write("PICTURE.PNG", ReadBytes(ImageDataPath("rgb8.png")));
    CSoftPlane plane;
    EXPECT_EQ(plane.LoadFile(upper), 0) << "an upper-case PNG extension is still a png";
    EXPECT_TRUE(plane.HasAlpha());

    ASSERT_EQ(plane.LoadFile(ImageDataPath("big640.png"), 0, 50.0), 0);
    int w = 0, h = 0;
    plane.GetSize(&w, &h);
    EXPECT_EQ(w, 320) << "640 x 480 at 50 % is 320 x 240";
    EXPECT_EQ(h, 240);
    EXPECT_EQ(plane.GetImpl()->GetPixel(100, 100), 0xFF0A141Eu) << "a flat picture stays flat when scaled";

    // A 1-pixel picture at 78.125 % would truncate to 0: it stays 1 x 1.
    std::vector<uint8_t> tiny = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 1, 2, 3, 0};
    std::string tinyPath = dir.Write("tiny.bmp", tiny);
    ASSERT_EQ(plane.LoadFile(tinyPath, 0, 78.125), 0) << "scaling a 1-pixel picture must not fail or divide by 0";
    plane.GetSize(&w, &h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(plane.GetImpl()->GetPixel(0, 0), 0xFF030201u);
    EXPECT_NE(plane.LoadFile(tinyPath, 0, 1e9), 0) << "a scale beyond the size caps is refused";
}

TEST(SoftPlaneLoad, bma_is_copied_byte_for_byte)
{
    std::vector<uint8_t> file = ReadBytes(ImageDataPath("stored.bma"));
    CSoftPlane plane;
    ASSERT_EQ(plane.LoadFile(ImageDataPath("stored.bma")), 0);
    ASSERT_EQ(std::memcmp(plane.GetImpl()->GetPixels(), file.data() + 24, 13 * 7 * 4), 0)
        << "stored pixels must be copied as they are";
    EXPECT_TRUE(plane.HasAlpha());
}

TEST(SoftPlaneLoad, jpeg_goes_through_the_general_decoder_on_both_paths)
{
    std::vector<uint8_t> ppm = ReadBytes(ImageDataPath("smooth.ppm"));
    const size_t header = 13;  // "P6\n64 48\n255\n"
    ASSERT_EQ(ppm.size(), header + 64 * 48 * 3);
    for (const char* name : {"baseline.jpg", "progressive.jpg"}) {
        for (bool dib : {true, false}) {
            CSoftPlane plane;
            plane.GetImpl()->SetUseDIBSection(dib);
            ASSERT_EQ(plane.LoadFile(ImageDataPath(name)), 0) << name;
            EXPECT_TRUE(plane.IsCreated()) << name << ": a decoded JPEG must not look like a missing picture";
            EXPECT_TRUE(plane.GetImpl()->GetLoadedFlag()) << name;
            EXPECT_FALSE(plane.HasAlpha()) << name;
            int w = 0, h = 0;
            plane.GetSize(&w, &h);
            ASSERT_EQ(w, 64);
            ASSERT_EQ(h, 48);
            // Against the picture the JPEG was made from: at quality 92 a
            // smooth picture must come back above 35 dB PSNR.
            double squared = 0;
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 64; ++x) {
                    uint32_t p = plane.GetImpl()->GetPixel(x, y);
                    ASSERT_EQ(p >> 24, 0u) << "the general path clears the alpha bytes";
                    const uint8_t* ref = ppm.data() + header + (y * 64 + x) * 3;
                    int dr = int((p >> 16) & 255) - ref[0], dg = int((p >> 8) & 255) - ref[1], db = int(p & 255) - ref[2];
                    squared += dr * dr + dg * dg + db * db;
                }
            }
            double mse = squared / (64.0 * 48 * 3);
            double psnr = mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
            EXPECT_GT(psnr, 35.0) << name << (dib ? " (decoder path)" : " (DIB section path)")
                                  << ": decoded pixels are too far from the source picture";
        }
    }
}

TEST(SoftPlaneLoad, grey_jpeg_fills_all_three_channels)
{
    CSoftPlane plane;
    plane.GetImpl()->SetUseDIBSection(true);
    ASSERT_EQ(plane.LoadFile(ImageDataPath("grey.jpg")), 0) << "a one-component JPEG must load";
    int w = 0, h = 0;
    plane.GetSize(&w, &h);
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 48);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = plane.GetImpl()->GetPixel(x, y);
            ASSERT_TRUE((p & 255) == ((p >> 8) & 255) && (p & 255) == ((p >> 16) & 255))
                << "grey pixel (" << x << ", " << y << ") must have three equal channels";
        }
    EXPECT_GT(plane.GetImpl()->GetPixel(63, 47) & 255, plane.GetImpl()->GetPixel(0, 0) & 255)
        << "the source grows brighter to the bottom right";
}

TEST(SoftPlaneLoad, cmyk_jpeg_fails_as_not_a_picture_on_both_paths)
{
    for (bool dib : {true, false}) {
        CSoftPlane plane;
        plane.GetImpl()->SetUseDIBSection(dib);
        EXPECT_EQ(plane.LoadFile(ImageDataPath("cmyk.jpg")), 1)
            << (dib ? "decoder path" : "DIB section path")
            << ": a CMYK JPEG must be refused when opened (1), not accepted and then fail to decode";
        EXPECT_FALSE(plane.IsCreated());
    }
}

TEST(SoftPlaneLoad, missing_and_unknown_files_fail_and_leave_the_plane_empty)
{
    CSoftPlane plane;
    ASSERT_EQ(plane.Create(4, 4), 0);
    EXPECT_EQ(plane.LoadFile(ImageDataPath("no_such_file.png")), 1);
    EXPECT_FALSE(plane.IsCreated()) << "a failed load releases the plane";
    EXPECT_EQ(plane.LoadFile(ImageDataPath("no_such_file.bma")), 1);
    EXPECT_NE(plane.LoadFile(ImageDataPath("make_images.py")), 0) << "a script is no picture";
    EXPECT_FALSE(plane.IsCreated());
    plane.GetImpl()->SetUseDIBSection(true);
    EXPECT_EQ(plane.LoadFile(ImageDataPath("make_images.py")), 1) << "no decoder accepts a script";
}

// Every good file cut short at several lengths must fail cleanly (and never
// read past its end, which ASan would catch); byte flips may decode or fail,
// but never crash, and a failure leaves the plane empty.
TEST(SoftPlaneLoad, truncated_and_corrupted_files_fail_cleanly)
{
    TempDir dir;
    std::mt19937 rng(77);
    std::vector<std::string> names(std::begin(kGoodFiles), std::end(kGoodFiles));
    names.push_back("baseline.jpg");
    names.push_back("progressive.jpg");
    names.push_back("grey.jpg");
    for (const std::string& name : names) {
        std::vector<uint8_t> good = ReadBytes(ImageDataPath(name));
        std::string ext = name.substr(name.rfind('.'));
        std::vector<size_t> cuts = {0, 1, 2, 10, 23, 30, 53, good.size() / 2, good.size() - 1};
        for (size_t cut : cuts) {
            if (cut >= good.size()) continue;
            std::vector<uint8_t> bad(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
            std::string path = dir.Write("cut" + ext, bad);
            for (bool dib : {true, false}) {
                CSoftPlane plane;
                plane.GetImpl()->SetUseDIBSection(dib);
                EXPECT_NE(plane.LoadFile(path), 0) << name << " cut to " << cut << " bytes must fail";
                EXPECT_FALSE(plane.IsCreated()) << name << " cut to " << cut;
            }
        }
        for (int n = 0; n < 40; ++n) {
            std::vector<uint8_t> bad = good;
            for (int k = 0; k < 3; ++k) bad[rng() % bad.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
            std::string path = dir.Write("flip" + ext, bad);
            CSoftPlane plane;
            plane.GetImpl()->SetUseDIBSection(n % 2 == 0);
            int result = plane.LoadFile(path);
            if (result != 0) {
                EXPECT_FALSE(plane.IsCreated()) << name << ": a failed load must leave the plane empty";
            }
        }
    }
}

// How far the process's peak resident memory rose while `load` ran (the
// kernel's peak is first reset to the current size), in MiB.
template <class F>
long PeakGrowthMiB(F load)
{
    auto peakKiB = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmHWM:", 0) == 0)
                return std::stol(line.substr(6));
        }
        return 0L;
    };
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = peakKiB();
    load();
    return (peakKiB() - before) / 1024;
}

std::vector<uint8_t> BmaHeader(uint32_t width, uint32_t height, uint32_t compressed, uint32_t stated)
{
    std::vector<uint8_t> b(24, 0);
    const uint32_t fields[] = {0, width, height, compressed, stated, 0};
    for (size_t f = 0; f < 6; ++f)
        for (int i = 0; i < 4; ++i) b[4 * f + i] = static_cast<uint8_t>(fields[f] >> (8 * i));
    return b;
}

TEST(SoftPlaneLoad, forged_sizes_are_refused_before_the_picture_takes_memory)
{
    TempDir dir;
    CSoftPlane plane;
    // Stored: 8192 x 4096 pixels (128 MiB) stated as 16 bytes, with 16 bytes.
    std::vector<uint8_t> stored = BmaHeader(8192, 4096, 0, 16);
    stored.resize(stored.size() + 16, 0x55);
    // LZSS: 4096 x 4096 pixels (64 MiB) from 100 bytes, which expand to 864 at most.
    std::vector<uint8_t> packed = BmaHeader(4096, 4096, 1, 1000);
    packed.resize(packed.size() + 100, 0x00);
    // BMP: 8000 x 4000 at 24 bits (96 MiB) with 100 bytes of pixels.
    std::vector<uint8_t> bmp = ReadBytes(ImageDataPath("rgb24.bmp"));
    bmp.resize(54 + 100);
    for (int i = 0; i < 4; ++i) {
        bmp[18 + i] = static_cast<uint8_t>(8000 >> (8 * i));
        bmp[22 + i] = static_cast<uint8_t>(4000 >> (8 * i));
    }
    const struct {
        const char* name;
        const std::vector<uint8_t>& bytes;
        int code;
    } cases[] = {{"stored.bma", stored, 3}, {"packed.bma", packed, 3}, {"huge.bmp", bmp, 1}};
    for (const auto& c : cases) {
        const std::string path = dir.Write(c.name, c.bytes);
        int code = -1;
        EXPECT_LT(PeakGrowthMiB([&] { code = plane.LoadFile(path); }), 16)
            << c.name << ": a header the data cannot fill must be refused before allocating";
        EXPECT_EQ(code, c.code) << c.name;
        EXPECT_FALSE(plane.IsCreated()) << c.name;
    }
}

TEST(SoftPlaneLoad, lzss_bma_at_the_largest_possible_expansion_still_loads)
{
    // Groups of a flag byte and eight references of 18 bytes each (offset 0,
    // length nibble 15) into the zeroed ring: 144 bytes out for 17 in.
    constexpr int kGroups = 50;
    std::vector<uint8_t> file = BmaHeader(36, kGroups, 1, 144 * kGroups);
    for (int g = 0; g < kGroups; ++g) {
        file.push_back(0x00);
        for (int r = 0; r < 8; ++r) {
            file.push_back(0x00);
            file.push_back(0x0F);
        }
    }
    TempDir dir;
    CSoftPlane plane;
    ASSERT_EQ(plane.LoadFile(dir.Write("dense.bma", file)), 0)
        << "a file that really expands this far must not be taken for a forged one";
    int w = 0, h = 0;
    plane.GetSize(&w, &h);
    EXPECT_EQ(w * h * 4, 144 * kGroups);
}

TEST(SoftPlaneLoad, hostile_headers_fail_with_their_codes)
{
    TempDir dir;
    auto put32 = [](std::vector<uint8_t>& v, size_t at, uint32_t x) {
        for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
    };
    CSoftPlane plane;

    std::vector<uint8_t> bma = ReadBytes(ImageDataPath("stored.bma"));
    std::vector<uint8_t> b = bma;
    b.resize(20);
    EXPECT_EQ(plane.LoadFile(dir.Write("short.bma", b)), 1) << "a bma header shorter than 24 bytes";
    b = bma;
    put32(b, 4, 0x7FFFFFFF);
    EXPECT_EQ(plane.LoadFile(dir.Write("wide.bma", b)), 2) << "an absurd width fails at Create";
    b = bma;
    put32(b, 4, 0x10000);
    put32(b, 8, 0x10000);
    EXPECT_EQ(plane.LoadFile(dir.Write("overflow.bma", b)), 2) << "65536^2 * 4 overflows 32 bits; must be refused";
    b = bma;
    put32(b, 16, 13 * 7 * 4 + 4);
    EXPECT_EQ(plane.LoadFile(dir.Write("oversized.bma", b)), 3) << "a stated size over the plane is refused";
    b = bma;
    put32(b, 16, 0);
    EXPECT_EQ(plane.LoadFile(dir.Write("zero.bma", b)), 3) << "a stated size of 0 is refused";
    std::vector<uint8_t> lz = ReadBytes(ImageDataPath("lzss.bma"));
    lz.resize(lz.size() - 20);
    EXPECT_EQ(plane.LoadFile(dir.Write("cut.bma", lz)), 3) << "LZSS data that ends early fails";
    EXPECT_FALSE(plane.IsCreated());

    std::vector<uint8_t> bmp = ReadBytes(ImageDataPath("pal8.bmp"));
    b = bmp;
    put32(b, 14, 124);
    EXPECT_EQ(plane.LoadFile(dir.Write("v5.bmp", b)), 1) << "a version 5 info header is rejected";
    b = bmp;
    put32(b, 46, 0xFFFFFFFF);
    EXPECT_EQ(plane.LoadFile(dir.Write("palette.bmp", b)), 1) << "a colour count past the file is rejected";
    b = bmp;
    put32(b, 46, 300);  // more than 2^8: the bits then start past the file
    EXPECT_EQ(plane.LoadFile(dir.Write("palette300.bmp", b)), 1);
    b = bmp;
    put32(b, 18, 1u << 30);
    EXPECT_EQ(plane.LoadFile(dir.Write("huge.bmp", b)), 1) << "an absurd width is rejected";
    std::vector<uint8_t> b16 = ReadBytes(ImageDataPath("rgb555.bmp"));
    put32(b16, 30, 3);
    EXPECT_EQ(plane.LoadFile(dir.Write("bitfields.bmp", b16)), 1) << "16-bit BI_BITFIELDS is rejected";

    // RLE8 runs and deltas that reach past the row and the picture stay inside.
    std::vector<uint8_t> rle = ReadBytes(ImageDataPath("rle8.bmp"));
    uint32_t off = rle[10] | (rle[11] << 8);
    std::vector<uint8_t> wild(rle.begin(), rle.begin() + off);
    std::vector<uint8_t> stream = {255, 1, 255, 2, 0, 2, 250, 3, 200, 9, 0, 255};
    for (int i = 0; i < 255; ++i) stream.push_back(static_cast<uint8_t>(i));
    stream.push_back(0);
    stream.insert(stream.end(), {0, 2, 0, 250, 7, 7, 0, 0, 0, 1});
    wild.insert(wild.end(), stream.begin(), stream.end());
    put32(wild, 34, static_cast<uint32_t>(stream.size()));
    EXPECT_EQ(plane.LoadFile(dir.Write("wild.bmp", wild)), 0) << "wild RLE runs are cut, not written outside";
    put32(wild, 34, static_cast<uint32_t>(stream.size() + 100));
    EXPECT_EQ(plane.LoadFile(dir.Write("wild2.bmp", wild)), 1) << "a compressed size past the file fails";

    std::vector<uint8_t> png = ReadBytes(ImageDataPath("rgb8.png"));
    b = png;
    b[16] = 0x00;
    b[17] = 0x01;
    b[18] = 0x86;
    b[19] = 0xA0;  // width 100000
    EXPECT_EQ(plane.LoadFile(dir.Write("wide.png", b)), 1) << "a PNG over the size caps (or with a bad CRC) fails";
}
