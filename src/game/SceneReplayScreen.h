#pragma once
// CSceneReplayScreen: replays scenes already seen. A row of nine character
// faces at the top, the chosen character's bust rising from the bottom edge,
// and a page of up to four scene thumbnails with a tab per four scenes. A
// click on a seen scene ends the screen with 0x200; the frame loop then asks
// findScene for the scene's position in "scenario\scenejump.dat" and starts
// the replay there. The character and page picked last are remembered for
// the rest of the process.
#include <array>
#include <map>
#include <memory>
#include <string>

#include "game/CGReplayBase.h"
#include "game/ScreenTextFiles.h"

class CSceneReplayScreen : public CCGReplayBase {
public:
    static constexpr int kPerPage = 4;

    // Reads the character keys ("replay\characters.txt"), their pictures and
    // scene lists, and "scenario\scene.dat" (a message box when it is
    // missing, empty or of another format; the screen goes on); shows the
    // remembered character and page; starts music track 15.
    CSceneReplayScreen();
    ~CSceneReplayScreen() override;

    // The chosen scene's position; 0 (entered as 0) for a scene the map lacks.
    int findScene();
    // 1 with "omake1", else 1 when the scene is in gSceneSeen.
    static int IsSceneSeen(int scene);
    // Clamps to 0..8, shows that character's bust and scene tabs, page 0. 0.
    int SelectCharacter(int character);
    // Selects the page and fills its thumbnails from the page then selected. 0.
    int SelectItem(int page) override;
    // A left click on a face selects that character; on a seen scene's
    // thumbnail it picks the scene and ends with 0x200. 0.
    int ItemStep(CGameKeyInput* keys, CMouseInput* mouse) override;
    int DrawContents(CPlaneBase* target, const Rect& clip) override;

    int SelectedCharacter() const { return character_; }
    int ThumbnailCount() const { return thumbnailCount_; }
    int SceneAt(int k) const { return scenes_[static_cast<size_t>(k)]; }
    int ChosenScene() const { return chosen_; }
    int BustOffset() const { return bustOffset_; }
    const std::map<unsigned int, std::string>& SceneList(int character) const
    {
        return lists_[static_cast<size_t>(character)];
    }
    static int FaceX(int i) { return 140 + 70 * i; }
    static int ThumbnailX(int k) { return 230 + 250 * (k % 2); }
    static int ThumbnailY(int k) { return 120 + 210 * (k / 2); }
    // The character and page remembered across openings (-1: none yet).
    static int RememberedCharacter();
    static int RememberedPage();
    static void ForgetRemembered();

private:
    using Plane = std::unique_ptr<CFastPlane>;
    void ReadScenePositions();

    std::array<std::string, kReplayCharacters> keys_;
    Plane title_;
    Plane bust_;
    int bustOffset_ = 0;
    int character_ = 0;
    // Character i plain at 2 i, selected at 2 i + 1.
    std::array<Plane, 2 * kReplayCharacters> faces_;
    std::array<Plane, kPerPage> thumbnails_;
    int thumbnailCount_ = 0;
    std::array<int, kPerPage> scenes_{};
    std::array<std::map<unsigned int, std::string>, kReplayCharacters> lists_;
    std::map<int, int> positions_;
    int chosen_ = 0;
};
