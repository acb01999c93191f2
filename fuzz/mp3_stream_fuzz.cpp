// The MP3 stream reader on arbitrary bytes: open, measure, and decode the
// whole "file" into a block sized from what Open reported (capped so that a
// lying frame count cannot make the fuzzer allocate gigabytes).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/mp3/CMp3StreamReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMp3StreamReader reader;
    Mp3StreamInfo info;
    std::vector<uint8_t> bytes(data, data + size);
    if (!reader.OpenSource(std::make_unique<Mp3MemorySource>(std::move(bytes)), "fuzz\\input.mp3", &info)) {
        return 0;
    }
    int64_t want = info.samples * info.channels * (info.bits / 8);
    size_t capacity = size_t(want < 0 ? 0 : want > (1 << 22) ? (1 << 22) : want);
    std::vector<uint8_t> pcm(capacity);
    reader.DecodeAll(pcm.data(), pcm.size());
    return 0;
}
