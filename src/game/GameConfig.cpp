#include "game/GameConfig.h"

#include <cstdio>
#include <variant>

#include "frame/FileLayer.h"
#include "frame/ProfileFile.h"
#include "game/SaveSlots.h"
#include "game/WritePath.h"

CGameConfig gConfig;

namespace {

using IntMember = int CGameConfig::*;
using StrMember = std::string CGameConfig::*;
struct ListMember {
    std::vector<std::string> CGameConfig::*list;
    const char* pattern;
    int nameCode;
};

struct Row {
    const char* section;
    const char* key;
    int code;
    std::variant<IntMember, StrMember, ListMember> target;
};

constexpr IntMember Int(IntMember m) { return m; }
constexpr StrMember Str(StrMember m) { return m; }
constexpr ListMember List(std::vector<std::string> CGameConfig::*list, const char* pattern, int nameCode)
{
    return {list, pattern, nameCode};
}

// The settings file's keys in the order they are read, with the code that
// names each one when it is missing. The codes are not contiguous and 178 to
// 182 each stand for two keys; they are reported as they are.
const Row kRows[] = {
    {"global", "mouseGuardTime", 4, Int(&CGameConfig::mouseGuardTime)},
    {"global", "userini", 5, Str(&CGameConfig::userini)},
    {"global", "basewidth", 7, Int(&CGameConfig::basewidth)},
    {"global", "UrlSundrel", 8, Str(&CGameConfig::UrlSundrel)},
    {"global", "VersionString", 9, Str(&CGameConfig::VersionString)},
    {"global", "seDir", 20, Str(&CGameConfig::seDir)},
    {"global", "bgDir", 21, Str(&CGameConfig::bgDir)},
    {"global", "eventpictDir", 22, Str(&CGameConfig::eventpictDir)},
    {"global", "scnstart", 23, Str(&CGameConfig::scnstart)},
    {"global", "savedataFormat", 24, Str(&CGameConfig::savedataFormat)},
    {"global", "defaultAnimationFrames", 25, Int(&CGameConfig::defaultAnimationFrames)},
    {"global", "maxSaveSlot", 26, Int(&CGameConfig::maxSaveSlot)},
    {"global", "cdLevel", 27, Int(&CGameConfig::cdLevel)},
    {"global", "seLevel", 28, Int(&CGameConfig::seLevel)},
    {"global", "CDDADrive", 29, Str(&CGameConfig::CDDADrive)},
    {"global", "scnkaiso", 30, Str(&CGameConfig::scnkaiso)},
    {"global", "bgmDir", 31, Str(&CGameConfig::bgmDir)},
    {"global", "useWindowsMP3Codec", 32, Int(&CGameConfig::useWindowsMP3Codec)},
    {"global", "bgmCDDA", 33, Int(&CGameConfig::bgmCDDA)},
    {"global", "windowMove", 34, Int(&CGameConfig::windowMove)},
    {"global", "se2Level", 35, Int(&CGameConfig::se2Level)},
    {"global", "voiceDir", 36, Str(&CGameConfig::voiceDir)},
    {"global", "windowmode", 37, Int(&CGameConfig::windowmode)},
    {"global", "omake1", 38, Int(&CGameConfig::omake1)},
    {"global", "hideCGReplay", 39, Int(&CGameConfig::hideCGReplay)},
    {"scriptframe", "AnimationLength", 40, Int(&CGameConfig::AnimationLength)},
    {"scriptframe", "FileName", 41, Str(&CGameConfig::FileName)},
    {"scriptframe", "BackFileName", 42, Str(&CGameConfig::BackFileName)},
    {"scriptframe", "ParaParaAnimations", 43, List(&CGameConfig::ParaParaAnimationFileName, "ParaParaAnimationFileName%d", 44)},
    {"scriptframe", "ParaParaAnimationInterval", 45, Int(&CGameConfig::ParaParaAnimationInterval)},
    {"scriptframe", "namePosX", 50, Int(&CGameConfig::namePosX)},
    {"scriptframe", "namePosY", 51, Int(&CGameConfig::namePosY)},
    {"scriptframe", "textPosX", 52, Int(&CGameConfig::textPosX)},
    {"scriptframe", "textPosY", 53, Int(&CGameConfig::textPosY)},
    {"scriptframe", "nameWidth", 54, Int(&CGameConfig::nameWidth)},
    {"scriptframe", "nameHeight", 55, Int(&CGameConfig::nameHeight)},
    {"scriptframe", "textWidth", 56, Int(&CGameConfig::textWidth)},
    {"scriptframe", "textHeight", 57, Int(&CGameConfig::textHeight)},
    {"scriptframe", "FFNormal", 58, Str(&CGameConfig::FFNormal)},
    {"scriptframe", "FFOnMouse", 59, Str(&CGameConfig::FFOnMouse)},
    {"scriptframe", "FFOnClick", 60, Str(&CGameConfig::FFOnClick)},
    {"scriptframe", "scriptFFx", 61, Int(&CGameConfig::scriptFFx)},
    {"scriptframe", "scriptFFy", 62, Int(&CGameConfig::scriptFFy)},
    {"scriptframe", "WaitMouse", 63, Int(&CGameConfig::WaitMouse)},
    {"scriptframe", "Wait", 64, Int(&CGameConfig::Wait)},
    {"scriptframe", "BackColor", 65, Int(&CGameConfig::BackColor)},
    {"vista", "AnimationLength", 70, Int(&CGameConfig::vistaAnimationLength)},
    {"vista", "FileName", 71, Str(&CGameConfig::vistaFileName)},
    {"cmap", "nameFrameFileName", 80, Str(&CGameConfig::nameFrameFileName)},
    {"cmap", "nameTextSize", 81, Int(&CGameConfig::nameTextSize)},
    {"cmap", "placeFrameFileName", 82, Str(&CGameConfig::placeFrameFileName)},
    {"cmap", "placeFrameSize", 83, Int(&CGameConfig::placeFrameSize)},
    {"text", "interval", 99, Int(&CGameConfig::interval)},
    {"text", "textSize", 100, Int(&CGameConfig::textSize)},
    {"text", "rubySize", 101, Int(&CGameConfig::rubySize)},
    {"text", "nameSize", 102, Int(&CGameConfig::nameSize)},
    {"text", "maxchars", 103, Int(&CGameConfig::maxchars)},
    {"text", "linespace", 104, Int(&CGameConfig::linespace)},
    {"text", "charspace", 105, Int(&CGameConfig::charspace)},
    {"battle", "winMaxRangeMin", 106, Int(&CGameConfig::winMaxRangeMin)},
    {"battle", "winMaxRangeMax", 107, Int(&CGameConfig::winMaxRangeMax)},
    {"battle", "winMinRangeMin", 108, Int(&CGameConfig::winMinRangeMin)},
    {"battle", "winMinRangeMax", 109, Int(&CGameConfig::winMinRangeMax)},
    {"battle", "loseMaxRangeMin", 110, Int(&CGameConfig::loseMaxRangeMin)},
    {"battle", "loseMaxRangeMax", 111, Int(&CGameConfig::loseMaxRangeMax)},
    {"battle", "ternRangeMin", 112, Int(&CGameConfig::ternRangeMin)},
    {"battle", "ternRangeMax", 113, Int(&CGameConfig::ternRangeMax)},
    {"battle", "resultWinFilename", 114, Str(&CGameConfig::resultWinFilename)},
    {"battle", "resultLoseFilename", 115, Str(&CGameConfig::resultLoseFilename)},
    {"battle", "resultPosX", 116, Int(&CGameConfig::resultPosX)},
    {"battle", "resultPosY", 117, Int(&CGameConfig::resultPosY)},
    {"battle", "resultEffectNo", 118, Int(&CGameConfig::resultEffectNo)},
    {"battle", "resultAnimationLength", 119, Int(&CGameConfig::resultAnimationLength)},
    {"battle", "resultBltMethod", 120, Int(&CGameConfig::resultBltMethod)},
    {"battle", "bar1PosX", 121, Int(&CGameConfig::bar1PosX)},
    {"battle", "bar1PosY", 122, Int(&CGameConfig::bar1PosY)},
    {"battle", "bar2PosX", 123, Int(&CGameConfig::bar2PosX)},
    {"battle", "bar2PosY", 124, Int(&CGameConfig::bar2PosY)},
    {"battle", "bar1Width", 125, Int(&CGameConfig::bar1Width)},
    {"battle", "bar1Height", 126, Int(&CGameConfig::bar1Height)},
    {"battle", "bar2Width", 127, Int(&CGameConfig::bar2Width)},
    {"battle", "bar2Height", 128, Int(&CGameConfig::bar2Height)},
    {"battle", "bar1Filename", 129, Str(&CGameConfig::bar1Filename)},
    {"battle", "bar2Filename", 130, Str(&CGameConfig::bar2Filename)},
    {"battle", "bar1ShadowFilename", 131, Str(&CGameConfig::bar1ShadowFilename)},
    {"battle", "bar2ShadowFilename", 132, Str(&CGameConfig::bar2ShadowFilename)},
    {"battle", "bar1AnimationLength", 133, Int(&CGameConfig::bar1AnimationLength)},
    {"battle", "bar2AnimationLength", 134, Int(&CGameConfig::bar2AnimationLength)},
    {"battle", "bar1ShadowAnimationLength", 135, Int(&CGameConfig::bar1ShadowAnimationLength)},
    {"battle", "bar2ShadowAnimationLength", 136, Int(&CGameConfig::bar2ShadowAnimationLength)},
    {"battle", "bar1Direction", 137, Int(&CGameConfig::bar1Direction)},
    {"battle", "bar2Direction", 138, Int(&CGameConfig::bar2Direction)},
    {"battle", "bgFilename", 139, Str(&CGameConfig::bgFilename)},
    {"battle", "bgAnimationLength", 140, Int(&CGameConfig::bgAnimationLength)},
    {"battle", "bgEffectNo", 141, Int(&CGameConfig::bgEffectNo)},
    {"battle", "face1PosX", 142, Int(&CGameConfig::face1PosX)},
    {"battle", "face1PosY", 143, Int(&CGameConfig::face1PosY)},
    {"battle", "face2PosX", 144, Int(&CGameConfig::face2PosX)},
    {"battle", "face2PosY", 145, Int(&CGameConfig::face2PosY)},
    {"battle", "face1AnimationLength", 146, Int(&CGameConfig::face1AnimationLength)},
    {"battle", "face2AnimationLength", 147, Int(&CGameConfig::face2AnimationLength)},
    {"battle", "face1EffectNo", 148, Int(&CGameConfig::face1EffectNo)},
    {"battle", "face2EffectNo", 149, Int(&CGameConfig::face2EffectNo)},
    {"battle", "face1BltMethod", 150, Int(&CGameConfig::face1BltMethod)},
    {"battle", "face2BltMethod", 151, Int(&CGameConfig::face2BltMethod)},
    {"battle", "vsFilename", 152, Str(&CGameConfig::vsFilename)},
    {"battle", "vsPosX", 153, Int(&CGameConfig::vsPosX)},
    {"battle", "vsPosY", 154, Int(&CGameConfig::vsPosY)},
    {"battle", "vsEffectNo", 155, Int(&CGameConfig::vsEffectNo)},
    {"battle", "vsAnimationLength", 156, Int(&CGameConfig::vsAnimationLength)},
    {"battle", "vsBltMethod", 157, Int(&CGameConfig::vsBltMethod)},
    {"battle", "name1PosX", 158, Int(&CGameConfig::name1PosX)},
    {"battle", "name1PosY", 159, Int(&CGameConfig::name1PosY)},
    {"battle", "name2PosX", 160, Int(&CGameConfig::name2PosX)},
    {"battle", "name2PosY", 161, Int(&CGameConfig::name2PosY)},
    {"battle", "name1EffectNo", 162, Int(&CGameConfig::name1EffectNo)},
    {"battle", "name2EffectNo", 163, Int(&CGameConfig::name2EffectNo)},
    {"battle", "name1AnimationLength", 164, Int(&CGameConfig::name1AnimationLength)},
    {"battle", "name2AnimationLength", 165, Int(&CGameConfig::name2AnimationLength)},
    {"battle", "name1BltMethod", 166, Int(&CGameConfig::name1BltMethod)},
    {"battle", "name2BltMethod", 167, Int(&CGameConfig::name2BltMethod)},
    {"battle", "img1PosX", 168, Int(&CGameConfig::img1PosX)},
    {"battle", "img1PosY", 169, Int(&CGameConfig::img1PosY)},
    {"battle", "img2PosX", 170, Int(&CGameConfig::img2PosX)},
    {"battle", "img2PosY", 171, Int(&CGameConfig::img2PosY)},
    {"battle", "img1EffectNo", 172, Int(&CGameConfig::img1EffectNo)},
    {"battle", "img2EffectNo", 173, Int(&CGameConfig::img2EffectNo)},
    {"battle", "img1AnimationLength", 174, Int(&CGameConfig::img1AnimationLength)},
    {"battle", "img2AnimationLength", 175, Int(&CGameConfig::img2AnimationLength)},
    {"battle", "img1BltMethod", 176, Int(&CGameConfig::img1BltMethod)},
    {"battle", "img2BltMethod", 177, Int(&CGameConfig::img2BltMethod)},
    {"battle", "bgFilenameAfter", 178, Str(&CGameConfig::bgFilenameAfter)},
    {"battle", "name1AfterPosX", 179, Int(&CGameConfig::name1AfterPosX)},
    {"battle", "name1AfterPosY", 180, Int(&CGameConfig::name1AfterPosY)},
    {"battle", "name2AfterPosX", 181, Int(&CGameConfig::name2AfterPosX)},
    {"battle", "name2AfterPosY", 182, Int(&CGameConfig::name2AfterPosY)},
    {"layer", "xpos10", 200, Int(&CGameConfig::xpos10)},
    {"layer", "xpos11", 201, Int(&CGameConfig::xpos11)},
    {"layer", "xpos12", 202, Int(&CGameConfig::xpos12)},
    {"layer", "xpos13", 203, Int(&CGameConfig::xpos13)},
    {"layer", "xpos14", 204, Int(&CGameConfig::xpos14)},
    {"layer", "xpos15", 205, Int(&CGameConfig::xpos15)},
    {"battle", "seNo", 178, List(&CGameConfig::se, "se%d", 179)},
    {"flash", "beforeAnimationLength", 180, Int(&CGameConfig::beforeAnimationLength)},
    {"flash", "afterAnimationLength", 181, Int(&CGameConfig::afterAnimationLength)},
    {"quake", "offset", 182, Int(&CGameConfig::offset)},
    {"quake", "count", 183, Int(&CGameConfig::count)},};

}  // namespace

