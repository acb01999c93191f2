// Picture loading into a software plane: the decoder is chosen by the file
// name's extension; every path leaves a top-down 32-bit picture.
//
// Result codes of Load:
//   "bma": 0 ok, 1 unreadable or header short, 2 Create failed (bad size),
//          3 pixel data bad (stated size 0 or over the plane, stored data
//          short, LZSS input exhausted).
//   "png", "bmp": 0 ok, 1 the reader rejected the file, 2 Create failed.
//   others, with the DIB-section flag: LoadThroughDecoder's codes; without
//          it: 1 unreadable, 2 no size, 3 Create failed.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/DIBSection.h"
#include "frame/File.h"
#include "frame/FileLayer.h"
#include "frame/LzssDecode.h"
#include "image/ByteOrder.h"
#include "image/DIBImage.h"
#include "image/ImageLimits.h"
#include "image/PictureDecoder.h"
#include "image/PictureFailure.h"
#include "image/SoftPlaneImpl.h"

namespace {

int32_t LeInt32(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

constexpr size_t kBmaHeaderSize = 24;

// The picture size at scalePercent: each side truncated toward zero, but never
// below 1 (a small picture at a small scale must not vanish). 0 when the
// result is over the caps or the scale is not a finite number.
int ScaledSide(int side, double scalePercent)
{
    double v = side * 0.01 * scalePercent;
    if (!std::isfinite(v) || v > kMaxPictureSide) {
        return 0;
    }
    return v < 1.0 ? 1 : static_cast<int>(v);
}

}  // namespace

int CSoftPlaneImpl::Load(const std::string& name, int /*flag*/, double scalePercent)
{
    Release();
    ClearPictureFailure();
    std::string extension = GetFileExtension(name);
    MakeLowerSjis(extension);
    if (extension == "bma") {
        int result = LoadBma(name);
        if (result == 0) {
            MarkLoaded(true);
        }
        return result;
    }
    if (extension == "png" || extension == "bmp") {
        return LoadDibImage(name, extension == "png", scalePercent);
    }
    if (useDIB_) {
        return LoadThroughDecoder(name);
    }
    return LoadGeneral(name);
}

int CSoftPlaneImpl::LoadBma(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return 1;
    }
    return LoadBmaFromMemory(file.GetData(), file.GetSize());
}

int CSoftPlaneImpl::LoadBmaFromMemory(const uint8_t* data, size_t size)
{
    Release();
    if (data == nullptr || size < kBmaHeaderSize) {
        SetPictureFailure("bma header short");
        return 1;
    }
    int32_t width = LeInt32(data + 4);
    int32_t height = LeInt32(data + 8);
    int32_t compressed = LeInt32(data + 12);
    uint32_t stated = static_cast<uint32_t>(LeInt32(data + 16));
    if (!IsPictureSizeValid(width, height)) {
        SetPictureFailure("bma size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
        return 2;
    }
    const size_t capacity = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    const uint8_t* source = data + kBmaHeaderSize;
    const size_t available = size - kBmaHeaderSize;
    // A header is cheap to forge: a picture the bytes present could never
    // fill is refused before its plane is made, so a small file cannot make
    // us allocate hundreds of megabytes first.
    const uint64_t fillable = compressed == 0 ? available : LzssDecode::MaxOutput(available);
    if (capacity > fillable) {
        SetPictureFailure("bma of " + std::to_string(width) + " x " + std::to_string(height) + " pixels, but only " +
                          std::to_string(available) + " bytes of data");
        return 3;
    }
    if (Create(width, height) != 0) {
        SetPictureFailure("bma size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
        return 2;
    }
    // The stated size is not trusted either: never more than the plane holds,
    // never read past the file.
    if (stated == 0 || stated > capacity || (compressed == 0 && stated > available)) {
        SetPictureFailure("bma pixel data of " + std::to_string(stated) + " bytes (the picture holds " +
                          std::to_string(capacity) + ", the file " + std::to_string(available) + ")");
        Release();
        return 3;
    }
    if (stated < capacity) {
        Clear(0, nullptr);  // what the file does not cover stays transparent black
    }
    if (compressed == 0) {
        std::memcpy(pixels_, source, stated);
        return 0;
    }
    LzssDecode decoder;
    uint8_t* out = reinterpret_cast<uint8_t*>(pixels_);
    if (decoder.Decode(source, available, &out, stated, false) != LzssDecode::kOk) {
        SetPictureFailure("bma LZSS data ends before its " + std::to_string(stated) + " bytes");
        Release();
        return 3;
    }
    return 0;
}

int CSoftPlaneImpl::LoadDibImage(const std::string& name, bool png, double scalePercent)
{
    CDIBImage image;
    bool ok = png ? CDIBImage::LoadPNG(name, &image) : image.LoadBMP(name, kBmpAnyDepth);
    if (!ok) {
        return 1;  // the reader has said why
    }
    if (image.BitCount() != 32 && !image.ConvertBitCount(32, 0)) {
        SetPictureFailure("cannot convert to 32 bits");
        return 1;
    }
    if (scalePercent != 100.0) {
        int newWidth = ScaledSide(image.Width(), scalePercent);
        int newHeight = ScaledSide(std::abs(image.Height()), scalePercent);
        if (newWidth == 0 || newHeight == 0 || !image.Scale(newWidth, newHeight)) {
            SetPictureFailure("cannot scale to " + std::to_string(scalePercent) + " %");
            return 1;
        }
    }
    const int width = image.Width();
    const int height = std::abs(image.Height());
    if (Create(width, height) != 0) {
        return 2;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(rows_[static_cast<size_t>(y)], image.TopDownRow(y), static_cast<size_t>(width) * 4);
    }
    // PNG pictures keep their alpha; BMPs are drawn with the colour key.
    MarkLoaded(png);
    return 0;
}

int CSoftPlaneImpl::LoadThroughDecoder(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return 1;
    }
    std::unique_ptr<CPictureDecoder> decoder =
        gPictureDecoderFactory.get() ? gPictureDecoderFactory->Create() : nullptr;
    if (decoder == nullptr || decoder->Load(&file) != 0) {
        SetPictureFailure("no decoder accepts the file (BMP, JPEG, plug-ins)");
        return 1;
    }
    int width = 0;
    int height = 0;
    if (decoder->GetSize(&width, &height) != 0) {
        return 2;
    }
    if (Create(width, height) != 0) {
        return 3;
    }
    if (decoder->CopyTo(pixels_, pitch_) != 0) {
        if (decoder->Draw(GetDC()) != 0) {
            Release();
            return 4;
        }
        ClearAlpha();
    }
    // A decoded picture is a loaded one: the plane must not look empty.
    MarkLoaded(false);
    return 0;
}

int CSoftPlaneImpl::LoadGeneral(const std::string& name)
{
    CDIBSection section;
    if (section.LoadPicture(name, 32) != 0) {
        SetPictureFailure("no decoder accepts the file (BMP, JPEG, plug-ins)");
        return 1;
    }
    int width = 0;
    int height = 0;
    if (section.GetSize(&width, &height) != 0) {
        return 2;
    }
    if (Create(width, height) != 0 || section.GetBits() == nullptr) {
        return 3;
    }
    DibView view = section.GetView();
    for (int y = 0; y < height; ++y) {
        std::memcpy(rows_[static_cast<size_t>(y)], view.Row(y), static_cast<size_t>(width) * 4);
    }
    ClearAlpha();
    MarkLoaded(false);
    return 0;
}
