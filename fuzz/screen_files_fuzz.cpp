// The screens' data files: the gallery's groups, the replay's scene lists and
// character keys, and the scene offset map. Nothing may read out of bounds,
// and what the map reader accepts must be bounded by the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/ScreenTextFiles.h"
#include "scenario/SceneOffsetMap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t names = 0;
    for (const auto& group : ParseThumbGroups(text))
        names += group.size();
    if (names > size + 1)
        std::abort();  // every name but one needs a separator byte
    for (const auto& [number, path] : ParseSceneList(text)) {
        if (path.compare(0, 7, "replay\\") != 0)
            std::abort();
        (void)number;
    }
    for (const std::string& key : ParseCharacterKeys(text)) {
        if (key.size() > kMaxCharacterKey)
            std::abort();
    }
    std::map<int, int> positions;
    if (scenario::ReadSceneOffsetMap(data, size, &positions) == scenario::SceneMapResult::kOk &&
        positions.size() > (size >= 8 ? (size - 8) / 8 : 0))
        std::abort();
    return 0;
}
