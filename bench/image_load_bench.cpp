// Picture loading into a 32-bit display plane (CFastPlane::LoadFile: file
// layer, decoder, software plane, conversion) against bare libpng and bare
// libjpeg-turbo decoding the same 800 x 600 files from memory read off disk.
// PNG: a synthetic picture (/0) and photo-like RGB (/1), RGBA with photo
// alpha (/2) and a sprite (/3, clear background); JPEG: the photo-like
// picture at quality 90, 4:2:0 (/0) and 4:4:4 (/1). The references are the
// fastest plain use of their library: the file read with one fread, libpng
// reading from that memory with its own transforms to four bytes a pixel,
// libjpeg-turbo decoding to B, G, R, X rows. Target: LoadFile at most 1.05
// times the bare decoder's time on the photo-like pictures.
#include <benchmark/benchmark.h>

#include <png.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "frame/FileLayer.h"
#include "platform/JpegDecoder.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A picture with smooth areas, edges and some noise, like a game background.
std::vector<uint8_t> MakeRgba()
{
    std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            int noise = static_cast<int>((seed >> 16) & 15);
            uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
            p[0] = static_cast<uint8_t>((x * 255 / kWidth + noise) & 255);
            p[1] = static_cast<uint8_t>(128 + 100 * std::sin(x * 0.02) * std::cos(y * 0.03));
            p[2] = static_cast<uint8_t>(((x / 40 + y / 40) % 2) ? 200 : 40 + noise);
            p[3] = static_cast<uint8_t>(((x - 400) * (x - 400) + (y - 300) * (y - 300) < 200 * 200) ? 255 : 96);
        }
    }
    return rgba;
}

// A photo-like picture: soft gradients and shapes with film grain, which
// compresses as photographs do (the filters and zlib have real work).
// Alpha: 0 none (opaque), 1 photo alpha (smooth, mostly partial), 2 a
// sprite (round shapes on a clear background, soft edges).
std::vector<uint8_t> MakePhoto(int alpha)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    uint32_t seed = 777;
    auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            const double grain = static_cast<double>((seed >> 16) % 21) - 10;
            uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
            p[0] = clamp(120 + 80 * std::sin(x * 0.011 + y * 0.004) + grain);
            p[1] = clamp(100 + 70 * std::cos(y * 0.013) * std::sin(x * 0.007) + grain);
            p[2] = clamp(90 + 60 * std::sin((x + y) * 0.009) + 0.5 * grain);
            const double dx = (x % 200) - 100, dy = (y % 200) - 100;
            p[3] = alpha == 0   ? 255
                   : alpha == 1 ? clamp(128 + 110 * std::sin(x / 37.0) * std::cos(y / 53.0) + grain)
                                : clamp((70 - std::sqrt(dx * dx + dy * dy)) * 64);
        }
    }
    return rgba;
}

std::string Folder()
{
    static const std::string dir = [] {
        auto d = std::filesystem::temp_directory_path() / "lantern_image_bench";
        std::filesystem::create_directories(d);
        // LoadFile reads through the file layer, which stays in the game folder.
        SetStartDirectory(d.string());
        return d.string();
    }();
    return dir;
}

