#pragma once
// CGameConfig and gConfig: every tunable value of the game, one member per
// key of the settings file "scenario\brask.ini", filled once at start-up by
// LoadConfig and then overlaid from the user system file (SystemData.h).
// Every part of the game reads the members directly.
#include <climits>
#include <map>
#include <string>
#include <vector>

class CGameConfig {
public:
    // Not from the settings file.
    int width = 0;     // start-up sets 800 after the user system file is read
    int height = 0;    // start-up sets 600
    std::string baseDir;  // folder prefix of picture paths; start-up sets ".\"
    std::map<int, int> systemInt;  // the scenario's system variables

    // From the settings file, in reading order. Where a key stands in two
    // sections the "vista" member carries the prefix vista.
    // [global]
    int mouseGuardTime = 0;
    std::string userini;
    int basewidth = 0;
    std::string UrlSundrel;
    std::string VersionString;
    std::string seDir;
    std::string bgDir;
    std::string eventpictDir;
    std::string scnstart;
    std::string savedataFormat;
    int defaultAnimationFrames = 0;
    int maxSaveSlot = 0;
    int cdLevel = 0;
    int seLevel = 0;
    std::string CDDADrive;
    std::string scnkaiso;
    std::string bgmDir;
    int useWindowsMP3Codec = 0;
    int bgmCDDA = 0;
    int windowMove = 0;
    int se2Level = 0;
    std::string voiceDir;
    int windowmode = 0;
    int omake1 = 0;
    int hideCGReplay = 0;
    // [scriptframe]
    int AnimationLength = 0;
    std::string FileName;
    std::string BackFileName;
    std::vector<std::string> ParaParaAnimationFileName;  // "ParaParaAnimations" names
    int ParaParaAnimationInterval = 0;
    int namePosX = 0;
    int namePosY = 0;
    int textPosX = 0;
    int textPosY = 0;
    int nameWidth = 0;
    int nameHeight = 0;
    int textWidth = 0;
    int textHeight = 0;
    std::string FFNormal;
    std::string FFOnMouse;
    std::string FFOnClick;
    int scriptFFx = 0;
    int scriptFFy = 0;
    int WaitMouse = 0;
    int Wait = 0;
    int BackColor = 0;
    // [vista]
    int vistaAnimationLength = 0;
    std::string vistaFileName;
    // [cmap]
    std::string nameFrameFileName;
    int nameTextSize = 0;
    std::string placeFrameFileName;
    int placeFrameSize = 0;
    // [text]
    int interval = 0;
    int textSize = 0;
    int rubySize = 0;
    int nameSize = 0;
    int maxchars = 0;
    int linespace = 0;
    int charspace = 0;
    // [battle]
    int winMaxRangeMin = 0;
    int winMaxRangeMax = 0;
    int winMinRangeMin = 0;
    int winMinRangeMax = 0;
    int loseMaxRangeMin = 0;
    int loseMaxRangeMax = 0;
    int ternRangeMin = 0;
    int ternRangeMax = 0;
    std::string resultWinFilename;
    std::string resultLoseFilename;
    int resultPosX = 0;
    int resultPosY = 0;
    int resultEffectNo = 0;
    int resultAnimationLength = 0;
    int resultBltMethod = 0;
    int bar1PosX = 0;
    int bar1PosY = 0;
    int bar2PosX = 0;
    int bar2PosY = 0;
    int bar1Width = 0;
    int bar1Height = 0;
    int bar2Width = 0;
    int bar2Height = 0;
    std::string bar1Filename;
    std::string bar2Filename;
    std::string bar1ShadowFilename;
    std::string bar2ShadowFilename;
    int bar1AnimationLength = 0;
    int bar2AnimationLength = 0;
    int bar1ShadowAnimationLength = 0;
    int bar2ShadowAnimationLength = 0;
    int bar1Direction = 0;
    int bar2Direction = 0;
    std::string bgFilename;
    int bgAnimationLength = 0;
    int bgEffectNo = 0;
    int face1PosX = 0;
    int face1PosY = 0;
    int face2PosX = 0;
    int face2PosY = 0;
    int face1AnimationLength = 0;
    int face2AnimationLength = 0;
    int face1EffectNo = 0;
    int face2EffectNo = 0;
    int face1BltMethod = 0;
    int face2BltMethod = 0;
    std::string vsFilename;
    int vsPosX = 0;
    int vsPosY = 0;
    int vsEffectNo = 0;
    int vsAnimationLength = 0;
    int vsBltMethod = 0;
    int name1PosX = 0;
    int name1PosY = 0;
    int name2PosX = 0;
    int name2PosY = 0;
    int name1EffectNo = 0;
    int name2EffectNo = 0;
    int name1AnimationLength = 0;
    int name2AnimationLength = 0;
    int name1BltMethod = 0;
    int name2BltMethod = 0;
    int img1PosX = 0;
    int img1PosY = 0;
    int img2PosX = 0;
    int img2PosY = 0;
    int img1EffectNo = 0;
    int img2EffectNo = 0;
    int img1AnimationLength = 0;
    int img2AnimationLength = 0;
    int img1BltMethod = 0;
    int img2BltMethod = 0;
    std::string bgFilenameAfter;
    int name1AfterPosX = 0;
    int name1AfterPosY = 0;
    int name2AfterPosX = 0;
    int name2AfterPosY = 0;
    // [layer]
    int xpos10 = 0;
    int xpos11 = 0;
    int xpos12 = 0;
    int xpos13 = 0;
    int xpos14 = 0;
    int xpos15 = 0;
    // [battle]
    std::vector<std::string> se;  // "seNo" names "se%d"
    // [flash]
    int beforeAnimationLength = 0;
    int afterAnimationLength = 0;
    // [quake]
    int offset = 0;
    int count = 0;};

extern CGameConfig gConfig;

// What an int key of the settings (or of the user system file) may hold.
struct ConfigRange {
    enum Kind { kClamp, kFlag, kScreenMode };
    int low = INT_MIN;
    int high = INT_MAX;
    Kind kind = kClamp;
    // The value brought into the range: clamped to [low, high]; a flag gives
    // 1 for any non-zero value; a screen mode other than 16, 24 or 32 gives 0.
    int Apply(int value) const;
};
// The range of the int key (section, key) of the settings file; null for a
// string key or an unknown one.
const ConfigRange* FindConfigRange(const std::string& section, const std::string& key);

// LoadConfig's results beyond the key codes: "userini" or "savedataFormat"
// names a file outside the game folder (WritePath.h), or the slot pattern is
// not one of a single number.
constexpr int kConfigUserIniOutside = 300;
constexpr int kConfigSaveDataOutside = 301;

// Reads the settings file into gConfig, each number brought into its range
// (ConfigRange): 0 when every key was read, 1 when the file cannot be
// loaded, else the code of the first missing key (earlier members keep what
// was read, later ones are untouched), or one of the codes above once every
// key is there. *why, when given, gets what failed ("not found",
// "key \"seDir\" missing from [global]").
int LoadConfig(std::string fileName, std::string* why = nullptr);

// One row of the settings table, in reading order (for tests and tools).
struct ConfigKey {
    const char* section;
    const char* key;
    int code;              // LoadConfig's result when the key is missing
    bool isInt;
    const char* namePattern = nullptr;  // list rows: the key of each name ("se%d")
    int nameCode = 0;                   // list rows: the code of a missing name
    int CGameConfig::*member = nullptr;  // int rows: the member it fills
};
const std::vector<ConfigKey>& ConfigKeys();
