#pragma once
// number * multiplier / divisor through a 64-bit intermediate, rounded to the
// nearest integer with halves away from zero; -1 when the divisor is 0 or the
// result does not fit in 32 bits (as the system routine answers).
#include <cstdint>
#include <limits>

inline int32_t MulDiv(int32_t number, int32_t multiplier, int32_t divisor)
{
    if (divisor == 0) {
        return -1;
    }
    int64_t product = static_cast<int64_t>(number) * multiplier;
    bool negative = (product < 0) != (divisor < 0);
    uint64_t p = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    uint64_t d = divisor < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(divisor))
                             : static_cast<uint64_t>(divisor);
    uint64_t q = (p + d / 2) / d;
    if (q > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + (negative ? 1u : 0u)) {
        return -1;
    }
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}
