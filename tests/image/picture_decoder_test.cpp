// The general picture decoder: BMP held in memory, JPEG, GIF and icons, image
// plug-ins (a small plug-in built by extra.cmake), and the DIB section it
// draws into.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ImageTestFiles.h"
#include "image/DIBSection.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "frame/File.h"
#include "frame/FileLayer.h"
#include "image/PictureDecoder.h"
#include "image/SoftPlane.h"

namespace {

std::filesystem::path PluginRoot()
{
    // The plug-ins are built into <build>/tests/image_plugins/spi, beside the
    // test program in <build>/tests.
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "image_plugins";
}

// Makes a start directory holding the test plug-ins and a picture in it.
class PluginFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = GetStartDirectory();
        root_ = PluginRoot();
        ASSERT_TRUE(std::filesystem::exists(root_ / "spi" / "ifxyz.spi")) << "extra.cmake builds the test plug-in";
        SetStartDirectory(root_.string());
        FlushFileLayerCache();
    }
    void TearDown() override
    {
        for (const std::string& f : written_) std::filesystem::remove(f);
        SetStartDirectory(saved_);
        FlushFileLayerCache();
    }
    std::string WritePicture(const std::string& name, int w, int h, size_t padTo = 2048, char kind = 'P')
    {
        std::vector<uint8_t> data = {'X', 'Y', 'Z', static_cast<uint8_t>(kind)};
        for (uint32_t v : {uint32_t(w), uint32_t(h)})
            for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(v >> (8 * i)));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                data.push_back(static_cast<uint8_t>(x * 20));
                data.push_back(static_cast<uint8_t>(y * 30));
                data.push_back(static_cast<uint8_t>(x + y));
            }
        if (data.size() < padTo) data.resize(padTo);
        std::string path = (root_ / name).string();
        WriteBytes(path, data);
        written_.push_back(path);
        return path;
    }
    std::string saved_;
    std::filesystem::path root_;
    std::vector<std::string> written_;
};

}  // namespace

TEST(PictureDecoder, bmp_needs_54_bytes_and_copies_24_bits_without_drawing)
{
    CFile file;
    ASSERT_EQ(file.Load(ImageDataPath("rgb24.bmp")), 0);
    CPictureDecoder decoder;
    ASSERT_EQ(decoder.Load(&file), 0);
    int w = 0, h = 0;
    ASSERT_EQ(decoder.GetSize(&w, &h), 0);
    EXPECT_EQ(w, 13);
    EXPECT_EQ(h, 7);
    std::vector<uint32_t> pixels(13 * 7);
    ASSERT_EQ(decoder.CopyTo(pixels.data(), 13 * 4), kPictureCopied);
    std::vector<uint32_t> expected = ExpectedPixels("rgb24.bmp");
    for (size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(pixels[i], expected[i] & 0xFFFFFF) << "CopyTo writes the colour with alpha 0, rows top-down";

    CFile pal;
    ASSERT_EQ(pal.Load(ImageDataPath("pal8.bmp")), 0);
    CPictureDecoder palDecoder;
    ASSERT_EQ(palDecoder.Load(&pal), 0);
    EXPECT_EQ(palDecoder.CopyTo(pixels.data(), 13 * 4), kPictureCopyNot24Bits) << "an 8-bit BMP is left to Draw";
    std::vector<uint32_t> drawn(13 * 7);
    ASSERT_EQ(palDecoder.Draw(DibView{drawn.data(), 13 * 4, 13, 7}), 0);
    expected = ExpectedPixels("pal8.bmp");
    for (size_t i = 0; i < drawn.size(); ++i) ASSERT_EQ(drawn[i], expected[i] & 0xFFFFFF) << "Draw of an 8-bit BMP";
    PaletteEntry entries[256];
    ASSERT_EQ(palDecoder.GetPalette(entries), kPaletteMade);
    EXPECT_EQ(entries[0].flags, kPcExplicit) << "entries 0-9 refer to the static colours";
    EXPECT_EQ(entries[255].red, 255) << "entry 255 refers to static colour 255";
    EXPECT_EQ(entries[10].flags, kPcReserved | kPcNoCollapse);

    CFile rle;
    ASSERT_EQ(rle.Load(ImageDataPath("rle8.bmp")), 0);
    CPictureDecoder rleDecoder;
    ASSERT_EQ(rleDecoder.Load(&rle), 0);
    EXPECT_EQ(rleDecoder.CopyTo(pixels.data(), 13 * 4), kPictureCopyCompressed) << "a compressed BMP is not copied";
}

TEST(PictureDecoder, short_and_lying_bitmaps_are_refused)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "lantern_decoder_test";
    std::filesystem::create_directories(dir);
    std::vector<uint8_t> bm(53, 0);
    bm[0] = 'B';
    bm[1] = 'M';
    WriteBytes((dir / "short.dat").string(), bm);
    CFile file;
    ASSERT_EQ(file.Load((dir / "short.dat").string()), 0);
    CPictureDecoder decoder;
    EXPECT_EQ(decoder.LoadBitmap(&file), 1) << "53 bytes beginning with BM are no BMP";
    EXPECT_EQ(decoder.Load(&file), 1) << "without an spi folder nothing takes it";

    std::vector<uint8_t> lying = ReadBytes(ImageDataPath("rgb24.bmp"));
    lying[10] = 0xF0;  // pixel data offset past the end of the file
    lying[11] = 0xFF;
    WriteBytes((dir / "lying.dat").string(), lying);
    CFile lyingFile;
    ASSERT_EQ(lyingFile.Load((dir / "lying.dat").string()), 0);
    CPictureDecoder lyingDecoder;
    ASSERT_EQ(lyingDecoder.Load(&lyingFile), 0);
    std::vector<uint32_t> pixels(13 * 7);
    EXPECT_EQ(lyingDecoder.CopyTo(pixels.data(), 13 * 4), kPictureCopyDataOutside) << "pixel data outside the file is never read";
    EXPECT_EQ(lyingDecoder.Draw(DibView{pixels.data(), 13 * 4, 13, 7}), 1);
    std::filesystem::remove_all(dir);
}

