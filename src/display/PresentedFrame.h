#pragma once
// CPresentedFrame: a copy of the frame last put on screen, so that a frame
// which changed nothing is not presented again and one that changed a little
// uploads only what changed. Pixels are compared, not tracked: whatever drew
// on the back buffer, the rectangles found are exactly where the new frame
// differs from what the window shows.
#include <cstdint>
#include <vector>

#include "frame/Rect.h"

class CPresentedFrame {
public:
    // Compares the frame (width x height pixels of bytesPerPixel, rows pitch
    // bytes apart) with the copy inside the areas that may have changed
    // (null: anywhere), takes the differing rows into the copy and returns
    // the rectangles that differ, at most a few. The first frame, and one of
    // another size or pixel size, is different everywhere.
    std::vector<Rect> TakeChanges(const uint8_t* pixels, int32_t pitch, int width, int height, int bytesPerPixel,
                                  const std::vector<Rect>* mayHaveChanged);
    // The rectangles a frame changed in, taken as they are (cut to the frame)
    // without comparing; the copy is forgotten, so the next frame compared is
    // different everywhere. A first frame, or one of another size or pixel
    // size, is different everywhere here too.
    std::vector<Rect> TakeUncompared(const std::vector<Rect>& changed, int width, int height, int bytesPerPixel);
    // Forgets the copy: the next frame is different everywhere.
    void Forget()
    {
        copy_.clear();
        uncompared_ = false;
    }

private:
    // Rows top..bottom-1, columns left..right-1 of the frame against the
    // copy: the band of rows that differ, taken into the copy, or empty.
    Rect TakeBand(const uint8_t* pixels, int32_t pitch, const Rect& area);
    void TakeWholeFrame(const uint8_t* pixels, int32_t pitch, std::vector<Rect>* out);

    std::vector<uint8_t> copy_;
    int width_ = 0, height_ = 0, bytesPerPixel_ = 0;
    // The last frame was taken uncompared: the window holds it, the copy is gone.
    bool uncompared_ = false;
};
