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

// A count-1 quadruple with its sign bits, by the bits that start it: the
// four values and the bits code and signs take together.
struct QuadEntry {
    int8_t v[4];
    uint8_t bits;
};
// Table A by the next 10 bits (code of 1-6 bits and up to 4 signs), table B
// by the next 8 (code of 4 bits and up to 4 signs).
extern QuadEntry gQuadEntriesA[1024];
extern QuadEntry gQuadEntriesB[256];

// Decodes one count-1 quadruple (table A when tableB is false), signs
// included, into v[0..3]: one lookup. Reads at most 10 bits.
template <class Reader>
inline void DecodeQuad(Reader& br, bool tableB, int v[4])
{
    const QuadEntry& e = tableB ? gQuadEntriesB[br.Peek(8)] : gQuadEntriesA[br.Peek(10)];
    br.Skip(e.bits);
    for (int i = 0; i < 4; ++i) {
        v[i] = e.v[i];
    }
}

}  // namespace mp3
