// ".NMM" archives: the directory reader and the unpacking of every entry
// (stored, LZSS and the run-coded XOR method) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/NmmArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemoryByteSource source(data, size);
    CNmmArchive archive;
    if (archive.ReadDirectory(source) != CNmmArchive::kOk) {
        return 0;
    }
    std::vector<uint8_t> out;
    for (const NmmEntry& e : archive.Entries()) {
        archive.Find(e.name);
        if (CNmmArchive::ReadEntry(source, e, &out) == CNmmArchive::kOk && out.size() != e.unpackedSize) {
            std::abort();  // a good unpack has exactly the stated size
        }
    }
    return 0;
}
