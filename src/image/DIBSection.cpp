#include "image/DIBSection.h"

#include <new>

#include "frame/File.h"
#include "image/ImageLimits.h"
#include "image/PictureDecoder.h"

CDIBSection::CDIBSection() = default;

CDIBSection::~CDIBSection() = default;

int CDIBSection::Create(int width, int height, int bitsPerPixel)
{
    Release();
    if (bitsPerPixel != 32 || !IsPictureSizeValid(width, height)) {
        return 1;
    }
    size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    // Aligned to 16 bytes like the software plane's pixels.
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[bytes + 15]());
    if (!block) {
        return 1;
    }
    uintptr_t address = (reinterpret_cast<uintptr_t>(block.get()) + 15) & ~uintptr_t{15};
    block_ = std::move(block);
    view_ = DibView{reinterpret_cast<uint32_t*>(address), width * 4, width, height};
    return 0;
}

DibLoadResult CDIBSection::LoadPicture(const std::string& name, int bitsPerPixel)
{
    Release();
    CFile file;
    if (file.Load(name) != 0) {
        return kDibUnreadable;
    }
    std::unique_ptr<CPictureDecoder> decoder =
        gPictureDecoderFactory.get() ? gPictureDecoderFactory->Create() : nullptr;
    int width = 0;
    int height = 0;
    if (decoder == nullptr || decoder->Load(&file) != 0 || decoder->GetSize(&width, &height) != 0) {
        return kDibNotDecodable;
    }
    if (Create(width, height, bitsPerPixel) != 0) {
        return kDibBadSize;
    }
    if (decoder->Draw(view_) != 0) {
        Release();
        return kDibDrawFailed;
    }
    return kDibLoaded;
}

void CDIBSection::Release()
{
    block_.reset();
    view_ = DibView{};
}

int CDIBSection::GetSize(int* width, int* height) const
{
    if (view_.pixels == nullptr) {
        return 1;
    }
    *width = view_.width;
    *height = view_.height;
    return 0;
}
