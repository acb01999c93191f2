#pragma once
// The standard's Layer III Huffman code tables as (code, length) pairs.
#include <cstdint>

namespace mp3 {

struct HuffmanCodeTable {
    int size;                // values per axis (x and y run 0 .. size - 1); 0: no such table
    int linbits;             // extra bits added to a value of 15
    const uint16_t* codes;   // code of (x, y) at x * size + y
    const uint8_t* lengths;  // its length in bits
};

extern const HuffmanCodeTable kHuffmanCodeTables[32];

}  // namespace mp3
