#pragma once
// SSE2 rows of the hot full-frame kernels, and AVX2 rows of the per-pixel
// alpha blend where the processor has AVX2 (chosen at run time). Each gives
// exactly the pixels of the scalar step it stands for (the tests compare all
// of them with a plain reference); the tail that does not fill a vector is
// done by the narrower row, then by the scalar step.
#include <cstdint>

namespace raster {

// True when the SSE2 rows are used: the processor has SSE2 and they were not
// switched off (tests switch them off to check the scalar kernels alone).
bool SimdEnabled();
void SetSimdEnabled(bool enabled);

// The widest rows used. Setting a level the processor lacks sets the best it
// has, which is returned.
enum class SimdLevel { kScalar, kSse2, kAvx2 };
SimdLevel CurrentSimdLevel();
SimdLevel SetSimdLevel(SimdLevel level);

// 32-bit rows, bytes 0-2 mixed MUL[a][s] + INV[a][d], byte 3 := 0.
void BlendRow32(uint8_t* d, const uint8_t* s, int count, int a);
// 16-bit rows: table[L][s] + table[15 - L][d] (565 or 555 level tables).
void BlendRow565(uint8_t* d, const uint8_t* s, int count, int level);
void BlendRow555(uint8_t* d, const uint8_t* s, int count, int level);
// 32-bit destination (7 / 8) from its alpha format (12 / 13): bytes 0-2
// MUL[a][s] + INV[a][d] with a = the source's byte 3 (fade: MUL[a][f]); byte 3 := 0.
void AlphaRow32(uint8_t* d, const uint8_t* s, int count);
void AlphaFadeRow32(uint8_t* d, const uint8_t* s, int count, int factor);
// 5-6-5 (5-5-5) destination from its 4-bit alpha format (10 / 11; 4-byte
// source pixels): table[L][s] + table[15 - L][d], L the source's level.
void AlphaRow565(uint8_t* d, const uint8_t* s, int count);
void AlphaRow555(uint8_t* d, const uint8_t* s, int count);
// Bytes 0-2 := MUL[f][b]; byte 3 := byte3.
void FadeRow32(uint8_t* p, int count, int factor, uint8_t byte3);
// 16-bit rows scaled in place at level L (0..15) through the level tables.
void FadeRow565(uint8_t* p, int count, int level);
void FadeRow555(uint8_t* p, int count, int level);
// 16-bit rows: each channel plus (minus) the constant's, saturating; the
// constant's bit 15 is 0, so a 5-5-5 pixel keeps its own bit 15.
void AddRow565(uint8_t* p, int count, uint16_t c);
void SubRow565(uint8_t* p, int count, uint16_t c);
void AddRow555(uint8_t* p, int count, uint16_t c);
void SubRow555(uint8_t* p, int count, uint16_t c);
// Packed saturating add / subtract of a constant 32-bit pixel value.
void AddRow32(uint8_t* p, int count, uint32_t c);
void SubRow32(uint8_t* p, int count, uint32_t c);

}  // namespace raster