TEST(PictureDecoder, jpeg_is_read_in_place_of_the_ole_loader)
{
    CFile file;
    ASSERT_EQ(file.Load(ImageDataPath("progressive.jpg")), 0);
    CPictureDecoder decoder;
    EXPECT_EQ(decoder.LoadBitmap(&file), 1);
    ASSERT_EQ(decoder.Load(&file), 0);
    int w = 0, h = 0;
    ASSERT_EQ(decoder.GetSize(&w, &h), 0);
    EXPECT_EQ(w, 64) << "the size survives the HIMETRIC round trip";
    EXPECT_EQ(h, 48);
    std::vector<uint32_t> pixels(64 * 48, 0xDEADBEEF);
    EXPECT_EQ(decoder.CopyTo(pixels.data(), 64 * 4), kPictureCopyNotBmp) << "only a BMP is copied";
    std::vector<uint32_t> small(10 * 10, 0xDEADBEEF);
    ASSERT_EQ(decoder.Draw(DibView{small.data(), 40, 10, 10}), 0) << "a smaller target takes the top-left part";
    ASSERT_EQ(decoder.Draw(DibView{pixels.data(), 64 * 4, 64, 48}), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(small[y * 10 + x], pixels[y * 64 + x]) << "the cut drawing equals the whole one";
}

TEST(PictureDecoder, cmyk_jpeg_is_refused_when_opened_not_when_drawn)
{
    CFile file;
    ASSERT_EQ(file.Load(ImageDataPath("cmyk.jpg")), 0);
    CPictureDecoder decoder;
    EXPECT_EQ(decoder.LoadOlePicture(&file), kJpegUnreadable) << "a CMYK JPEG has no RGB colours and must be refused at open";
    EXPECT_EQ(decoder.Load(&file), 1) << "no reader takes a CMYK JPEG, so the caller sees 'not a picture'";
    int w = -1, h = -1;
    EXPECT_EQ(decoder.GetSize(&w, &h), 1) << "a refused JPEG leaves no size behind";
}

TEST(PictureDecoder, gif_and_icon_are_read_in_place_of_the_ole_loader)
{
    CFile file;
    ASSERT_EQ(file.Load(ImageDataPath("transparent.gif")), 0);
    CPictureDecoder decoder;
    EXPECT_EQ(decoder.LoadBitmap(&file), 1);
    ASSERT_EQ(decoder.LoadOlePicture(&file), kJpegOpened) << "a GIF is told by its signature";
    int w = 0, h = 0;
    ASSERT_EQ(decoder.GetSize(&w, &h), 0);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    std::vector<uint32_t> pixels(32 * 32);
    EXPECT_EQ(decoder.CopyTo(pixels.data(), 32 * 4), kPictureCopyNotBmp) << "only a BMP is copied";
    EXPECT_EQ(decoder.Release(), 0);
    EXPECT_EQ(decoder.GetSize(&w, &h), 1) << "Release forgets the GIF";
    EXPECT_EQ(decoder.Draw(DibView{pixels.data(), 32 * 4, 32, 32}), 1);

    // A file with an icon's signature but no image inside is no picture.
    std::vector<uint8_t> empty = {0, 0, 1, 0, 1, 0};
    empty.resize(22);
    std::filesystem::path path = std::filesystem::temp_directory_path() / "lantern_empty_icon.ico";
    WriteBytes(path.string(), empty);
    CFile emptyFile;
    ASSERT_EQ(emptyFile.Load(path.string()), 0);
    EXPECT_EQ(decoder.LoadOlePicture(&emptyFile), kJpegUnreadable);
    EXPECT_EQ(decoder.Load(&emptyFile), 1);
    std::filesystem::remove(path);
}

TEST(PictureDecoder, a_clear_top_left_pixel_makes_black_the_planes_colour_key)
{
    for (const char* name : {"transparent.gif", "depth8.ico"}) {
        const std::vector<uint32_t> expected = ExpectedPixels(name);
        ASSERT_EQ(expected[0] >> 24, 0u) << name << ": make_images.py must clear the top-left pixel";
        for (bool section : {false, true}) {
            SCOPED_TRACE(std::string(name) + (section ? " through the DIB section" : " through the decoder"));
            CSoftPlane plane;
            plane.GetImpl()->SetUseDIBSection(section);
            ASSERT_EQ(plane.LoadFile(ImageDataPath(name)), 0) << "the general path takes GIF and icon files";
            int w = 0, h = 0;
            plane.GetSize(&w, &h);
            ASSERT_EQ(w, 32);
            ASSERT_EQ(h, 32);
            EXPECT_EQ(plane.GetImpl()->GetColorKey(), 0u) << "the key comes from the clear pixel at (0, 0): black";
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    const uint32_t p = expected[static_cast<size_t>(y) * 32 + x];
                    ASSERT_EQ(plane.GetImpl()->GetPixel(x, y), (p >> 24) == 0 ? 0u : (p & 0xFFFFFF))
                        << "pixel (" << x << ", " << y << "): clear pixels black, the others opaque colours, alpha 0";
                }
        }
    }
}