// kind 0: the synthetic picture; 1-3: photo-like RGB, RGBA, sprite.
std::string WritePng(int kind)
{
    std::string path = Folder() + "/picture" + std::to_string(kind) + ".png";
    std::vector<uint8_t> rgba = kind == 0 ? MakeRgba() : MakePhoto(kind - 1);
    const bool rgb = kind == 1;
    if (rgb) {
        for (size_t i = 0; i < static_cast<size_t>(kWidth) * kHeight; ++i)
            for (int c = 0; c < 3; ++c) rgba[i * 3 + c] = rgba[i * 4 + c];
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, kWidth, kHeight, 8, rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) png_write_row(png, &rgba[static_cast<size_t>(y) * kWidth * (rgb ? 3 : 4)]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return path;
}

// subsampling 0: 4:2:0 (libjpeg's default), 1: 4:4:4.
std::string WriteJpeg(int subsampling)
{
    std::string path = Folder() + "/picture" + std::to_string(subsampling) + ".jpg";
    std::vector<uint8_t> rgba = MakePhoto(0);
    std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
    for (size_t i = 0; i < static_cast<size_t>(kWidth) * kHeight; ++i)
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = rgba[i * 4 + c];
    FILE* f = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (subsampling == 1) {
        for (int c = 0; c < 3; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(cinfo.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
    return path;
}

const std::string& PngPath(int kind)
{
    static const std::string paths[] = {WritePng(0), WritePng(1), WritePng(2), WritePng(3)};
    return paths[kind];
}

const std::string& JpegPath(int subsampling)
{
    static const std::string paths[] = {WriteJpeg(0), WriteJpeg(1)};
    return paths[subsampling];
}

// A whole file in memory, read with one fread into memory left uninitialised.
struct FileBytes {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    const uint8_t* data() const { return bytes.get(); }
};

FileBytes ReadAll(const std::string& path)
{
    FileBytes file;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return file;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (size > 0) {
        file.bytes.reset(new uint8_t[static_cast<size_t>(size)]);
        file.size = std::fread(file.bytes.get(), 1, static_cast<size_t>(size), f);
    }
    std::fclose(f);
    return file;
}

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void ReadMemory(png_structp png, png_bytep out, png_size_t n)
{
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (n > r->size - r->pos) png_error(png, "short");
    std::copy_n(r->data + r->pos, n, out);
    r->pos += n;
}

// Both references decode into a new picture each time, as loading a picture
// does (the buffer is not cleared first).
std::unique_ptr<uint8_t[]> NewPicture() { return std::unique_ptr<uint8_t[]>(new uint8_t[size_t{kWidth} * kHeight * 4]); }

void BM_Libpng(benchmark::State& state)
{
    std::vector<png_bytep> rows(kHeight);
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> pixels = NewPicture();
        for (int y = 0; y < kHeight; ++y) rows[y] = &pixels[static_cast<size_t>(y) * kWidth * 4];
        FileBytes file = ReadAll(PngPath(static_cast<int>(state.range(0))));
        MemoryReader reader{file.data(), file.size, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &reader, ReadMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        // Four bytes a pixel either way, as the plane keeps them.
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_read_update_info(png, info);
        png_read_image(png, rows.data());
        png_read_end(png, info);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_Libjpeg(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> pixels = NewPicture();
        FileBytes file = ReadAll(JpegPath(static_cast<int>(state.range(0))));
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = &pixels[static_cast<size_t>(cinfo.output_scanline) * kWidth * 4];
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void LoadInto32BitPlane(benchmark::State& state, const std::string& path)
{
    CFastPlane::SetDefaultFormat(pixfmt::kBGRX32);
    for (auto _ : state) {
        CFastPlane plane;
        if (plane.LoadFile(path) != 0) {
            state.SkipWithError("LoadFile failed");
            break;
        }
        benchmark::DoNotOptimize(plane.GetSurfaceView().pixels);
    }
}

// The platform layer's JPEG decoder alone (file read, header, decode into a
// new picture): shows how much of LoadFile is the decoder and how much the
// way through the software plane into the display plane.
void BM_PlatformJpegDecoder(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> pixels = NewPicture();
        FileBytes file = ReadAll(JpegPath(static_cast<int>(state.range(0))));
        platform::JpegDecoder decoder;
        if (!decoder.Open(file.data(), file.size) ||
            !decoder.Decode(reinterpret_cast<uint32_t*>(pixels.get()), kWidth * 4)) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_LoadFile_Png(benchmark::State& state) { LoadInto32BitPlane(state, PngPath(static_cast<int>(state.range(0)))); }
void BM_LoadFile_Jpeg(benchmark::State& state) { LoadInto32BitPlane(state, JpegPath(static_cast<int>(state.range(0)))); }

}  // namespace

BENCHMARK(BM_Libpng)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile_Png)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libjpeg)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlatformJpegDecoder)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile_Jpeg)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

namespace {

// The table after the runs: LoadFile over the bare decoder.
class RatioReporter : public benchsupport::MedianReporter {
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const char* kinds[] = {"synthetic", "photo-like RGB", "photo-like RGBA", "sprite"};
        for (int k = 0; k < 4; ++k) {
            PrintRatio(std::string("PNG picture into a plane vs bare libpng, ") + kinds[k],
                       "BM_LoadFile_Png/" + std::to_string(k), "BM_Libpng/" + std::to_string(k), k == 0 ? 0 : 1.05);
        }
        const char* subsamplings[] = {"4:2:0", "4:4:4"};
        for (int k = 0; k < 2; ++k) {
            PrintRatio(std::string("JPEG into a plane vs bare libjpeg-turbo, q90 ") + subsamplings[k],
                       "BM_LoadFile_Jpeg/" + std::to_string(k), "BM_Libjpeg/" + std::to_string(k), 1.05);
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
