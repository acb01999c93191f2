#pragma once
// Memory for a picture's pixels: blocks that start on a cache line, freed
// by one rule whichever way they were made.
//
// The screen's back buffer may instead lie on 2 MB pages. Every frame draws
// into it in small scattered pieces (a sprite's rows, a changed rectangle,
// the cursor) and the presenter copies those out again, each row on another
// 4 KB page: after the game loop's sleep between frames the processor's
// page-translation cache no longer holds them, and a frame at rest spends
// much of its time walking page tables. On huge pages (transparent huge
// pages, where the system offers them) a whole screen takes one or two of
// those entries instead of hundreds.
#include <cstddef>
#include <cstdint>
#include <memory>

struct PixelMemoryFree {
    void operator()(uint8_t* p) const noexcept;
};
using PixelMemory = std::unique_ptr<uint8_t[], PixelMemoryFree>;

// At least `bytes` (1 when 0) of uninitialised memory starting on a 64-byte
// boundary; null when there is not that much.
PixelMemory AllocatePixelMemory(size_t bytes);
// The same in whole 2 MB pages starting on one, advised onto huge pages;
// null when there is not that much.
PixelMemory AllocateHugePageMemory(size_t bytes);
