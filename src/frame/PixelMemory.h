#pragma once
// Memory for a picture's pixels. Frames draw into and read from big
// pictures in small scattered pieces (a sprite's rows, a changed
// rectangle, the screen under a star), each row on another 4 KB page: after
// the game loop's sleep between frames, the processor's page-translation
// cache no longer holds them, and a frame spends much of its time walking
// page tables. A picture of a megabyte or more therefore lies on 2 MB
// pages where the system offers them (transparent huge pages), so that a
// whole screen takes one or two of those entries instead of hundreds.
#include <cstddef>
#include <cstdint>
#include <memory>

struct PixelMemoryFree {
    // The size of a block on huge pages (0 for the others), which a freed
    // block is kept for.
    size_t hugeBytes = 0;
    void operator()(uint8_t* p) const noexcept;
};
using PixelMemory = std::unique_ptr<uint8_t[], PixelMemoryFree>;

// At least `bytes` (1 when 0) of uninitialised memory starting on a 64-byte
// boundary; null when there is not that much.
PixelMemory AllocatePixelMemory(size_t bytes);
