#pragma once
// What the gif and ico targets do with an input: open it as the general
// picture decoder does (by signature) and draw it whole and cut.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/DIBSection.h"
#include "image/OlePicture.h"

inline void DrawOlePicture(const uint8_t* data, size_t size)
{
    std::unique_ptr<OlePicture> picture = OpenOlePicture(data, size);
    if (picture == nullptr) {
        return;
    }
    const int w = picture->Width();
    const int h = picture->Height();
    // Keep each run small: the readers cap sizes, the target here too.
    if (int64_t{w} * h > (int64_t{1} << 22)) {
        return;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    picture->Draw(DibView{pixels.data(), w * 4, w, h});
    // A cut drawing (a GIF's interlaced rows below the cut are read, not written).
    picture->Draw(DibView{pixels.data(), w * 4, w / 2 + 1, h / 3 + 1});
}
