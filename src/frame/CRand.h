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

// One step of the generator, and the number a state gives: rand() moves the
// state one step and returns the number of the new state. (For loops that
// keep the state in a register and store it back once.)
constexpr uint32_t NextRandState(uint32_t state)
{
    return state * 214013u + 2531011u;
}

constexpr int RandOfState(uint32_t state)
{
    return static_cast<int>((state >> 16) & 0x7FFF);
}

inline int rand()
{
    uint32_t& state = RandState();
    state = NextRandState(state);
    return RandOfState(state);
}

}  // namespace crt
