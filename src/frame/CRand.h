#pragma once
// The game's rand/srand: the classic 32-bit Windows runtime generator
// (state * 214013 + 2531011, result (state >> 16) & 0x7FFF), one state per
// thread, seeded with 1. The transitions' piece orders depend on this exact
// sequence, so glibc's rand must never be used in its place.
#include <cstdint>

namespace crt {

constexpr int kRandMax = 0x7FFF;

inline uint32_t& RandState()
{
    thread_local uint32_t state = 1;
    return state;
}

inline void srand(uint32_t seed)
{
    RandState() = seed;
}

inline int rand()
{
    uint32_t& state = RandState();
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

}  // namespace crt
