#include "image/PictureDecoder.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/File.h"
#include "frame/FileLayer.h"
#include "frame/MulDiv.h"
#include "image/ByteOrder.h"
#include "image/DIBImage.h"
#include "image/OlePicture.h"
#include "platform/JpegDecoder.h"

namespace {

// A plug-in is never asked about less than this (the size its reader expects).
constexpr size_t kPluginMinimumData = 2048;
// The picture loader's screen resolution: an OLE picture keeps its size in
// HIMETRIC (0.01 mm) units and is measured back in pixels at this density.
constexpr int kScreenDpi = 96;

// Draws a DIB at (0, 0) into the target, cut at the target's edges, as
// 0x00RRGGBB pixels (a 32-bit memory picture drawn by GDI gets fourth byte 0).
bool DrawDib(CDIBImage& image, const DibView& target)
{
    if (target.pixels == nullptr || (image.BitCount() != 32 && !image.ConvertBitCount(32, 0))) {
        return false;
    }
    int rows = std::min(std::abs(image.Height()), target.height);
    int cols = std::min(image.Width(), target.width);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* in = image.TopDownRow(y);
        uint32_t* out = target.Row(y);
        for (int x = 0; x < cols; ++x) {
            out[x] = ReadLe32(in + 4 * x) & 0x00FFFFFFu;
        }
        std::fill(out + cols, out + target.width, 0u);
    }
    // A plug-in may hand back a picture smaller than the size it announced:
    // what it does not cover is black, never whatever the memory held.
    for (int y = rows; y < target.height; ++y) {
        std::fill(target.Row(y), target.Row(y) + target.width, 0u);
    }
    return true;
}

}  // namespace

CPictureDecoder::CPictureDecoder() = default;

CPictureDecoder::~CPictureDecoder() { Release(); }

int CPictureDecoder::Load(CFile* file)
{
    if (LoadBitmap(file) == 0 || LoadOlePicture(file) == kJpegOpened || LoadPlugin(file) == 0) {
        return 0;
    }
    return 1;
}

int CPictureDecoder::LoadBitmap(CFile* file)
{
    const uint8_t* data = file ? file->GetData() : nullptr;
    size_t size = file ? file->GetSize() : 0;
    if (data == nullptr || size < 54 || data[0] != 'B' || data[1] != 'M') {
        bmpData_ = nullptr;
        return 1;
    }
    bmpData_ = data;
    bmpSize_ = size;
    bmpInfo_ = data + 14;
    bmpBitsOffset_ = ReadLe32(data + 10);
    return 0;
}

PictureJpegResult CPictureDecoder::LoadOlePicture(CFile* file)
{
    if (file == nullptr || file->GetData() == nullptr || file->GetSize() == 0) {
        Release();
        return kJpegNoData;
    }
    if (std::unique_ptr<OlePicture> other = OpenOlePicture(file->GetData(), file->GetSize())) {
        otherPicture_ = std::move(other);
        return kJpegOpened;
    }
    auto decoder = std::make_unique<platform::JpegDecoder>();
    if (!decoder->Open(file->GetData(), file->GetSize())) {
        Release();
        return kJpegUnreadable;
    }
    picture_ = std::move(decoder);
    return kJpegOpened;
}

int CPictureDecoder::LoadPlugin(CFile* file)
{
    if (file == nullptr) {
        return 1;
    }
    std::string path = MakeFullPath("spi/if" + file->GetExtension() + ".spi");
    // An empty path (a name refused by the file layer) would make dlopen hand
    // back the program itself.
    void* library = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return 1;
    }
    plugin_ = library;
    isSupported_ = reinterpret_cast<PluginIsSupported>(dlsym(library, "IsSupported"));
    getPictureInfo_ = reinterpret_cast<PluginGetPictureInfo>(dlsym(library, "GetPictureInfo"));
    getPicture_ = reinterpret_cast<PluginGetPicture>(dlsym(library, "GetPicture"));
    file_ = file;
    // A plug-in that lacks one of the three is of no use (and must never be
    // called through a null pointer).
    if (isSupported_ == nullptr || getPictureInfo_ == nullptr || getPicture_ == nullptr) {
        Release();
        return 1;
    }
    if (file->GetData() == nullptr || file->GetSize() < kPluginMinimumData) {
        return 1;  // the library stays loaded until Release
    }
    if (isSupported_(nullptr, file->GetData()) == 0) {
        Release();
        return 1;
    }
    return 0;
}

