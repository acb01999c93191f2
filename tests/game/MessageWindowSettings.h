#pragma once
// The one settings builder of the message-window tests: an 800 x 600 game at
// base width 800 whose window pictures lie in chip\ of the start folder. A
// test states only the values it is about; the rest are these defaults.
#include <string>
#include <vector>

#include "game/GameConfig.h"

namespace game_test {

struct MessageWindowSettings {
    int textPosX = 20, textPosY = 40, textWidth = 700, textHeight = 100;
    int namePosX = 20, namePosY = 10, nameWidth = 200, nameHeight = 24;
    int scriptFFx = 700, scriptFFy = 10;
    int textSize = 20, rubySize = 10, nameSize = 18, linespace = 4, interval = 0, backColor = 160;
    std::string ffNormal = "chip\\ff.png", ffOnMouse = "chip\\ff.png", ffOnClick = "chip\\ff.png";

    // Writes them, with the game size and the window's pictures, into gConfig.
    void Apply() const
    {
        gConfig.width = 800;
        gConfig.height = 600;
        gConfig.basewidth = 800;
        gConfig.AnimationLength = 4;
        gConfig.FileName = "chip\\frame.png";
        gConfig.BackFileName = "chip\\frameback.png";
        gConfig.ParaParaAnimationFileName = {"chip\\marker.png"};
        gConfig.ParaParaAnimationInterval = 4;
        gConfig.FFNormal = ffNormal;
        gConfig.FFOnMouse = ffOnMouse;
        gConfig.FFOnClick = ffOnClick;
        gConfig.textPosX = textPosX;
        gConfig.textPosY = textPosY;
        gConfig.textWidth = textWidth;
        gConfig.textHeight = textHeight;
        gConfig.namePosX = namePosX;
        gConfig.namePosY = namePosY;
        gConfig.nameWidth = nameWidth;
        gConfig.nameHeight = nameHeight;
        gConfig.scriptFFx = scriptFFx;
        gConfig.scriptFFy = scriptFFy;
        gConfig.textSize = textSize;
        gConfig.rubySize = rubySize;
        gConfig.nameSize = nameSize;
        gConfig.linespace = linespace;
        gConfig.interval = interval;
        gConfig.BackColor = backColor;
    }
};

// Restores the settings a test changed when it ends.
class SettingsScope {
public:
    SettingsScope() : saved_(gConfig) {}
    ~SettingsScope() { gConfig = saved_; }
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;

private:
    CGameConfig saved_;
};

}  // namespace game_test
