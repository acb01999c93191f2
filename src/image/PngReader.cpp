// The PNG reader on libpng (PngReader.h), also CDIBImage's. Every picture is
// decoded straight to 32-bit BGRA: the transformations (expansion of palettes, low-depth grey and
// tRNS transparency, 16 to 8 bits, grey to RGB, byte order, a filler alpha) are
// requested before png_read_update_info, and the row size libpng then reports
// is checked against the image's before any row is read. Deciding the image's
// depth from the colour type alone and then asking for the tRNS expansion
// would make libpng write rows wider than the image.
//
// libpng reports errors by longjmp. The function that calls setjmp keeps only
// plain data alive across the jump: every object with a destructor is made
// before setjmp in the caller, or is plain memory owned by the caller.
#include <png.h>

#include <atomic>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "frame/File.h"
#include "image/DIBImage.h"
#include "image/ImageLimits.h"
#include "image/PictureFailure.h"
#include "image/PngReader.h"

namespace {

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t cursor;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->cursor) {
        png_error(png, "Read Error");
    }
    std::memcpy(out, source->data + source->cursor, length);
    source->cursor += length;
}

// libpng's own words are the reason the game logs for a damaged picture.
void SilentError(png_structp png, png_const_charp message)
{
    SetPictureFailure(std::string("PNG: ") + (message ? message : "error"));
    png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// What the libpng part hands back: the picture's size and whether its alpha
// is kept, then the rows it was given.
struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    bool ok;
};

// Reads the header and sets up the transformations. Plain data only.
PngHeader ReadHeader(png_structp png, png_infop info)
{
    PngHeader header{0, 0, false};
    if (setjmp(png_jmpbuf(png))) {
        return header;
    }
    png_set_sig_bytes(png, 0);
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    if (!IsPictureSizeValid(width, height)) {
        SetPictureFailure("PNG size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
        return header;
    }
    png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        // Grey with alpha is shown opaque.
        png_set_strip_alpha(png);
    }
    // Palette to RGB, grey below 8 bits to 8 bits, tRNS to an alpha channel.
    png_set_expand(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    // Pictures without alpha get 0xFF, as the 32-bit conversion would give them.
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4 ||
        png_get_channels(png, info) != 4 || png_get_bit_depth(png, info) != 8) {
        SetPictureFailure("PNG rows of an unexpected layout");
        return header;
    }
    header = PngHeader{width, height, true};
    return header;
}

// Reads every row; false on a libpng error. Plain data only.
bool ReadRows(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

std::atomic<bool> gChecksumsIgnored{false};

}  // namespace

void CDIBImage::SetPngChecksumsIgnored(bool ignored) { gChecksumsIgnored = ignored; }

bool CDIBImage::LoadPNG(const std::string& name, CDIBImage* image)
{
    image->Free();
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return false;
    }
    return LoadPNGFromMemory(file.GetData(), file.GetSize(), image);
}

bool DecodePng(const uint8_t* data, size_t size, PngRowTarget* target)
{
    if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        SetPictureFailure("not a PNG file");
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (gChecksumsIgnored) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    }
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    // Ancillary chunks (text, ICC profiles) are never used; cap what a hostile
    // file can make libpng keep.
    png_set_chunk_malloc_max(png, 8u << 20);
    PngSource source{data, size, 0};
    png_set_read_fn(png, &source, ReadFromMemory);

    bool ok = false;
    PngHeader header = ReadHeader(png, info);
    std::vector<png_bytep> rows;
    ptrdiff_t pitch = 0;
    uint8_t* top = header.ok ? target->Rows(static_cast<int>(header.width), static_cast<int>(header.height), &pitch)
                             : nullptr;
    if (top != nullptr) {
        rows.resize(header.height);
        for (png_uint_32 i = 0; i < header.height; ++i) {
            rows[i] = top + pitch * static_cast<ptrdiff_t>(i);
        }
        ok = ReadRows(png, info, rows.data());
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

namespace {

// A new 32-bit bottom-up CDIBImage of the picture's size.
class DibRows : public PngRowTarget {
public:
    explicit DibRows(CDIBImage* image) : image_(image) {}
    uint8_t* Rows(int width, int height, ptrdiff_t* pitch) override
    {
        if (!image_->Create(width, height, 32)) {
            return nullptr;
        }
        // The image is bottom-up: picture row i lands in stored row height - 1 - i.
        *pitch = -static_cast<ptrdiff_t>(image_->GetStride());
        return image_->bits() + static_cast<size_t>(image_->GetStride()) * static_cast<size_t>(height - 1);
    }

private:
    CDIBImage* image_;
};

}  // namespace

bool CDIBImage::LoadPNGFromMemory(const uint8_t* data, size_t size, CDIBImage* image)
{
    image->Free();
    DibRows target(image);
    if (!DecodePng(data, size, &target)) {
        image->Free();
        return false;
    }
    return true;
}
