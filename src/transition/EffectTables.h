#pragma once
// The shared tables of the block-motion transitions: 256 random bytes and the
// cosine table (which belongs to the display core, display/CosTable.h).
#include <cstdint>

// Byte i is the low byte of the (i+1)-th rand() after srand(0). Valid after
// CreateEffectTables; read-only afterwards. Kept in static storage, so it can
// never be missing when an effect reads it.
extern uint8_t gEffectRandomTable[256];

// Makes the cosine table and the random table if they are not made yet.
// Making the random table reseeds this thread's rand() with 0 and advances it
// 256 steps. Not locked: first use from two threads at once is not supported.
void CreateEffectTables();

// Seeds rand() with 0 and stores the low bytes of the next 256 results into
// table[0..255]; returns table.
uint8_t* BuildRandomByteTable(uint8_t* table);
