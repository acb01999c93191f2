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
    ConfigRange range{};  // int rows and list counts
};

// The settings arrive with the game, the user system file from the player's
// disk: either can hold any number. Each key is kept to what its readers can
// use, so that none of them computes with a value that overflows
// ("cdLevel" x 255, an effect's frame count minus one, a size scaled by
// width / basewidth).
constexpr ConfigRange kFrames{0, 3600};         // an effect's frame count: a minute at 60 frames a second
constexpr ConfigRange kLevel{0, 255};           // volumes and the window's blend level (trackbars 0..255)
constexpr ConfigRange kSwitch{0, 1, ConfigRange::kFlag};  // any non-zero value means on
constexpr ConfigRange kWindowMode{0, 32, ConfigRange::kScreenMode};
constexpr ConfigRange kBaseWidth{0, 16384};     // 0 (and below): pictures and text unscaled
constexpr ConfigRange kDelay{0, 60000};         // milliseconds or frames of a wait: up to a minute
// Places on an 800 x 600 screen, with room to spare. The name and text are
// placed at the window's corner plus their offset, and a drawable takes a
// negative place for an anchor ("centred", "right"): those stay positive.
constexpr ConfigRange kPlace{0, 4096};
constexpr ConfigRange kOffset{-4096, 4096};
constexpr ConfigRange kSize{0, 4096};
constexpr ConfigRange kFontSize{0, 512};
constexpr ConfigRange kSpacing{-512, 512};
constexpr ConfigRange kCount{0, 65535};
constexpr ConfigRange kColumn{-1, 16384};       // any negative value keeps the built-in column
constexpr ConfigRange kEffectNo{0, 74};         // the transitions 0-74
constexpr ConfigRange kUnread{-32768, 32767};   // held for the game; nothing reads it

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
    {"global", "mouseGuardTime", 4, Int(&CGameConfig::mouseGuardTime), kFrames},
    {"global", "userini", 5, Str(&CGameConfig::userini)},
    {"global", "basewidth", 7, Int(&CGameConfig::basewidth), kBaseWidth},
    {"global", "UrlSundrel", 8, Str(&CGameConfig::UrlSundrel)},
    {"global", "VersionString", 9, Str(&CGameConfig::VersionString)},
    {"global", "seDir", 20, Str(&CGameConfig::seDir)},
    {"global", "bgDir", 21, Str(&CGameConfig::bgDir)},
    {"global", "eventpictDir", 22, Str(&CGameConfig::eventpictDir)},
    {"global", "scnstart", 23, Str(&CGameConfig::scnstart)},
    {"global", "savedataFormat", 24, Str(&CGameConfig::savedataFormat)},
    {"global", "defaultAnimationFrames", 25, Int(&CGameConfig::defaultAnimationFrames), kFrames},
    {"global", "maxSaveSlot", 26, Int(&CGameConfig::maxSaveSlot), kCount},
    {"global", "cdLevel", 27, Int(&CGameConfig::cdLevel), kLevel},
    {"global", "seLevel", 28, Int(&CGameConfig::seLevel), kLevel},
    {"global", "CDDADrive", 29, Str(&CGameConfig::CDDADrive)},
    {"global", "scnkaiso", 30, Str(&CGameConfig::scnkaiso)},
    {"global", "bgmDir", 31, Str(&CGameConfig::bgmDir)},
    {"global", "useWindowsMP3Codec", 32, Int(&CGameConfig::useWindowsMP3Codec), kSwitch},
    {"global", "bgmCDDA", 33, Int(&CGameConfig::bgmCDDA), kSwitch},
    {"global", "windowMove", 34, Int(&CGameConfig::windowMove), kSwitch},
    {"global", "se2Level", 35, Int(&CGameConfig::se2Level), kLevel},
    {"global", "voiceDir", 36, Str(&CGameConfig::voiceDir)},
    {"global", "windowmode", 37, Int(&CGameConfig::windowmode), kWindowMode},
    {"global", "omake1", 38, Int(&CGameConfig::omake1), kSwitch},
    {"global", "hideCGReplay", 39, Int(&CGameConfig::hideCGReplay), kSwitch},
    {"scriptframe", "AnimationLength", 40, Int(&CGameConfig::AnimationLength), kFrames},
    {"scriptframe", "FileName", 41, Str(&CGameConfig::FileName)},
    {"scriptframe", "BackFileName", 42, Str(&CGameConfig::BackFileName)},
    {"scriptframe", "ParaParaAnimations", 43, List(&CGameConfig::ParaParaAnimationFileName, "ParaParaAnimationFileName%d", 44), kCount},
    {"scriptframe", "ParaParaAnimationInterval", 45, Int(&CGameConfig::ParaParaAnimationInterval), kDelay},
    {"scriptframe", "namePosX", 50, Int(&CGameConfig::namePosX), kPlace},
    {"scriptframe", "namePosY", 51, Int(&CGameConfig::namePosY), kPlace},
    {"scriptframe", "textPosX", 52, Int(&CGameConfig::textPosX), kPlace},
    {"scriptframe", "textPosY", 53, Int(&CGameConfig::textPosY), kPlace},
    {"scriptframe", "nameWidth", 54, Int(&CGameConfig::nameWidth), kSize},
    {"scriptframe", "nameHeight", 55, Int(&CGameConfig::nameHeight), kSize},
    {"scriptframe", "textWidth", 56, Int(&CGameConfig::textWidth), kSize},
    {"scriptframe", "textHeight", 57, Int(&CGameConfig::textHeight), kSize},
    {"scriptframe", "FFNormal", 58, Str(&CGameConfig::FFNormal)},
    {"scriptframe", "FFOnMouse", 59, Str(&CGameConfig::FFOnMouse)},
    {"scriptframe", "FFOnClick", 60, Str(&CGameConfig::FFOnClick)},
    {"scriptframe", "scriptFFx", 61, Int(&CGameConfig::scriptFFx), kOffset},
    {"scriptframe", "scriptFFy", 62, Int(&CGameConfig::scriptFFy), kOffset},
    {"scriptframe", "WaitMouse", 63, Int(&CGameConfig::WaitMouse), kDelay},
    {"scriptframe", "Wait", 64, Int(&CGameConfig::Wait), kDelay},
    {"scriptframe", "BackColor", 65, Int(&CGameConfig::BackColor), kLevel},
    {"vista", "AnimationLength", 70, Int(&CGameConfig::vistaAnimationLength), kFrames},
    {"vista", "FileName", 71, Str(&CGameConfig::vistaFileName)},
    {"cmap", "nameFrameFileName", 80, Str(&CGameConfig::nameFrameFileName)},
    {"cmap", "nameTextSize", 81, Int(&CGameConfig::nameTextSize), kFontSize},
    {"cmap", "placeFrameFileName", 82, Str(&CGameConfig::placeFrameFileName)},
    {"cmap", "placeFrameSize", 83, Int(&CGameConfig::placeFrameSize), kFontSize},
    {"text", "interval", 99, Int(&CGameConfig::interval), kDelay},
    {"text", "textSize", 100, Int(&CGameConfig::textSize), kFontSize},
    {"text", "rubySize", 101, Int(&CGameConfig::rubySize), kFontSize},
    {"text", "nameSize", 102, Int(&CGameConfig::nameSize), kFontSize},
    {"text", "maxchars", 103, Int(&CGameConfig::maxchars), kCount},
    {"text", "linespace", 104, Int(&CGameConfig::linespace), kSpacing},
    {"text", "charspace", 105, Int(&CGameConfig::charspace), kSpacing},
    {"battle", "winMaxRangeMin", 106, Int(&CGameConfig::winMaxRangeMin), kUnread},
    {"battle", "winMaxRangeMax", 107, Int(&CGameConfig::winMaxRangeMax), kUnread},
    {"battle", "winMinRangeMin", 108, Int(&CGameConfig::winMinRangeMin), kUnread},
    {"battle", "winMinRangeMax", 109, Int(&CGameConfig::winMinRangeMax), kUnread},
    {"battle", "loseMaxRangeMin", 110, Int(&CGameConfig::loseMaxRangeMin), kUnread},
    {"battle", "loseMaxRangeMax", 111, Int(&CGameConfig::loseMaxRangeMax), kUnread},
    {"battle", "ternRangeMin", 112, Int(&CGameConfig::ternRangeMin), kUnread},
    {"battle", "ternRangeMax", 113, Int(&CGameConfig::ternRangeMax), kUnread},
    {"battle", "resultWinFilename", 114, Str(&CGameConfig::resultWinFilename)},
    {"battle", "resultLoseFilename", 115, Str(&CGameConfig::resultLoseFilename)},
    {"battle", "resultPosX", 116, Int(&CGameConfig::resultPosX), kOffset},
    {"battle", "resultPosY", 117, Int(&CGameConfig::resultPosY), kOffset},
    {"battle", "resultEffectNo", 118, Int(&CGameConfig::resultEffectNo), kEffectNo},
    {"battle", "resultAnimationLength", 119, Int(&CGameConfig::resultAnimationLength), kFrames},
    {"battle", "resultBltMethod", 120, Int(&CGameConfig::resultBltMethod), kUnread},
    {"battle", "bar1PosX", 121, Int(&CGameConfig::bar1PosX), kOffset},
    {"battle", "bar1PosY", 122, Int(&CGameConfig::bar1PosY), kOffset},
    {"battle", "bar2PosX", 123, Int(&CGameConfig::bar2PosX), kOffset},
    {"battle", "bar2PosY", 124, Int(&CGameConfig::bar2PosY), kOffset},
    {"battle", "bar1Width", 125, Int(&CGameConfig::bar1Width), kSize},
    {"battle", "bar1Height", 126, Int(&CGameConfig::bar1Height), kSize},
    {"battle", "bar2Width", 127, Int(&CGameConfig::bar2Width), kSize},
    {"battle", "bar2Height", 128, Int(&CGameConfig::bar2Height), kSize},
    {"battle", "bar1Filename", 129, Str(&CGameConfig::bar1Filename)},
    {"battle", "bar2Filename", 130, Str(&CGameConfig::bar2Filename)},
    {"battle", "bar1ShadowFilename", 131, Str(&CGameConfig::bar1ShadowFilename)},
    {"battle", "bar2ShadowFilename", 132, Str(&CGameConfig::bar2ShadowFilename)},
    {"battle", "bar1AnimationLength", 133, Int(&CGameConfig::bar1AnimationLength), kFrames},
    {"battle", "bar2AnimationLength", 134, Int(&CGameConfig::bar2AnimationLength), kFrames},
    {"battle", "bar1ShadowAnimationLength", 135, Int(&CGameConfig::bar1ShadowAnimationLength), kFrames},
    {"battle", "bar2ShadowAnimationLength", 136, Int(&CGameConfig::bar2ShadowAnimationLength), kFrames},
    {"battle", "bar1Direction", 137, Int(&CGameConfig::bar1Direction), kUnread},
    {"battle", "bar2Direction", 138, Int(&CGameConfig::bar2Direction), kUnread},
    {"battle", "bgFilename", 139, Str(&CGameConfig::bgFilename)},
    {"battle", "bgAnimationLength", 140, Int(&CGameConfig::bgAnimationLength), kFrames},
    {"battle", "bgEffectNo", 141, Int(&CGameConfig::bgEffectNo), kEffectNo},
    {"battle", "face1PosX", 142, Int(&CGameConfig::face1PosX), kOffset},
    {"battle", "face1PosY", 143, Int(&CGameConfig::face1PosY), kOffset},
    {"battle", "face2PosX", 144, Int(&CGameConfig::face2PosX), kOffset},
    {"battle", "face2PosY", 145, Int(&CGameConfig::face2PosY), kOffset},
    {"battle", "face1AnimationLength", 146, Int(&CGameConfig::face1AnimationLength), kFrames},
    {"battle", "face2AnimationLength", 147, Int(&CGameConfig::face2AnimationLength), kFrames},
    {"battle", "face1EffectNo", 148, Int(&CGameConfig::face1EffectNo), kEffectNo},
    {"battle", "face2EffectNo", 149, Int(&CGameConfig::face2EffectNo), kEffectNo},
    {"battle", "face1BltMethod", 150, Int(&CGameConfig::face1BltMethod), kUnread},
    {"battle", "face2BltMethod", 151, Int(&CGameConfig::face2BltMethod), kUnread},
    {"battle", "vsFilename", 152, Str(&CGameConfig::vsFilename)},
    {"battle", "vsPosX", 153, Int(&CGameConfig::vsPosX), kOffset},
    {"battle", "vsPosY", 154, Int(&CGameConfig::vsPosY), kOffset},
    {"battle", "vsEffectNo", 155, Int(&CGameConfig::vsEffectNo), kEffectNo},
    {"battle", "vsAnimationLength", 156, Int(&CGameConfig::vsAnimationLength), kFrames},
    {"battle", "vsBltMethod", 157, Int(&CGameConfig::vsBltMethod), kUnread},
    {"battle", "name1PosX", 158, Int(&CGameConfig::name1PosX), kOffset},
    {"battle", "name1PosY", 159, Int(&CGameConfig::name1PosY), kOffset},
    {"battle", "name2PosX", 160, Int(&CGameConfig::name2PosX), kOffset},
    {"battle", "name2PosY", 161, Int(&CGameConfig::name2PosY), kOffset},
    {"battle", "name1EffectNo", 162, Int(&CGameConfig::name1EffectNo), kEffectNo},
    {"battle", "name2EffectNo", 163, Int(&CGameConfig::name2EffectNo), kEffectNo},
    {"battle", "name1AnimationLength", 164, Int(&CGameConfig::name1AnimationLength), kFrames},
    {"battle", "name2AnimationLength", 165, Int(&CGameConfig::name2AnimationLength), kFrames},
    {"battle", "name1BltMethod", 166, Int(&CGameConfig::name1BltMethod), kUnread},
    {"battle", "name2BltMethod", 167, Int(&CGameConfig::name2BltMethod), kUnread},
    {"battle", "img1PosX", 168, Int(&CGameConfig::img1PosX), kOffset},
    {"battle", "img1PosY", 169, Int(&CGameConfig::img1PosY), kOffset},
    {"battle", "img2PosX", 170, Int(&CGameConfig::img2PosX), kOffset},
    {"battle", "img2PosY", 171, Int(&CGameConfig::img2PosY), kOffset},
    {"battle", "img1EffectNo", 172, Int(&CGameConfig::img1EffectNo), kEffectNo},
    {"battle", "img2EffectNo", 173, Int(&CGameConfig::img2EffectNo), kEffectNo},
    {"battle", "img1AnimationLength", 174, Int(&CGameConfig::img1AnimationLength), kFrames},
    {"battle", "img2AnimationLength", 175, Int(&CGameConfig::img2AnimationLength), kFrames},
    {"battle", "img1BltMethod", 176, Int(&CGameConfig::img1BltMethod), kUnread},
    {"battle", "img2BltMethod", 177, Int(&CGameConfig::img2BltMethod), kUnread},
    {"battle", "bgFilenameAfter", 178, Str(&CGameConfig::bgFilenameAfter)},
    {"battle", "name1AfterPosX", 179, Int(&CGameConfig::name1AfterPosX), kOffset},
    {"battle", "name1AfterPosY", 180, Int(&CGameConfig::name1AfterPosY), kOffset},
    {"battle", "name2AfterPosX", 181, Int(&CGameConfig::name2AfterPosX), kOffset},
    {"battle", "name2AfterPosY", 182, Int(&CGameConfig::name2AfterPosY), kOffset},
    {"layer", "xpos10", 200, Int(&CGameConfig::xpos10), kColumn},
    {"layer", "xpos11", 201, Int(&CGameConfig::xpos11), kColumn},
    {"layer", "xpos12", 202, Int(&CGameConfig::xpos12), kColumn},
    {"layer", "xpos13", 203, Int(&CGameConfig::xpos13), kColumn},
    {"layer", "xpos14", 204, Int(&CGameConfig::xpos14), kColumn},
    {"layer", "xpos15", 205, Int(&CGameConfig::xpos15), kColumn},
    {"battle", "seNo", 178, List(&CGameConfig::se, "se%d", 179), kCount},
    {"flash", "beforeAnimationLength", 180, Int(&CGameConfig::beforeAnimationLength), kFrames},
    {"flash", "afterAnimationLength", 181, Int(&CGameConfig::afterAnimationLength), kFrames},
    {"quake", "offset", 182, Int(&CGameConfig::offset), kUnread},
    {"quake", "count", 183, Int(&CGameConfig::count), kUnread},
};

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
            gConfig.*(*m) = row.range.Apply(gConfig.*(*m));
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
            count = row.range.Apply(count);
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
            if (const IntMember* m = std::get_if<IntMember>(&row.target))
                key.member = *m;
            out.push_back(key);
        }
        return out;
    }();
    return keys;
}

int ConfigRange::Apply(int value) const
{
    switch (kind) {
    case kFlag:
        return value != 0 ? 1 : 0;
    case kScreenMode:
        // Other values never chose a mode: the game starts in a window.
        return value == 16 || value == 24 || value == 32 ? value : 0;
    case kClamp:
        break;
    }
    return value < low ? low : value > high ? high : value;
}

const ConfigRange* FindConfigRange(const std::string& section, const std::string& key)
{
    for (const Row& row : kRows) {
        if (section == row.section && key == row.key && !std::holds_alternative<StrMember>(row.target))
            return &row.range;
    }
    return nullptr;
}
