#include "game/SystemData.h"

#include <cstdio>
#include <cstdlib>

#include "frame/ProfileFile.h"
#include "game/ErrorReport.h"
#include "game/GameConfig.h"
#include "scenario/SceneSeen.h"

std::set<std::string> gSeenPictures;

namespace {

// True when ProfileTextToInt finds digits in the text (so 0 is a number
// read, not the "no number" result).
bool HasLeadingNumber(const std::string& text)
{
    size_t i = text.find_first_not_of(" \t");
    if (i != std::string::npos && (text[i] == '-' || text[i] == '+'))
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

struct UserInt {
    const char* section;
    const char* key;
    int CGameConfig::*member;
};

// "width" and "height" are not settings keys: start-up sets them anew after
// reading, but a reader before that still gets a screen-sized value.
constexpr ConfigRange kScreenSide{0, 16384};

// Reads one int key, brought into the range its settings key has.
void ReadInt(const ProfileFile& file, const char* section, const char* key, int* member)
{
    if (file.GetInt(section, key, member) != 0)
        return;
    const ConfigRange* range = FindConfigRange(section, key);
    *member = (range ? *range : kScreenSide).Apply(*member);
}

// The "global" and "scriptframe" values, in the order they are written.
const UserInt kGlobalInts[] = {
    {"global", "width", &CGameConfig::width},
    {"global", "height", &CGameConfig::height},
    {"global", "defaultAnimationFrames", &CGameConfig::defaultAnimationFrames},
    {"global", "windowMove", &CGameConfig::windowMove},
    {"global", "cdLevel", &CGameConfig::cdLevel},
    {"global", "seLevel", &CGameConfig::seLevel},
    {"global", "se2Level", &CGameConfig::se2Level},
    // "CDDADrive" (a string) is written here
    {"global", "bgmCDDA", &CGameConfig::bgmCDDA},
    {"global", "useWindowsMP3Codec", &CGameConfig::useWindowsMP3Codec},
    {"global", "windowmode", &CGameConfig::windowmode},
    {"scriptframe", "AnimationLength", &CGameConfig::AnimationLength},
    {"scriptframe", "BackColor", &CGameConfig::BackColor},
};
constexpr size_t kCddaDriveSlot = 7;

}  // namespace

int LoadSystemData(std::string fileName)
{
    ProfileFile file;
    if (file.load(fileName) != 0)
        return 1;
    for (size_t i = 0; i < std::size(kGlobalInts); ++i) {
        if (i == kCddaDriveSlot)
            file.GetString("global", "CDDADrive", &gConfig.CDDADrive);
        ReadInt(file, kGlobalInts[i].section, kGlobalInts[i].key, &(gConfig.*(kGlobalInts[i].member)));
    }
    if (const ProfileFile::Section* section = file.FindSection("systemInt")) {
        // Every key the writer writes is read back, variable 0 included. A
        // key without digits names no variable: it is skipped, so it cannot
        // overwrite variable 0 by converting to 0.
        for (const auto& [key, value] : section->entries) {
            if (HasLeadingNumber(key))
                gConfig.systemInt[ProfileTextToInt(key)] = ProfileTextToInt(value);
        }
    }
    gSeenPictures.clear();
    if (const ProfileFile::Section* section = file.FindSection("cgs")) {
        for (const auto& entry : section->entries)
            gSeenPictures.insert(entry.first);
    }
    if (const ProfileFile::Section* section = file.FindSection("SceneSeen")) {
        for (const auto& entry : section->entries)
            gSceneSeen.insert(ProfileTextToInt(entry.first));
    }
    ReadInt(file, "vista", "AnimationLength", &gConfig.vistaAnimationLength);
    ReadInt(file, "text", "interval", &gConfig.interval);
    return 0;
}

int SaveSystemData(std::string fileName)
{
    ProfileFile file;
    for (size_t i = 0; i < std::size(kGlobalInts); ++i) {
        if (i == kCddaDriveSlot)
            file.SetString("global", "CDDADrive", gConfig.CDDADrive);
        file.SetInt(kGlobalInts[i].section, kGlobalInts[i].key, &(gConfig.*(kGlobalInts[i].member)));
    }
    file.SetInt("vista", "AnimationLength", &gConfig.vistaAnimationLength);
    file.SetInt("text", "interval", &gConfig.interval);
    for (const auto& [number, value] : gConfig.systemInt)
        file.SetInt("systemInt", std::to_string(number), &value);
    for (const std::string& name : gSeenPictures)
        file.SetString("cgs", name, "seen");
    for (int scene : gSceneSeen) {
        char key[16];
        std::snprintf(key, sizeof key, "%02d", scene);
        file.SetString("SceneSeen", key, "seen");
    }
    std::string why;
    if (file.save(fileName, 0, &why) != 0) {
        ReportWriteFailure(fileName, why);
        return 1;
    }
    return 0;
}
