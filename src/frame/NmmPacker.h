#pragma once
// Building ".NMM" archives (tools/nmmpack, the tests, the demo game): the
// encoders of the two packing methods and the archive writer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// LZSS stream that LzssDecode turns back into data[0, size) (greedy, 4095-byte
// window, references only to bytes already output).
std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size);
// Method-2 stream that DxorDecode turns back into data[0, size).
std::vector<uint8_t> DxorEncode(const uint8_t* data, size_t size);

struct NmmPackInput {
    std::string name;  // Shift-JIS entry name, 1 to 259 bytes
    std::vector<uint8_t> data;
    // nmm::kStored, kLzss or kDxor; -1 picks the smallest (stored on a tie).
    int method = -1;
};

// The bytes of an archive holding the inputs in order, its directory
// scrambled with `key`; false and *error set when a name is empty, too long
// or repeated (case-insensitively) or the archive would pass 4 GiB.
bool BuildNmmArchive(const std::vector<NmmPackInput>& files, uint8_t key,
                     std::vector<uint8_t>* out, std::string* error);
// Packs the regular files directly inside a folder (host paths), sorted by
// name, into an archive written through a temporary file; false and *error
// set on failure.
bool PackNmmFolder(const std::string& folder, const std::string& archive, uint8_t key,
                   std::string* error);
