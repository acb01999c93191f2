#include "frame/DxorDecode.h"

namespace {

// Thrown on corrupt input; never leaves Decode.
struct CDxorExecution {
    int result;
};

}  // namespace

const char* DxorDecode::ToString(Result result)
{
    switch (result) {
    case kOk: return "ok";
    case kEmptyOutput: return "output size is 0";
    case kInputExhausted: return "input ended before the output was complete";
    case kOverrun: return "a run passes the end of the output";
    default: return "unknown";
    }
}

int DxorDecode::Decode(const uint8_t* source, size_t sourceSize, uint8_t* output,
                       size_t outputSize)
{
    if (outputSize == 0) {
        return kEmptyOutput;
    }
    size_t in = 0;
    size_t written = 0;
    auto next = [&]() -> uint8_t {
        if (in >= sourceSize) {
            throw CDxorExecution{kInputExhausted};
        }
        return source[in++];
    };
    auto predictor = [&](size_t i) -> uint8_t { return i >= kDistance ? output[i - kDistance] : 0; };
    try {
        while (written < outputSize) {
            uint8_t c = next();
            size_t count = c < 0x80 ? static_cast<size_t>(c) + 1 : static_cast<size_t>(c - 0x80) + 2;
            if (count > outputSize - written) {
                throw CDxorExecution{kOverrun};
            }
            for (size_t k = 0; k < count; ++k, ++written) {
                uint8_t delta = c < 0x80 ? next() : 0;
                output[written] = static_cast<uint8_t>(delta ^ predictor(written));
            }
        }
    } catch (const CDxorExecution& e) {
        return e.result;
    }
    return kOk;
}
