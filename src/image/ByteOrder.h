#pragma once
// Little-endian fields of picture files, read byte by byte (no alignment or
// host-order assumption). ReadLe32 is the file layer's.
#include <cstdint>

#include "frame/NMMHederBuf.h"

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
