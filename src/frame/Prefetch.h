#pragma once
// Asking for the memory of a rectangle of pixel rows before working on it.
//
// A frame at rest touches a few thousand short rows scattered over the
// screen (a star's rectangle here, another there), and after the game
// loop's sleep between frames almost none of them is still in the cache.
// Drawing them one after the other waits for each row's memory in turn;
// asking for all of a frame's rows first lets the memory system fetch many
// at once, and the drawing that follows finds them on their way or there.
// The hints change no result: a row that is not fetched in time is only
// read as it would have been.
#include <cstddef>
#include <cstdint>

enum class PrefetchFor { kRead, kWrite };

// The cache lines of `rows` rows of `bytes` bytes each, the first starting
// at `first` and each `pitch` bytes after the one before.
inline void PrefetchRows(const uint8_t* first, ptrdiff_t pitch, size_t bytes, int rows, PrefetchFor use)
{
    constexpr uintptr_t kLine = 64;
    for (int y = 0; y < rows; ++y) {
        const uintptr_t start = reinterpret_cast<uintptr_t>(first + y * pitch);
        for (uintptr_t line = start & ~(kLine - 1); line < start + bytes; line += kLine) {
            const void* at = reinterpret_cast<const void*>(line);
            if (use == PrefetchFor::kWrite) {
                __builtin_prefetch(at, 1, 3);
            } else {
                __builtin_prefetch(at, 0, 3);
            }
        }
    }
}