TEST(DIBSection, loads_pictures_at_32_bits_and_reports_its_size)
{
    CDIBSection section;
    int w = -1, h = -1;
    EXPECT_EQ(section.GetSize(&w, &h), 1) << "no section yet";
    EXPECT_EQ(w, -1) << "outputs untouched on failure";
    EXPECT_EQ(section.Create(0, 3), 1);
    EXPECT_EQ(section.Create(5, 3, 24), 1) << "only 32 bits are offered";
    ASSERT_EQ(section.Create(5, 3), 0);
    EXPECT_EQ(section.GetView().pitch, 20);
    EXPECT_EQ(section.GetBits()[14], 0u) << "a new section is cleared";
    ASSERT_EQ(section.LoadPicture(ImageDataPath("rgb555.bmp")), kDibLoaded);
    ASSERT_EQ(section.GetSize(&w, &h), 0);
    EXPECT_EQ(w, 13);
    EXPECT_EQ(h, 7);
    std::vector<uint32_t> expected = ExpectedPixels("rgb555.bmp");
    EXPECT_EQ(section.GetView().Row(6)[12], expected[6 * 13 + 12] & 0xFFFFFF) << "rows top-down, fourth byte 0";
    EXPECT_NE(section.LoadPicture(ImageDataPath("missing.jpg")), 0);
    EXPECT_EQ(section.GetSize(&w, &h), 1) << "a failed load leaves no section";
}