int32_t CPictureDecoder::BmpWidth() const { return static_cast<int32_t>(ReadLe32(bmpInfo_ + 4)); }
int32_t CPictureDecoder::BmpHeight() const { return static_cast<int32_t>(ReadLe32(bmpInfo_ + 8)); }
int CPictureDecoder::BmpBitCount() const { return bmpInfo_[14] | (bmpInfo_[15] << 8); }
uint32_t CPictureDecoder::BmpCompression() const { return ReadLe32(bmpInfo_ + 16); }

int CPictureDecoder::GetSize(int* width, int* height)
{
    if (bmpData_ != nullptr) {
        *width = BmpWidth();
        *height = BmpHeight();
        return 0;
    }
    if (picture_ != nullptr) {
        // Kept in HIMETRIC as the OLE picture keeps it, measured back at the
        // screen's density (the round trip is exact at 96 dpi).
        int himetricWidth = MulDiv(picture_->Width(), 2540, kScreenDpi);
        int himetricHeight = MulDiv(picture_->Height(), 2540, kScreenDpi);
        *width = MulDiv(himetricWidth, kScreenDpi, 2540);
        *height = MulDiv(himetricHeight, kScreenDpi, 2540);
        return 0;
    }
    if (otherPicture_ != nullptr) {
        // Like a JPEG's, exact through the HIMETRIC round trip at 96 dpi.
        *width = otherPicture_->Width();
        *height = otherPicture_->Height();
        return 0;
    }
    if (plugin_ != nullptr && getPictureInfo_ != nullptr && file_ != nullptr && file_->GetData() != nullptr) {
        PluginPictureInfo info{};
        if (getPictureInfo_(file_->GetData(), static_cast<long>(file_->GetSize()), 1, &info) != 0) {
            return 1;
        }
        *width = info.width;
        *height = info.height;
        return 0;
    }
    return 1;
}

int CPictureDecoder::Draw(const DibView& target)
{
    int width = 0;
    int height = 0;
    if (GetSize(&width, &height) != 0 || target.pixels == nullptr) {
        return 1;
    }
    if (bmpData_ != nullptr) {
        CDIBImage image;
        if (!image.LoadBMPFromMemory(bmpData_, bmpSize_, kBmpAnyDepth, std::max<uint32_t>(bmpBitsOffset_, 1))) {
            return 1;
        }
        return DrawDib(image, target) ? 0 : 1;
    }
    if (picture_ != nullptr) {
        if (target.width == picture_->Width() && target.height == picture_->Height()) {
            return picture_->Decode(target.pixels, target.pitch) ? 0 : 1;
        }
        std::vector<uint32_t> whole(static_cast<size_t>(picture_->Width()) * static_cast<size_t>(picture_->Height()));
        if (!picture_->Decode(whole.data(), picture_->Width() * 4)) {
            return 1;
        }
        int rows = std::min(picture_->Height(), target.height);
        int cols = std::min(picture_->Width(), target.width);
        for (int y = 0; y < rows; ++y) {
            std::copy_n(whole.data() + static_cast<size_t>(y) * static_cast<size_t>(picture_->Width()), cols,
                        target.Row(y));
        }
        return 0;
    }
    if (otherPicture_ != nullptr) {
        return otherPicture_->Draw(target) ? 0 : 1;
    }
    if (plugin_ != nullptr && getPicture_ != nullptr) {
        FreePluginImage();
        if (getPicture_(file_->GetData(), static_cast<long>(file_->GetSize()), 1, &pluginInfo_, &pluginBits_,
                        nullptr, 0) != 0 ||
            pluginInfo_ == nullptr || pluginBits_ == nullptr) {
            Release();
            return 1;
        }
        BitmapInfoHeader header;
        std::memcpy(&header, pluginInfo_, sizeof header);
        const auto* table = reinterpret_cast<const RgbQuad*>(static_cast<const uint8_t*>(pluginInfo_) + 40);
        CDIBImage image;
        bool ok = header.biSize >= 40 && image.CopyFromDib(header, table, static_cast<const uint8_t*>(pluginBits_)) &&
                  DrawDib(image, target);
        FreePluginImage();
        return ok ? 0 : 1;
    }
    return 1;
}

