// JPEG through libjpeg-turbo. The library's default error handler ends the
// process; ours jumps back to the call instead. The functions that call
// setjmp hold only plain C data (the decompress struct and our error manager
// live in a plain struct), so the jump skips no destructor.
#include "platform/JpegDecoder.h"

#include <emmintrin.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "frame/Assert.h"
#include "platform/PictureCaps.h"

namespace platform {

namespace {

// A progressive file may declare thousands of tiny scans, each a full pass
// over the coefficients; no real picture has more than a few dozen.
constexpr int kMaxScans = 1000;
// The most output rows the library recommends per call (its largest
// vertical sampling factor).
constexpr JDIMENSION kRowsPerCallMax = 4;

// Where rows of a strip start: past a 16-byte boundary (see DecodeRows).
constexpr size_t kStripOffset = 4;

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

// Bytes between the rows of a strip for pictures width pixels wide: a
// multiple of 16, so that every row starts kStripOffset past a boundary.
size_t StripPitch(int width) { return (static_cast<size_t>(width) * 4 + 15) & ~size_t{15}; }

// Copies width B, G, R, X pixels with the fourth byte cleared. Rows of the
// picture that start on a 16-byte boundary are written around the caches,
// as the library writes a picture it decodes in place.
void CopyRowClearingX(const uint8_t* in, uint8_t* out, int width)
{
    int x = 0;
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    if ((reinterpret_cast<uintptr_t>(out) & 15) == 0) {
        for (; x + 4 <= width; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_and_si128(v, rgb));
        }
    }
    for (; x < width; ++x) {
        uint32_t v;
        std::memcpy(&v, in + 4 * x, 4);
        v &= 0x00FFFFFFu;  // little-endian: the fourth byte is the top one
        std::memcpy(out + 4 * x, &v, 4);
    }
}

// Decodes every row into the picture. JCS_EXT_BGRX leaves the fourth byte
// 0xFF and the picture path wants 0; the library writes rows that start on a
// 16-byte boundary (as the picture's do) with non-temporal stores, so
// clearing them in place would read every row back from memory. Rows are
// therefore decoded into a small strip that starts off the boundary (written
// through the cache) and copied into the picture with the byte cleared. The
// strip holds kRowsPerCallMax rows StripPitch(width) apart, from
// strip + kStripOffset. Plain data only.
bool DecodeRows(Session* s, uint8_t* pixels, int pitch, int width, int height, uint8_t* strip)
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
    // The library writes straight into the strip when asked for at least its
    // recommended rows per call (else through a row buffer of its own).
    const JDIMENSION perCall = std::clamp<JDIMENSION>(s->cinfo.rec_outbuf_height, 2, kRowsPerCallMax);
    const size_t stripPitch = StripPitch(width);
    JSAMPROW rows[kRowsPerCallMax];
    for (JDIMENSION i = 0; i < kRowsPerCallMax; ++i) {
        rows[i] = strip + kStripOffset + i * stripPitch;
    }
    while (s->cinfo.output_scanline < s->cinfo.output_height) {
        const JDIMENSION first = s->cinfo.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(perCall, s->cinfo.output_height - first);
        const JDIMENSION read = jpeg_read_scanlines(&s->cinfo, rows, count);
        if (read == 0) {
            jpeg_destroy_decompress(&s->cinfo);
            return false;
        }
        for (JDIMENSION i = 0; i < read; ++i) {
            CopyRowClearingX(rows[i], pixels + static_cast<ptrdiff_t>(first + i) * pitch, width);
        }
    }
    // The streamed stores are seen by every later read.
    _mm_sfence();
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
    std::unique_ptr<uint8_t[]> strip(new (std::nothrow) uint8_t[kRowsPerCallMax * StripPitch(width_) + 16 +
                                                              kStripOffset]);
    if (strip == nullptr) {
        jpeg_destroy_decompress(&session.cinfo);
        return false;
    }
    // The strip's rows start kStripOffset past a 16-byte boundary.
    uint8_t* aligned = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(strip.get()) + 15) & ~uintptr_t{15});
    return DecodeRows(&session, reinterpret_cast<uint8_t*>(pixels), pitch, width_, height_, aligned);
}

}  // namespace platform
