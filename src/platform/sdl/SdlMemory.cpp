#include "platform/sdl/SdlMemory.h"

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/PixelMemory.h"

namespace platform::sdl {

namespace {
constexpr size_t kLargeBlock = size_t{1} << 20;
}  // namespace

void* AllocateForSdl(size_t bytes)
{
    return bytes >= kLargeBlock ? AllocateHugePageMemory(bytes).release() : std::malloc(bytes);
}

void* AllocateZeroedForSdl(size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size) {
        return nullptr;
    }
    const size_t bytes = count * size;
    if (bytes < kLargeBlock) {
        return std::calloc(count, size);
    }
    uint8_t* block = AllocateHugePageMemory(bytes).release();
    if (block != nullptr) {
        std::memset(block, 0, bytes);
    }
    return block;
}

void* ReallocateForSdl(void* block, size_t bytes) { return std::realloc(block, bytes); }

void FreeForSdl(void* block) { std::free(block); }

bool PutLargeBlocksOnHugePages()
{
    SDL_malloc_func allocate = nullptr, builtInAllocate = nullptr;
    SDL_calloc_func allocateZeroed = nullptr, builtInAllocateZeroed = nullptr;
    SDL_realloc_func reallocate = nullptr, builtInReallocate = nullptr;
    SDL_free_func release = nullptr, builtInRelease = nullptr;
    SDL_GetMemoryFunctions(&allocate, &allocateZeroed, &reallocate, &release);
    if (allocate == AllocateForSdl) {
        return true;
    }
    // SDL's blocks so far came from its built-in functions, which on this
    // system hand on to the C library (an allocator of SDL's own is only
    // built where there is no C library's); anything else set in their
    // place is left alone, since the blocks it made may not go to free.
    SDL_GetOriginalMemoryFunctions(&builtInAllocate, &builtInAllocateZeroed, &builtInReallocate, &builtInRelease);
    if (allocate != builtInAllocate || allocateZeroed != builtInAllocateZeroed || reallocate != builtInReallocate ||
        release != builtInRelease) {
        return false;
    }
    return SDL_SetMemoryFunctions(AllocateForSdl, AllocateZeroedForSdl, ReallocateForSdl, FreeForSdl) == 0;
}

}  // namespace platform::sdl