PictureCopyResult CPictureDecoder::CopyTo(uint32_t* pixels, int pitch)
{
    if (bmpData_ == nullptr) {
        return kPictureCopyNotBmp;
    }
    if (BmpCompression() != kBiRgb) {
        return kPictureCopyCompressed;
    }
    if (BmpBitCount() != 24) {
        return kPictureCopyNot24Bits;
    }
    int64_t width = BmpWidth();
    int64_t height = BmpHeight();
    if (height <= 0 || width <= 0) {
        return kPictureCopied;
    }
    int64_t stride = ((width * 24 / 8) + 3) & ~int64_t{3};
    if (static_cast<uint64_t>(bmpBitsOffset_) + static_cast<uint64_t>(stride * height) > bmpSize_) {
        return kPictureCopyDataOutside;
    }
    const uint8_t* bits = bmpData_ + bmpBitsOffset_;
    for (int64_t y = 0; y < height; ++y) {
        // BMP rows are stored bottom-up.
        const uint8_t* in = bits + (height - 1 - y) * stride;
        uint32_t* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) + y * pitch);
        for (int64_t x = 0; x < width; ++x) {
            out[x] = in[3 * x] | (in[3 * x + 1] << 8) | (static_cast<uint32_t>(in[3 * x + 2]) << 16);
        }
    }
    return kPictureCopied;
}

int CPictureDecoder::Release()
{
    bmpData_ = nullptr;
    bmpSize_ = 0;
    bmpInfo_ = nullptr;
    bmpBitsOffset_ = 0;
    otherPicture_.reset();
    if (picture_ != nullptr) {
        picture_.reset();
    } else if (plugin_ != nullptr) {
        dlclose(plugin_);
    }
    FreePluginImage();
    plugin_ = nullptr;
    isSupported_ = nullptr;
    getPictureInfo_ = nullptr;
    getPicture_ = nullptr;
    return 0;
}

PicturePaletteResult CPictureDecoder::GetPalette(PaletteEntry entries[256])
{
    if (bmpData_ == nullptr) {
        return kPaletteNotBmp;
    }
    int bitCount = BmpBitCount();
    if (bitCount > 8) {
        return kPaletteTooManyBits;
    }
    for (int i = 0; i < 256; ++i) {
        entries[i] = PaletteEntry{};
    }
    // The system palette's twenty static colours, referred to by index.
    for (int i = 0; i < 10; ++i) {
        entries[i] = PaletteEntry{static_cast<uint8_t>(i), 0, 0, kPcExplicit};
        entries[255 - i] = PaletteEntry{static_cast<uint8_t>(255 - i), 0, 0, kPcExplicit};
    }
    int count = bitCount == 1 ? 2 : bitCount == 2 ? 4 : bitCount == 4 ? 16 : bitCount == 8 ? 236 : 0;
    // Only the table entries that lie inside the file are read.
    size_t available = bmpSize_ > 54 ? (bmpSize_ - 54) / 4 : 0;
    count = static_cast<int>(std::min<size_t>(static_cast<size_t>(count), available));
    for (int i = 0; i < count; ++i) {
        const uint8_t* q = bmpData_ + 54 + 4 * i;
        entries[10 + i] = PaletteEntry{q[2], q[1], q[0], static_cast<uint8_t>(kPcReserved | kPcNoCollapse)};
    }
    return kPaletteMade;
}

void CPictureDecoder::FreePluginImage()
{
    std::free(pluginBits_);
    std::free(pluginInfo_);
    pluginBits_ = nullptr;
    pluginInfo_ = nullptr;
}

std::unique_ptr<CPictureDecoder> CPictureDecoderFactory::Create() { return std::make_unique<CPictureDecoder>(); }

namespace {
CPictureDecoderFactory gDefaultPictureDecoderFactory;
}  // namespace

Holder<CPictureDecoderFactory> gPictureDecoderFactory(&gDefaultPictureDecoderFactory, false);
