#include "transition/EffectTables.h"

#include "display/CosTable.h"
#include "frame/CRand.h"

uint8_t gEffectRandomTable[256];

namespace {

// The table lives in static storage rather than behind an allocation that
// could fail and leave the effects reading through a null pointer; this flag
// takes the place of the owning pointer's "exists" test.
bool gEffectRandomTableMade = false;

// The cosine table is made on the same first-use path as the random table.
bool gCosTableRequested = false;

}  // namespace

uint8_t* BuildRandomByteTable(uint8_t* table)
{
    crt::srand(0);
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>(crt::rand() & 0xFF);
    }
    return table;
}

void CreateEffectTables()
{
    if (!gCosTableRequested) {
        BuildCosTable(&gCosTableRequested);
        gCosTableRequested = true;
    }
    if (!gEffectRandomTableMade) {
        BuildRandomByteTable(gEffectRandomTable);
        gEffectRandomTableMade = true;
    }
}