TEST_F(PluginFolder, what_a_plugin_leaves_uncovered_is_black_not_stale_memory)
{
    // "XYZQ" announces 4 x 3 but hands over a 3 x 2 picture.
    std::string path = WritePicture("short.xyz", 3, 2, 2048, 'Q');
    for (bool section : {false, true}) {
        CSoftPlane plane;
        plane.GetImpl()->SetUseDIBSection(section);
        ASSERT_EQ(plane.LoadFile(path), 0) << "a short plug-in picture still loads";
        int w = 0, h = 0;
        plane.GetSize(&w, &h);
        ASSERT_EQ(w, 4) << "the plane takes the size the plug-in announced";
        ASSERT_EQ(h, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                uint32_t expected = (x < 3 && y < 2) ? ((uint32_t(x * 20) << 16) | (uint32_t(y * 30) << 8) | uint32_t(x + y)) : 0u;
                ASSERT_EQ(plane.GetImpl()->GetPixel(x, y) & 0x00FFFFFFu, expected)
                    << "pixel (" << x << ", " << y << ") outside the handed-over picture must be black";
            }
    }
}

TEST_F(PluginFolder, a_plugin_reads_its_format_through_the_software_plane)
{
    std::string path = WritePicture("picture.xyz", 6, 5);
    CSoftPlane plane;
    plane.GetImpl()->SetUseDIBSection(true);
    ASSERT_EQ(plane.LoadFile(path), 0) << "spi/ifxyz.spi must decode .xyz pictures";
    int w = 0, h = 0;
    plane.GetSize(&w, &h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(plane.GetImpl()->GetPixel(x, y), (uint32_t(x * 20) << 16) | (uint32_t(y * 30) << 8) | uint32_t(x + y))
                << "plug-in pixel (" << x << ", " << y << ") with alpha cleared";
    CSoftPlane viaSection;
    ASSERT_EQ(viaSection.LoadFile(path), 0) << "the DIB-section path takes plug-in pictures too";

    int saved = CFastPlane::DefaultFormat();
    CFastPlane::SetDefaultFormat(pixfmt::kBGRX32);
    CFastPlane display;
    ASSERT_EQ(display.LoadFile(path), 0) << "a display plane loads the plug-in's format";
    CFastPlane::SetDefaultFormat(saved);
    EXPECT_EQ(display.GetPixelFormat(), pixfmt::kBGRX32) << "a plug-in picture has no alpha";
    EXPECT_EQ(display.GetPixel(5, 4), (uint32_t(9) << 16) | (uint32_t(4 * 30) << 8) | uint32_t(5 * 20))
        << "GetPixel shows 0x00BBGGRR of the plug-in's pixel";
}

TEST_F(PluginFolder, small_files_and_broken_plugins_are_refused)
{
    void* handle = dlopen((root_ / "spi" / "ifxyz.spi").c_str(), RTLD_NOW);
    ASSERT_NE(handle, nullptr);
    int* calls = static_cast<int*>(dlsym(handle, "gIsSupportedCalls"));
    ASSERT_NE(calls, nullptr);
    int before = *calls;
    std::string small = WritePicture("small.xyz", 2, 2, 100);
    CSoftPlane plane;
    plane.GetImpl()->SetUseDIBSection(true);
    EXPECT_EQ(plane.LoadFile(small), 1) << "a file under 2048 bytes is not offered to a plug-in";
    EXPECT_EQ(*calls, before) << "IsSupported must not even be asked";
    dlclose(handle);

    std::string broken = WritePicture("picture.incomplete", 4, 4);
    EXPECT_EQ(plane.LoadFile(broken), 1) << "a plug-in without GetPicture is refused, not called";
    std::string none = WritePicture("picture.nothing", 4, 4);
    EXPECT_EQ(plane.LoadFile(none), 1) << "no plug-in for the extension: nothing accepts the file";
}
