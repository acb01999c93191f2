#include "display/PresentedFrame.h"

#include <cstring>

namespace {

// Bands of changed rows closer than this are uploaded as one: an upload call
// costs more than a few unchanged rows.
constexpr int kJoinGap = 16;
// A frame changed in more bands than this goes up as one rectangle.
constexpr size_t kMaxBands = 8;

}  // namespace

std::vector<Rect> CPresentedFrame::TakeChanges(const uint8_t* pixels, int32_t pitch, int width, int height,
                                               int bytesPerPixel, const std::vector<Rect>* mayHaveChanged)
{
    std::vector<Rect> out;
    if (pixels == nullptr || width <= 0 || height <= 0 || bytesPerPixel <= 0) {
        return out;
    }
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    if (copy_.empty() || width != width_ || height != height_ || bytesPerPixel != bytesPerPixel_) {
        uncompared_ = false;
        width_ = width;
        height_ = height;
        bytesPerPixel_ = bytesPerPixel;
        copy_.resize(rowBytes * height);
        for (int y = 0; y < height; ++y) {
            std::memcpy(&copy_[rowBytes * y], pixels + static_cast<intptr_t>(pitch) * y, rowBytes);
        }
        out.push_back({0, 0, width, height});
        return out;
    }
    if (mayHaveChanged == nullptr) {
        TakeWholeFrame(pixels, pitch, &out);
        return out;
    }
    for (const Rect& r : *mayHaveChanged) {
        const Rect area = r.ClippedTo(Rect{0, 0, width, height});
        if (area.IsEmpty()) {
            continue;
        }
        const Rect band = TakeBand(pixels, pitch, area);
        if (!band.IsEmpty()) {
            out.push_back(band);
        }
    }
    return out;
}

std::vector<Rect> CPresentedFrame::TakeUncompared(const std::vector<Rect>& changed, int width, int height,
                                                  int bytesPerPixel)
{
    std::vector<Rect> out;
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0) {
        return out;
    }
    const bool known = !copy_.empty() || uncompared_;
    if (!known || width != width_ || height != height_ || bytesPerPixel != bytesPerPixel_) {
        out.push_back({0, 0, width, height});
    } else {
        out.reserve(changed.size());
        for (const Rect& r : changed) {
            const Rect area = r.ClippedTo(Rect{0, 0, width, height});
            if (!area.IsEmpty()) {
                out.push_back(area);
            }
        }
    }
    copy_.clear();
    width_ = width;
    height_ = height;
    bytesPerPixel_ = bytesPerPixel;
    uncompared_ = true;
    return out;
}

Rect CPresentedFrame::TakeBand(const uint8_t* pixels, int32_t pitch, const Rect& area)
{
    const size_t rowBytes = static_cast<size_t>(width_) * bytesPerPixel_;
    const size_t offset = static_cast<size_t>(area.left) * bytesPerPixel_;
    const size_t bytes = static_cast<size_t>(area.Width()) * bytesPerPixel_;
    int first = -1, last = -1;
    for (int y = area.top; y < area.bottom; ++y) {
        const uint8_t* row = pixels + static_cast<intptr_t>(pitch) * y + offset;
        uint8_t* kept = &copy_[rowBytes * y + offset];
        if (std::memcmp(row, kept, bytes) != 0) {
            std::memcpy(kept, row, bytes);
            if (first < 0) {
                first = y;
            }
            last = y;
        }
    }
    if (first < 0) {
        return {};
    }
    return {area.left, first, area.right, last + 1};
}

void CPresentedFrame::TakeWholeFrame(const uint8_t* pixels, int32_t pitch, std::vector<Rect>* out)
{
    const size_t rowBytes = static_cast<size_t>(width_) * bytesPerPixel_;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = pixels + static_cast<intptr_t>(pitch) * y;
        uint8_t* kept = &copy_[rowBytes * y];
        if (std::memcmp(row, kept, rowBytes) == 0) {
            continue;
        }
        std::memcpy(kept, row, rowBytes);
        if (!out->empty() && y - out->back().bottom < kJoinGap) {
            out->back().bottom = y + 1;
        } else {
            out->push_back({0, y, width_, y + 1});
        }
    }
    if (out->size() > kMaxBands) {
        const int top = out->front().top, bottom = out->back().bottom;
        out->assign(1, Rect{0, top, width_, bottom});
    }
}
