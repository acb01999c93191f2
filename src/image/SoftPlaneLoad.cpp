// Picture loading into a software plane: the decoder is chosen by the file
// name's extension; every path leaves a top-down 32-bit picture. Load returns
// the chosen path's code (SoftPlaneLoadResult.h): BmaLoadResult for "bma",
// ReaderLoadResult for "png" and "bmp", DecoderLoadResult for the others.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "frame/Assert.h"
#include "frame/File.h"
#include "frame/FileLayer.h"
#include "image/BmaReader.h"
#include "image/DIBImage.h"
#include "image/DIBSection.h"
#include "image/ImageLimits.h"
#include "image/PictureDecoder.h"
#include "image/PictureFailure.h"
#include "image/PngReader.h"
#include "image/SoftPlaneImpl.h"

namespace {

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
        const int result = LoadBma(name);
        if (result == kBmaLoaded) {
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

BmaLoadResult CSoftPlaneImpl::LoadBma(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return kBmaUnreadable;
    }
    return LoadBmaFromMemory(file.GetData(), file.GetSize());
}

BmaLoadResult CSoftPlaneImpl::LoadBmaFromMemory(const uint8_t* data, size_t size)
{
    Release();
    BmaHeader header;
    if (const BmaLoadResult result = ReadBmaHeader(data, size, &header); result != kBmaLoaded) {
        return result;
    }
    if (Create(header.width, header.height) != 0) {
        SetPictureFailure("bma size " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                          " out of range");
        return kBmaBadSize;
    }
    if (const BmaLoadResult result = ReadBmaPixels(header, reinterpret_cast<uint8_t*>(pixels_));
        result != kBmaLoaded) {
        Release();
        return result;
    }
    return kBmaLoaded;
}

ReaderLoadResult CSoftPlaneImpl::LoadDibImage(const std::string& name, bool png, double scalePercent)
{
    if (png && scalePercent == 100.0) {
        return LoadPng(name);
    }
    CDIBImage image;
    bool ok = png ? CDIBImage::LoadPNG(name, &image) : image.LoadBMP(name, kBmpAnyDepth);
    if (!ok) {
        return kReaderRejected;  // the reader has said why
    }
    if (image.BitCount() != 32 && !image.ConvertBitCount(32, 0)) {
        SetPictureFailure("cannot convert to 32 bits");
        return kReaderRejected;
    }
    if (scalePercent != 100.0) {
        int newWidth = ScaledSide(image.Width(), scalePercent);
        int newHeight = ScaledSide(std::abs(image.Height()), scalePercent);
        if (newWidth == 0 || newHeight == 0 || !image.Scale(newWidth, newHeight)) {
            SetPictureFailure("cannot scale to " + std::to_string(scalePercent) + " %");
            return kReaderRejected;
        }
    }
    const int width = image.Width();
    const int height = std::abs(image.Height());
    if (Create(width, height) != 0) {
        return kReaderNoPlane;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(rows_[static_cast<size_t>(y)], image.TopDownRow(y), static_cast<size_t>(width) * 4);
    }
    // PNG pictures keep their alpha; BMPs are drawn with the colour key.
    MarkLoaded(png);
    return kReaderLoaded;
}

// The plane's own rows, made at the picture's size, as the PNG reader's target.
class CSoftPlaneImpl::PngPlaneRows : public PngRowTarget {
public:
    explicit PngPlaneRows(CSoftPlaneImpl* plane) : plane_(plane) {}
    uint8_t* Rows(int width, int height, ptrdiff_t* pitch) override
    {
        if (plane_->Create(width, height) != 0) {
            noPlane_ = true;
            return nullptr;
        }
        *pitch = plane_->pitch_;
        return reinterpret_cast<uint8_t*>(plane_->pixels_);
    }
    bool NoPlane() const { return noPlane_; }

private:
    CSoftPlaneImpl* plane_;
    bool noPlane_ = false;
};

ReaderLoadResult CSoftPlaneImpl::LoadPng(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return kReaderRejected;
    }
    // Decoded straight into the plane's rows: no picture in between to copy.
    PngPlaneRows target(this);
    if (!DecodePng(file.GetData(), file.GetSize(), &target)) {
        Release();
        return target.NoPlane() ? kReaderNoPlane : kReaderRejected;  // the reader has said why
    }
    // PNG pictures keep their alpha.
    MarkLoaded(true);
    return kReaderLoaded;
}

DecoderLoadResult CSoftPlaneImpl::LoadThroughDecoder(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0) {
        SetPictureFailure("cannot be read");
        return kDecoderRejected;
    }
    std::unique_ptr<CPictureDecoder> decoder =
        gPictureDecoderFactory.get() ? gPictureDecoderFactory->Create() : nullptr;
    if (decoder == nullptr || decoder->Load(&file) != 0) {
        SetPictureFailure("no decoder accepts the file (BMP, JPEG, GIF, icon, plug-ins)");
        return kDecoderRejected;
    }
    int width = 0;
    int height = 0;
    if (decoder->GetSize(&width, &height) != 0) {
        return kDecoderNoSize;
    }
    if (Create(width, height) != 0) {
        return kDecoderNoPlane;
    }
    // Both ways give every fourth byte 0 (their contract): no pass over the
    // picture to clear them again.
    if (decoder->CopyTo(pixels_, pitch_) != 0 && decoder->Draw(GetDC()) != 0) {
        Release();
        return kDecoderDrawFailed;
    }
    LANTERN_ASSERT(AllFourthBytesClear(pixels_, static_cast<size_t>(width) * static_cast<size_t>(height)),
                   "a picture decoder left a fourth byte set");
    // A decoded picture is a loaded one: the plane must not look empty.
    MarkLoaded(false);
    fourthBytesClear_ = true;
    return kDecoderLoaded;
}

DecoderLoadResult CSoftPlaneImpl::LoadGeneral(const std::string& name)
{
    CDIBSection section;
    if (section.LoadPicture(name, 32) != 0) {
        SetPictureFailure("no decoder accepts the file (BMP, JPEG, GIF, icon, plug-ins)");
        return kDecoderRejected;
    }
    int width = 0;
    int height = 0;
    if (section.GetSize(&width, &height) != 0) {
        return kDecoderNoSize;
    }
    if (Create(width, height) != 0 || section.GetBits() == nullptr) {
        return kDecoderNoPlane;
    }
    DibView view = section.GetView();
    for (int y = 0; y < height; ++y) {
        std::memcpy(rows_[static_cast<size_t>(y)], view.Row(y), static_cast<size_t>(width) * 4);
    }
    ClearAlpha();
    MarkLoaded(false);
    return kDecoderLoaded;
}
