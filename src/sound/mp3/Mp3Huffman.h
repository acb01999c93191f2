#pragma once
// Layer III Huffman decoding through multi-level lookup tables built at start
// from the standard's code tables.
#include <cstdint>

#include "sound/mp3/Mp3BitReader.h"

namespace mp3 {

// Builds the lookup tables (once per process, from BuildTablesOnce).
void BuildHuffmanTables();

// Entry: bit 31 link; leaf: bits 0-4 length used at this level, 8-15 x,
// 16-23 y; link: bits 0-4 width of the sub-table, bits 8-30 its offset.
constexpr uint32_t kHuffmanLink = 0x80000000u;

// One big-value table's lookup; entries is null for the tables that code
// nothing (0, 4 and 14 give zero pairs).
struct HuffmanLookup {
    const uint32_t* entries;
    int rootBits;
    int linbits;
};
const HuffmanLookup& LookupOf(int table);
// Count-1 table A by the next 6 bits: quadruple << 4 | code length.
extern uint8_t gQuadA[64];
// Non-zero values of each quadruple (v the high bit), and its four signed
// values by its sign bits (the first value's sign the highest bit).
extern uint8_t gQuadNonzero[16];
extern int8_t gQuadValues[16][16][4];

// Decodes one (x, y) pair, linbits and signs included. Reads at most 47 bits.
template <class Reader>
inline void DecodePair(Reader& br, const HuffmanLookup& lk, int* x, int* y)
{
    if (lk.entries == nullptr) {
        *x = *y = 0;
        return;
    }
    const uint32_t* e = lk.entries;
    uint32_t entry = e[br.Peek(lk.rootBits)];
    int width = lk.rootBits;
    while (entry & kHuffmanLink) {
        br.Skip(width);
        width = int(entry & 31);
        entry = e[((entry & ~kHuffmanLink) >> 8) + br.Peek(width)];
    }
    br.Skip(int(entry & 31));
    int vx = int((entry >> 8) & 0xF);
    int vy = int((entry >> 16) & 0xF);
    if (vx == 15 && lk.linbits) {
        vx += int(br.Read(lk.linbits));
    }
    if (vx && br.Read1()) {
        vx = -vx;
    }
    if (vy == 15 && lk.linbits) {
        vy += int(br.Read(lk.linbits));
    }
    if (vy && br.Read1()) {
        vy = -vy;
    }
    *x = vx;
    *y = vy;
}

// Decodes one count-1 quadruple (table A when tableB is false), signs
// included, into v[0..3]. Reads at most 10 bits.
template <class Reader>
inline void DecodeQuad(Reader& br, bool tableB, int v[4])
{
    int q;
    if (tableB) {
        q = int(br.Read(4)) ^ 15;
    } else {
        uint8_t e = gQuadA[br.Peek(6)];
        br.Skip(e & 15);
        q = e >> 4;
    }
    // One sign bit follows per non-zero value, in order.
    uint32_t signs = br.Read(gQuadNonzero[q]);
    const int8_t* values = gQuadValues[q][signs];
    for (int i = 0; i < 4; ++i) {
        v[i] = values[i];
    }
}

}  // namespace mp3