namespace {

std::string Missing(const char* section, const std::string& key)
{
    return "key \"" + key + "\" missing from [" + section + "]";
}

}  // namespace

int LoadConfig(std::string fileName, std::string* why)
{
    std::string ignored;
    if (!why)
        why = &ignored;
    ProfileFile file;
    if (file.load(fileName) != 0) {
        *why = FileExists(fileName) ? "cannot be read" : "not found";
        return 1;
    }
    for (const Row& row : kRows) {
        if (const IntMember* m = std::get_if<IntMember>(&row.target)) {
            if (file.GetInt(row.section, row.key, &(gConfig.*(*m))) != 0) {
                *why = Missing(row.section, row.key);
                return row.code;
            }
        } else if (const StrMember* s = std::get_if<StrMember>(&row.target)) {
            if (file.GetString(row.section, row.key, &(gConfig.*(*s))) != 0) {
                *why = Missing(row.section, row.key);
                return row.code;
            }
        } else {
            const ListMember& list = std::get<ListMember>(row.target);
            int count = 0;
            if (file.GetInt(row.section, row.key, &count) != 0) {
                *why = Missing(row.section, row.key);
                return row.code;
            }
            std::vector<std::string>& names = gConfig.*(list.list);
            names.clear();
            for (int i = 0; i < count; ++i) {
                char key[64];
                std::snprintf(key, sizeof key, list.pattern, i);
                std::string name;
                if (file.GetString(row.section, key, &name) != 0) {
                    *why = Missing(row.section, key);
                    return list.nameCode;
                }
                names.push_back(std::move(name));
            }
        }
    }
    // The settings come with the game: the files written in the player's name
    // must not land outside its folder.
    if (const std::string error = WritePathError(gConfig.userini); !error.empty()) {
        *why = "userini=" + gConfig.userini + ": " + error + ", outside the game folder";
        return kConfigUserIniOutside;
    }
    if (!IsSafeSlotPattern(gConfig.savedataFormat)) {
        *why = "savedataFormat=" + gConfig.savedataFormat + ": not one slot number in a name inside the game folder";
        return kConfigSaveDataOutside;
    }
    return 0;
}

const std::vector<ConfigKey>& ConfigKeys()
{
    static const std::vector<ConfigKey> keys = [] {
        std::vector<ConfigKey> out;
        for (const Row& row : kRows) {
            ConfigKey key{row.section, row.key, row.code, !std::holds_alternative<StrMember>(row.target)};
            if (const ListMember* list = std::get_if<ListMember>(&row.target)) {
                key.namePattern = list->pattern;
                key.nameCode = list->nameCode;
            }
            out.push_back(key);
        }
        return out;
    }();
    return keys;
}
