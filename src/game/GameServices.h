#pragma once
// GameServices: the game shell's side of the scenario executor's host
// interface for pictures, pans, the reveal band, quake, flash and movies. It
// creates the drawables the picture instructions ask for, owns them, and puts
// them in the game's draw queue under the instruction's key.
//
// The quake instruction gives axis, frames, envelope and amplitude; the flash
// instruction gives its colour and rises over "beforeAnimationLength" and
// falls over "afterAnimationLength" frames.
#include <cstdint>
#include <map>
#include <memory>

#include "game/SharedPictures.h"
#include "scenario/ScenarioHost.h"

class BacklogHost;
class CDrawable;
class CDrawQueue;
class CGame;
class CScrollRegionEffect;
class CPlaneBase;

class GameServices : public scenario::ScenarioHost,
                     public scenario::PictureService,
                     public scenario::ShellService {
public:
    // Keys below and above every scenario key: the black backdrop and the reveal band.
    static constexpr int32_t kBackdropKey = INT32_MIN;
    static constexpr int32_t kRevealBandKey = INT32_MAX;
    // The screen quake counts its duration in 1/30 of a frame.
    static constexpr int32_t kQuakeDurationPerFrame = 30;
    // What the pictures a save puts back may hold, in full screens of 32-bit
    // pixels (each file counted once): a scene shows a background, a few
    // characters and perhaps a pan a few screens long, so 64 is far above
    // any real scene, while a hostile save naming thousands of pictures is
    // stopped long before it can exhaust memory.
    static constexpr size_t kRestoreScreens = 64;

    // game may be null (tests of the pictures alone): PlayMovie then fails.
    GameServices(CDrawQueue* queue, CGame* game);
    // Takes the drawables it made out of the queue and deletes them.
    ~GameServices() override;
    GameServices(const GameServices&) = delete;
    GameServices& operator=(const GameServices&) = delete;

    // Puts a black backdrop of width x height under everything.
    void CreateBackdrop(int width, int height);

    // ---- ScenarioHost
    uint32_t TickCount() override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    int SaveSystemData() override;
    // A signal or a close of the window waits for the game's loop (platform::StopPending).
    bool StopRequested() override;
    scenario::PictureService* Pictures() override { return this; }
    scenario::MessageService* Messages() override { return messages_; }
    scenario::SoundService* Sounds() override { return sounds_; }
    scenario::ShellService* Shell() override { return this; }
    // The message window's service (not owned; null: none).
    void SetMessages(scenario::MessageService* messages) { messages_ = messages; }
    // The sound service (not owned; null: none).
    void SetSounds(scenario::SoundService* sounds) { sounds_ = sounds; }
    // The backlog (not owned; null: the backlog fails).
    void SetBacklog(BacklogHost* backlog) { backlog_ = backlog; }

    // ---- PictureService
    scenario::HostResult ShowPicture(const scenario::PictureLayer& layer, int32_t effect, bool replace) override;
    scenario::HostResult PanPicture(const scenario::PictureLayer& layer) override;
    scenario::HostResult RemovePicture(int32_t key) override;
    scenario::HostResult SetRevealBand(bool on) override;
    // kFailed when the pictures put back since ClearPictures would hold more
    // than RestoreLimit().
    scenario::HostResult RestorePicture(const scenario::PictureLayer& layer) override;
    scenario::HostResult ClearPictures() override;

    // The bytes restored pictures may hold together: kRestoreScreens screens
    // of gConfig's size, or more when this game's own pictures once held
    // more (so that the running game's pictures always fit back after a
    // refused load).
    size_t RestoreLimit() const;
    // The pixel bytes the scenario's pictures hold now, each file counted once.
    size_t PictureBytes() const { return pictures_.HeldBytes(); }

    // ---- ShellService
    scenario::HostResult PlayMovie(const std::string& name) override;
    // A frame count below 0 is taken as 0; one too large for the quake's
    // duration is clamped.
    scenario::HostResult StartQuake(int32_t axis, int32_t frames, int32_t envelope, int32_t amplitude) override;
    scenario::HostResult StartFlash(int32_t rgb) override;
    // The backlog host's step: kBusy while its screen is open.
    scenario::HostResult OpenBacklog() override;
    // The game's popup menu at the pointer (kFailed without a game).
    scenario::HostResult ShowPopupMenu() override;
    // Writes slot 99 (kFailed without a game). A failed write is logged and
    // the scenario goes on: the player did not ask for this save.
    scenario::HostResult SavePoint() override;
    // Stops the scene's sounds and music, takes its pictures away, then opens
    // the scene replay screen (kFailed without a game object).
    scenario::HostResult EndSceneReplay() override;
    scenario::HostResult ReturnToTitle() override;

private:
    // Stores drawable under key (the old one there is deleted).
    void Put(int32_t key, std::unique_ptr<CDrawable> drawable);
    // The shared picture of the layer's file; null (and the reason logged)
    // when a restore would pass RestoreLimit().
    std::shared_ptr<CPlaneBase> PictureOf(const scenario::PictureLayer& layer, bool restoring);
    scenario::HostResult MakePicture(const scenario::PictureLayer& layer, int32_t effect, bool animate,
                                     bool restoring);

    CDrawQueue* queue_;
    CGame* game_;
    scenario::MessageService* messages_ = nullptr;
    scenario::SoundService* sounds_ = nullptr;
    BacklogHost* backlog_ = nullptr;
    std::map<int32_t, std::unique_ptr<CDrawable>> owned_;
    SharedPictures pictures_;
    size_t peakBytes_ = 0;  // the most the pictures held while the game showed them
};
