#pragma once
// Inside the platform layer only: where SDL takes its memory from.
#include <cstddef>

namespace platform::sdl {

// From now on SDL's blocks of a megabyte or more (the window's surface, the
// software renderer's texture: a whole screen each) lie on huge pages, as
// the back buffer does (frame/PixelMemory.h), and all others come from the C
// library as before. A frame at rest copies its changed rectangles into the
// window's surface in short rows scattered over the screen; on 4 KB pages
// each of those rows costs a page walk after the game loop's sleep. Nothing
// changes (false) where something else has given SDL its allocator.
bool PutLargeBlocksOnHugePages();

// The allocator SDL is given. Every block, on huge pages or not, goes back
// to the C library's free: so blocks SDL took before the switch, and a
// block one path made and another frees or resizes, are all handled alike.
void* AllocateForSdl(size_t bytes);
// Null when count * size does not fit a size_t.
void* AllocateZeroedForSdl(size_t count, size_t size);
void* ReallocateForSdl(void* block, size_t bytes);
void FreeForSdl(void* block);

}  // namespace platform::sdl
