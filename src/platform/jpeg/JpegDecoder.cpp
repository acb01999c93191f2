// JPEG through libjpeg-turbo. The library's default error handler ends the
// process; ours jumps back to the call instead. The functions that call
// setjmp hold only plain C data (the decompress struct and our error manager
// live in a plain struct), so the jump skips no destructor.
#include "platform/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "frame/Assert.h"
#include "platform/PictureCaps.h"

namespace platform {

namespace {

// A progressive file may declare thousands of tiny scans, each a full pass
// over the coefficients; no real picture has more than a few dozen.
constexpr int kMaxScans = 1000;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

struct Session {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    jpeg_progress_mgr progress;
};

void ErrorExit(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
    longjmp(error->jump, 1);
}

// Warnings are ignored, except a premature end of the data: a truncated file
// is a failure, not a picture padded with grey.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        ErrorExit(cinfo);
    }
}

void OutputMessage(j_common_ptr) {}

void Progress(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        ErrorExit(cinfo);
    }
}

// Sets up the decompressor over the data and reads the header; false (with
// the struct destroyed) on any error.
bool Begin(Session* s, const uint8_t* data, size_t size)
{
    s->cinfo.err = jpeg_std_error(&s->error.pub);
    s->error.pub.error_exit = ErrorExit;
    s->error.pub.emit_message = EmitMessage;
    s->error.pub.output_message = OutputMessage;
    if (setjmp(s->error.jump)) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    jpeg_create_decompress(&s->cinfo);
    s->cinfo.mem->max_memory_to_use = kPictureMaxBytes;
    s->progress.progress_monitor = Progress;
    s->cinfo.progress = &s->progress;
    jpeg_mem_src(&s->cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&s->cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    // Only grey, RGB and YCbCr files become RGB pixels; a CMYK or YCCK file
    // (print separations) has no colours the library can give us, so it is
    // refused here, at open, as not a picture rather than failing at decode.
    const J_COLOR_SPACE space = s->cinfo.jpeg_color_space;
    if (space != JCS_GRAYSCALE && space != JCS_RGB && space != JCS_YCbCr) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    long w = static_cast<long>(s->cinfo.image_width);
    long h = static_cast<long>(s->cinfo.image_height);
    if (!IsPictureSizeAllowed(w, h)) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    return true;
}

bool DecodeRows(Session* s, uint8_t* pixels, int pitch, int width, int height)
{
    if (setjmp(s->error.jump)) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    s->cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&s->cinfo);
    if (static_cast<int>(s->cinfo.output_width) != width || static_cast<int>(s->cinfo.output_height) != height ||
        s->cinfo.output_components != 4) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    // Whole row groups per call let the library write straight into the
    // picture instead of through its own row buffer.
    JSAMPROW rows[32];
    while (s->cinfo.output_scanline < s->cinfo.output_height) {
        const JDIMENSION first = s->cinfo.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(32, s->cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = pixels + static_cast<ptrdiff_t>(first + i) * pitch;
        }
        const JDIMENSION read = jpeg_read_scanlines(&s->cinfo, rows, count);
        if (read == 0) {
            jpeg_destroy_decompress(&s->cinfo);
            return false;
        }
        // JCS_EXT_BGRX leaves the fourth byte 0xFF; the picture path wants 0.
        for (JDIMENSION i = 0; i < read; ++i) {
            uint32_t* row = reinterpret_cast<uint32_t*>(rows[i]);
            for (int x = 0; x < width; ++x) {
                row[x] &= 0x00FFFFFFu;  // little-endian: the fourth byte is the top one
            }
        }
    }
    jpeg_finish_decompress(&s->cinfo);
    jpeg_destroy_decompress(&s->cinfo);
    return true;
}

}  // namespace

JpegDecoder::JpegDecoder() = default;

JpegDecoder::~JpegDecoder() = default;

bool JpegDecoder::Open(const uint8_t* data, size_t size)
{
    width_ = 0;
    height_ = 0;
    data_ = nullptr;
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return false;
    }
    Session session{};
    if (!Begin(&session, data, size)) {
        return false;
    }
    width_ = static_cast<int>(session.cinfo.image_width);
    height_ = static_cast<int>(session.cinfo.image_height);
    jpeg_destroy_decompress(&session.cinfo);
    data_ = data;
    size_ = size;
    return true;
}

int JpegDecoder::Width() const { return width_; }

int JpegDecoder::Height() const { return height_; }

bool JpegDecoder::Decode(uint32_t* pixels, int pitch)
{
    LANTERN_ASSERT(data_ != nullptr, "Decode before a successful Open");
    if (data_ == nullptr || pixels == nullptr) {
        return false;
    }
    Session session{};
    if (!Begin(&session, data_, size_)) {
        return false;
    }
    return DecodeRows(&session, reinterpret_cast<uint8_t*>(pixels), pitch, width_, height_);
}

}  // namespace platform
