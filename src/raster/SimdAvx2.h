#pragma once
// The AVX2 rows (SimdAvx2.cpp, compiled for AVX2 function by function so the
// rest of the program runs on any x86-64). Call them only when
// Avx2Available() says so.
#include <cstddef>
#include <cstdint>

namespace raster {

// True when the processor and the system support AVX2.
bool Avx2Available();

// Eight pixels at a time of the 32-bit alpha row from column done on
// (MUL[w][s] + INV[w][d], w = the source's byte 3, faded: MUL[w][factor]);
// done moves past the pixels it did. Groups of eight all clear (or, unfaded,
// all opaque) skip the arithmetic.
void AlphaRow32Avx2(uint8_t* d, const uint8_t* s, int count, int factor, bool faded, int& done);

// The same mix on groups of four pixels by two rows: group k is the four
// pixels at dsts[k] and at dsts[k] + dstPitch, from srcs[k] and srcs[k] +
// srcPitch, mixed in order (each group stored before the next is read).
void AlphaQuads32Avx2(uint8_t* const* dsts, const uint8_t* const* srcs, int count, intptr_t dstPitch,
                      intptr_t srcPitch, int factor, bool faded);

}  // namespace raster
