#pragma once
// Layer III Huffman decoding through multi-level lookup tables built at start
// from the standard's code tables.
#include <cstdint>

#include "sound/mp3/Mp3BitReader.h"

namespace mp3 {

// Builds the lookup tables (once per process, from BuildTablesOnce).
void BuildHuffmanTables();

// Decodes one (x, y) pair of big-value table `table` (1-31; 0 gives zeros),
// linbits and signs included.
void DecodePair(Mp3BitReader& br, int table, int* x, int* y);

// Decodes one count-1 quadruple (table A when tableB is false), signs
// included, into v[0..3].
void DecodeQuad(Mp3BitReader& br, bool tableB, int v[4]);

}  // namespace mp3
