#include "game/PictureLoader.h"

#include <cstdio>

#include "display/FastPlane.h"
#include "frame/FileLayer.h"
#include "game/ErrorReport.h"
#include "game/GameConfig.h"
#include "game/MissingPictures.h"
#include "game/SystemData.h"
#include "image/PictureFailure.h"

double CPictureLoader::Scale()
{
    // A settings file without a sensible base width must not scale by
    // infinity: draw the pictures at their own size.
    if (gConfig.basewidth <= 0)
        return 100.0;
    return gConfig.width * 100.0 / gConfig.basewidth;
}

CFastPlane* CPictureLoader::Load(const std::string& name)
{
    auto* plane = new CFastPlane;
    if (name.empty())
        return plane;
    const double scale = Scale();
    plane->LoadFile(name, 0, scale);
    if (!plane->IsCreated()) {
        if (FileExists(name)) {
            // There but damaged: "not found" would send the player looking for
            // a file that is right there. The log says what the decoder found.
            const std::string& why = LastPictureFailure();
            WriteErrorLine("picture " + name + " cannot be decoded: " + (why.empty() ? "unknown reason" : why));
        } else {
            ReportMissingPicture(name);
        }
        plane->LoadFile("chip\\tofu.png", 0, scale);
    }
    return plane;
}

std::string SeenPictureName(const std::string& name)
{
    // A Shift-JIS trail byte can be 0x5C, so the last backslash is found by
    // walking the characters, not by searching bytes.
    size_t start = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            ++i;  // lead byte: skip its trail byte
            continue;
        }
        if (c == '\\')
            start = i + 1;
    }
    std::string part = name.substr(start);
    MakeLowerSjis(part);
    return part;
}

void RecordSeenPicture(const std::string& name)
{
    if (!name.empty())
        gSeenPictures.insert(SeenPictureName(name));
}

CFastPlane* LoadPictureOrTofu(const std::string& name)
{
    RecordSeenPicture(name);
    CPictureLoader loader;
    return loader.Load(name);
}
