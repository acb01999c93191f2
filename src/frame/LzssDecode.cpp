#include "frame/LzssDecode.h"

#include <cstring>
#include <new>

namespace {

// Thrown when the source runs out; never leaves Decode.
struct CMyExecution {};

class LzssSource {
public:
    LzssSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Next()
    {
        if (pos_ >= size_) {
            throw CMyExecution();
        }
        return data_[pos_++];
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

const char* LzssDecode::ToString(Result result)
{
    switch (result) {
    case kOk: return "ok";
    case kEmptyOutput: return "output size is 0";
    case kInputExhausted: return "input ended before the output was complete";
    case kNoMemory: return "no memory for the output";
    default: return "unknown";
    }
}

int LzssDecode::Decode(const uint8_t* source, size_t sourceSize, uint8_t** output,
                       size_t outputSize, bool allocate)
{
    if (outputSize == 0) {
        return kEmptyOutput;
    }
    uint8_t* out = allocate ? new (std::nothrow) uint8_t[outputSize] : *output;
    if (out == nullptr) {
        return kNoMemory;
    }
    std::memset(ring_, 0, sizeof(ring_));
    size_t r = kRingStart;
    size_t written = 0;
    LzssSource in(source, sourceSize);
    try {
        unsigned flags = 0;
        while (written < outputSize) {
            // The high byte counts the flag bits left in the low byte.
            flags >>= 1;
            if ((flags & 0x100) == 0) {
                flags = in.Next() | 0xFF00u;
            }
            if (flags & 1) {
                uint8_t c = in.Next();
                out[written++] = c;
                ring_[r] = c;
                r = (r + 1) & (kRingSize - 1);
                continue;
            }
            unsigned b0 = in.Next();
            unsigned b1 = in.Next();
            size_t offset = b0 | ((b1 & 0xF0u) << 4);
            size_t length = (b1 & 0x0Fu) + 3;
            for (size_t k = 0; k < length && written < outputSize; ++k) {
                uint8_t c = ring_[(offset + k) & (kRingSize - 1)];
                out[written++] = c;
                ring_[r] = c;
                r = (r + 1) & (kRingSize - 1);
            }
        }
    } catch (const CMyExecution&) {
        if (allocate) {
            delete[] out;
        }
        return kInputExhausted;
    }
    if (allocate) {
        *output = out;
    }
    return kOk;
}
