#include "image/OlePicture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/DIBImage.h"
#include "image/DIBSection.h"
#include "image/IcoReader.h"
#include "image/PictureFailure.h"
#include "platform/GifDecoder.h"

namespace {

// The first frame of a GIF, decoded from the file image each time it is drawn.
class GifPicture : public OlePicture {
public:
    bool Open(const uint8_t* data, size_t size)
    {
        if (!decoder_.Open(data, size)) {
            SetPictureFailure("GIF without a readable first frame, or over the size caps");
            return false;
        }
        return true;
    }
    int Width() const override { return decoder_.Width(); }
    int Height() const override { return decoder_.Height(); }
    bool Draw(const DibView& target) override
    {
        if (target.pixels == nullptr) {
            return false;
        }
        if (!decoder_.Decode(target.pixels, target.pitch, target.width, target.height)) {
            SetPictureFailure("GIF pixel data corrupt or cut short");
            return false;
        }
        return true;
    }

private:
    platform::GifDecoder decoder_;
};

// One channel of a straight-alpha colour blended over black.
inline uint32_t OverBlack(uint32_t channel, uint32_t alpha) { return (channel * alpha + 127) / 255; }

// The picked image of an icon, read whole when opened.
class IcoPicture : public OlePicture {
public:
    bool Open(const uint8_t* data, size_t size) { return ReadIcoPicture(data, size, &image_); }
    int Width() const override { return image_.Width(); }
    int Height() const override { return std::abs(image_.Height()); }
    bool Draw(const DibView& target) override
    {
        if (target.pixels == nullptr) {
            return false;
        }
        const int rows = std::min(Height(), target.height);
        const int cols = std::min(Width(), target.width);
        for (int y = 0; y < rows; ++y) {
            const uint8_t* in = image_.TopDownRow(y);
            uint32_t* out = target.Row(y);
            for (int x = 0; x < cols; ++x) {
                const uint8_t* p = in + 4 * x;
                const uint32_t alpha = p[3];
                out[x] = (OverBlack(p[2], alpha) << 16) | (OverBlack(p[1], alpha) << 8) | OverBlack(p[0], alpha);
            }
        }
        return true;
    }

private:
    CDIBImage image_;  // 32 bits, straight alpha
};

template <class Picture>
std::unique_ptr<OlePicture> Opened(const uint8_t* data, size_t size)
{
    auto picture = std::make_unique<Picture>();
    if (!picture->Open(data, size)) {
        return nullptr;
    }
    return picture;
}

}  // namespace

std::unique_ptr<OlePicture> OpenOlePicture(const uint8_t* data, size_t size)
{
    if (data == nullptr) {
        return nullptr;
    }
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)) {
        return Opened<GifPicture>(data, size);
    }
    if (HasIcoSignature(data, size)) {
        return Opened<IcoPicture>(data, size);
    }
    return nullptr;
}
