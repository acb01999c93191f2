// GIF through giflib's record-level reader: only the records up to the first
// frame and that frame's rows are read, so an animation costs no more than
// its first picture and nothing past it is allocated or trusted. giflib
// reports errors by return codes (it neither prints nor jumps).
#include "platform/GifDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "frame/Assert.h"
#include "platform/PictureCaps.h"

namespace platform {

namespace {

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t cursor;
};

// giflib's input callback: a short count makes giflib fail the read.
int ReadFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* source = static_cast<MemorySource*>(gif->UserData);
    if (length <= 0) {
        return 0;
    }
    const size_t count = std::min(static_cast<size_t>(length), source->size - source->cursor);
    std::memcpy(out, source->data + source->cursor, count);
    source->cursor += count;
    return static_cast<int>(count);
}

// Closes the file on every way out of a function.
struct GifHandle {
    GifFileType* gif = nullptr;
    ~GifHandle()
    {
        if (gif != nullptr) {
            int error = 0;
            DGifCloseFile(gif, &error);
        }
    }
};

// What the records before the first frame say about it.
struct FirstFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    int transparent = NO_TRANSPARENT_COLOR;
    // 0x00RRGGBB for each index; indices the colour table does not give stay
    // black, so no pixel value can reach past it.
    std::array<uint32_t, 256> colours{};
};

bool HasGifStamp(const uint8_t* data, size_t size)
{
    return data != nullptr && size >= 6 &&
           (std::memcmp(data, GIF87_STAMP, 6) == 0 || std::memcmp(data, GIF89_STAMP, 6) == 0);
}

// Reads the records up to and including the first image descriptor. The
// last graphic control extension before it gives the transparent index.
bool ReadToFirstFrame(GifFileType* gif, FirstFrame* frame)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            return false;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            break;
        }
        if (type != EXTENSION_RECORD_TYPE) {
            return false;  // the trailer (or garbage) before any frame: nothing to show
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            return false;
        }
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
            GraphicsControlBlock control{};
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
                frame->transparent = control.TransparentColor;
            }
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                return false;
            }
        }
    }
    if (DGifGetImageDesc(gif) == GIF_ERROR) {
        return false;
    }
    const GifImageDesc& desc = gif->Image;
    frame->left = desc.Left;
    frame->top = desc.Top;
    frame->width = desc.Width;
    frame->height = desc.Height;
    frame->interlaced = desc.Interlace;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr || map->Colors == nullptr || map->ColorCount <= 0) {
        return false;  // no colours to show the indices with
    }
    const int count = std::min(map->ColorCount, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = map->Colors[i];
        frame->colours[static_cast<size_t>(i)] =
            (static_cast<uint32_t>(c.Red) << 16) | (static_cast<uint32_t>(c.Green) << 8) | c.Blue;
    }
    if (frame->transparent >= 0 && frame->transparent < 256) {
        frame->colours[static_cast<size_t>(frame->transparent)] = 0;
    }
    return true;
}

// Opens the data and reads it up to the first frame; the handle is closed by
// its owner whatever happens.
bool OpenToFirstFrame(MemorySource* source, GifHandle* handle, FirstFrame* frame)
{
    int error = 0;
    handle->gif = DGifOpen(source, ReadFromMemory, &error);
    return handle->gif != nullptr && ReadToFirstFrame(handle->gif, frame);
}

// Where the i-th row the file stores lands in the frame: interlaced frames
// store every 8th row from 0, every 8th from 4, every 4th from 2, then every
// 2nd from 1.
int FrameRow(int stored, int height, bool interlaced)
{
    if (!interlaced) {
        return stored;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (stored < rows) {
            return kStart[pass] + stored * kStep[pass];
        }
        stored -= rows;
    }
    return -1;
}

}  // namespace

GifDecoder::GifDecoder() = default;

GifDecoder::~GifDecoder() = default;

bool GifDecoder::Open(const uint8_t* data, size_t size)
{
    width_ = 0;
    height_ = 0;
    data_ = nullptr;
    if (!HasGifStamp(data, size)) {
        return false;
    }
    MemorySource source{data, size, 0};
    GifHandle handle;
    FirstFrame frame;
    if (!OpenToFirstFrame(&source, &handle, &frame)) {
        return false;
    }
    if (frame.left < 0 || frame.top < 0 || !IsPictureSizeAllowed(frame.width, frame.height)) {
        return false;
    }
    // The logical screen is the picture; a frame that reaches past it (or a
    // screen of 0 x 0, which some writers leave) grows it.
    const int64_t width = std::max<int64_t>(handle.gif->SWidth, int64_t{frame.left} + frame.width);
    const int64_t height = std::max<int64_t>(handle.gif->SHeight, int64_t{frame.top} + frame.height);
    if (!IsPictureSizeAllowed(width, height)) {
        return false;
    }
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    data_ = data;
    size_ = size;
    return true;
}

int GifDecoder::Width() const { return width_; }

int GifDecoder::Height() const { return height_; }

bool GifDecoder::Decode(uint32_t* pixels, int pitch, int width, int height)
{
    LANTERN_ASSERT(data_ != nullptr, "Decode before a successful Open");
    if (data_ == nullptr || pixels == nullptr || width < 0 || height < 0) {
        return false;
    }
    width = std::min(width, width_);
    height = std::min(height, height_);
    auto row = [&](int y) {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch);
    };
    for (int y = 0; y < height; ++y) {
        std::fill(row(y), row(y) + width, 0u);
    }
    MemorySource source{data_, size_, 0};
    GifHandle handle;
    FirstFrame frame;
    if (!OpenToFirstFrame(&source, &handle, &frame)) {
        return false;
    }
    std::vector<GifPixelType> line(static_cast<size_t>(frame.width));
    // Columns of the frame that fall inside the cut.
    const int first = frame.left;
    const int last = std::min(width, frame.left + frame.width);
    for (int stored = 0; stored < frame.height; ++stored) {
        if (DGifGetLine(handle.gif, line.data(), frame.width) == GIF_ERROR) {
            return false;
        }
        const int y = frame.top + FrameRow(stored, frame.height, frame.interlaced);
        if (y >= height) {
            continue;  // still read: the rows below the cut may come first (interlaced)
        }
        uint32_t* out = row(y);
        for (int x = first; x < last; ++x) {
            out[x] = frame.colours[line[static_cast<size_t>(x - first)]];
        }
    }
    return true;
}

}  // namespace platform
