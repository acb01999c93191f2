// Multi-level Huffman lookup: per table a first lookup of up to kRootBits
// bits whose entries are either a leaf (the pair and the bits it used at that
// level) or a link to a sub-table for the longer codes.
#include "sound/mp3/Mp3Huffman.h"

#include <algorithm>
#include <vector>

#include "sound/mp3/Mp3HuffmanCodes.h"

namespace mp3 {

namespace {

constexpr int kRootBits = 8;
constexpr int kSubBits = 6;

constexpr uint32_t kLink = kHuffmanLink;

struct Code {
    uint32_t bits;
    int length;
    int value;  // x << 4 | y
};

struct Lookup {
    std::vector<uint32_t> entries;
    int rootBits = 0;
};

Lookup gLookups[16];  // by SlotOf(table)

// Fills a table of `width` bits for the codes that share `consumed` prefix bits.
void BuildLevel(Lookup& lk, const std::vector<Code>& codes, int consumed, int width, size_t base)
{
    for (uint32_t idx = 0; idx < (1u << width); ++idx) {
        std::vector<Code> longer;
        bool leaf = false;
        for (const Code& c : codes) {
            int rest = c.length - consumed;
            // The code's next min(rest, width) bits.
            if (rest <= width) {
                uint32_t next = c.bits & ((1u << rest) - 1);
                if ((idx >> (width - rest)) == next) {
                    lk.entries[base + idx] = uint32_t(rest) | (uint32_t(c.value & 0xF0) << 4) |
                                             (uint32_t(c.value & 0x0F) << 16);
                    leaf = true;
                    break;
                }
            } else {
                uint32_t next = (c.bits >> (rest - width)) & ((1u << width) - 1);
                if (next == idx) {
                    longer.push_back(c);
                }
            }
        }
        if (leaf || longer.empty()) {
            continue;  // an unused pattern keeps its zero entry (a zero pair of 0 bits)
        }
        int maxRest = 0;
        for (const Code& c : longer) {
            maxRest = std::max(maxRest, c.length - consumed - width);
        }
        int subWidth = std::min(maxRest, kSubBits);
        size_t subBase = lk.entries.size();
        lk.entries.resize(subBase + (size_t(1) << subWidth), 0);
        lk.entries[base + idx] = kLink | uint32_t(subWidth) | (uint32_t(subBase) << 8);
        BuildLevel(lk, longer, consumed + width, subWidth, subBase);
    }
}

int SlotOf(int table)
{
    // Tables 1-15 have their own codes; 16-23 share 16's and 24-31 share 24's.
    if (table < 16) {
        return table;
    }
    return table < 24 ? 0 : 4;  // slots 0 and 4 are free (tables 0 and 4 do not exist)
}

// Count-1 table A: (code, length) by quadruple v w x y (v the high bit).
constexpr uint8_t kQuadCodes[16] = {1, 5, 4, 5, 6, 5, 4, 4, 7, 3, 6, 0, 7, 2, 3, 1};
constexpr uint8_t kQuadLengths[16] = {1, 4, 4, 5, 4, 6, 5, 6, 4, 5, 5, 6, 5, 6, 6, 6};
// 6-bit lookup of table A: quadruple << 4 | length.
// Count-1 table A by the next 6 bits: quadruple << 4 | code length.
uint8_t gQuadA[64];

// The entry of quadruple q (v the high bit) whose sign bits, first value's
// first, are the top bits of `rest` (a `restBits`-bit number).
QuadEntry QuadOf(int q, int codeBits, uint32_t rest, int restBits)
{
    QuadEntry e{};
    int nonzero = 0;
    for (int i = 0; i < 4; ++i) {
        nonzero += (q >> i) & 1;
    }
    int next = restBits - 1;  // the next sign bit
    for (int i = 0; i < 4; ++i) {
        int bit = (q >> (3 - i)) & 1;
        e.v[i] = int8_t(bit == 0 ? 0 : ((rest >> next--) & 1) ? -1 : 1);
    }
    e.bits = uint8_t(codeBits + nonzero);
    return e;
}

}  // namespace

QuadEntry gQuadEntriesA[1024];
QuadEntry gQuadEntriesB[256];

void BuildHuffmanTables()
{
    for (int t = 1; t < 32; ++t) {
        const HuffmanCodeTable& ct = kHuffmanCodeTables[t];
        if (ct.size == 0 || (t > 16 && t != 24)) {
            continue;
        }
        std::vector<Code> codes;
        int maxLen = 0;
        for (int i = 0; i < ct.size * ct.size; ++i) {
            int x = i / ct.size, y = i % ct.size;
            codes.push_back({ct.codes[i], ct.lengths[i], (x << 4) | y});
            maxLen = std::max(maxLen, int(ct.lengths[i]));
        }
        Lookup& lk = gLookups[SlotOf(t)];
        lk.rootBits = std::min(maxLen, kRootBits);
        lk.entries.assign(size_t(1) << lk.rootBits, 0);
        BuildLevel(lk, codes, 0, lk.rootBits, 0);
    }
    for (int q = 0; q < 16; ++q) {
        int len = kQuadLengths[q];
        uint32_t first = uint32_t(kQuadCodes[q]) << (6 - len);
        for (uint32_t fill = 0; fill < (1u << (6 - len)); ++fill) {
            gQuadA[first | fill] = uint8_t((q << 4) | len);
        }
    }
    for (uint32_t bits = 0; bits < 1024; ++bits) {
        uint8_t e = gQuadA[bits >> 4];
        int len = e & 15;
        gQuadEntriesA[bits] = QuadOf(e >> 4, len, bits & ((1u << (10 - len)) - 1), 10 - len);
    }
    for (uint32_t bits = 0; bits < 256; ++bits) {
        gQuadEntriesB[bits] = QuadOf(int(bits >> 4) ^ 15, 4, bits & 15, 4);
    }
}

const HuffmanLookup& LookupOf(int table)
{
    static const HuffmanLookup* lookups = [] {
        static HuffmanLookup all[32];
        for (int t = 0; t < 32; ++t) {
            bool codes = t != 0 && t != 4 && t != 14;
            const Lookup& lk = gLookups[SlotOf(t)];
            all[t] = {codes ? lk.entries.data() : nullptr, lk.rootBits, kHuffmanCodeTables[t].linbits};
        }
        return all;
    }();
    return lookups[table];
}

}  // namespace mp3
