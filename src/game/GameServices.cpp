#include "game/GameServices.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "display/FastPlane.h"
#include "game/BacklogHost.h"
#include "game/DrawQueue.h"
#include "game/EffectPicture.h"
#include "game/ErrorReport.h"
#include "game/Game.h"
#include "game/GameConfig.h"
#include "game/ScrollRegionEffect.h"
#include "game/SystemData.h"
#include "game/VerticalPanPicture.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/Time.h"

using scenario::HostResult;
using scenario::PictureLayer;

GameServices::GameServices(CDrawQueue* queue, CGame* game) : queue_(queue), game_(game) {}

GameServices::~GameServices()
{
    for (auto& [key, drawable] : owned_) {
        if (queue_->Find(key) == drawable.get())
            queue_->Remove(key);
    }
}

void GameServices::Put(int32_t key, std::unique_ptr<CDrawable> drawable)
{
    queue_->Replace(key, drawable.get());
    owned_[key] = std::move(drawable);  // deletes the one it replaces
}

void GameServices::CreateBackdrop(int width, int height)
{
    auto plane = std::make_unique<CFastPlane>();
    if (plane->Create(width, height) != 0)
        return;
    plane->Clear(0x000000u, nullptr);
    auto backdrop = std::make_unique<CDrawable>();
    backdrop->SetPlane(plane.release());
    Put(kBackdropKey, std::move(backdrop));
}

uint32_t GameServices::TickCount() { return platform::GetTicks(); }

bool GameServices::StopRequested() { return platform::StopPending(); }

void GameServices::ShowMessage(const std::string& text, const std::string& caption)
{
    platform::ShowMessageBox(text, caption, platform::MessageBoxKind::Ok);
}

int GameServices::SaveSystemData() { return ::SaveSystemData(gConfig.userini); }

size_t GameServices::RestoreLimit() const
{
    const size_t screen =
        static_cast<size_t>(std::max(gConfig.width, 1)) * static_cast<size_t>(std::max(gConfig.height, 1)) * 4;
    return std::max(screen * kRestoreScreens, peakBytes_);
}

std::shared_ptr<CPlaneBase> GameServices::PictureOf(const PictureLayer& layer, bool restoring)
{
    std::shared_ptr<CPlaneBase> plane = pictures_.Get(gConfig.baseDir + layer.name);
    const size_t held = pictures_.HeldBytes();
    if (!restoring) {
        peakBytes_ = std::max(peakBytes_, held);
        return plane;
    }
    const size_t limit = RestoreLimit();
    if (held > limit) {
        WriteErrorLine("saved pictures refused at " + layer.name + ": they would hold " + std::to_string(held >> 20) +
                       " MiB, more than the " + std::to_string(limit >> 20) + " MiB a save may restore");
        return nullptr;
    }
    return plane;
}

HostResult GameServices::MakePicture(const PictureLayer& layer, int32_t effect, bool animate, bool restoring)
{
    std::unique_ptr<CEffectPicture> picture;
    if (layer.kind == scenario::kLayerPan) {
        auto pan = std::make_unique<CVerticalPanPicture>();
        pan->SetPanDirection(layer.direction);
        pan->SetFrameRange(layer.frames, 0, -1);
        picture = std::move(pan);
    } else {
        picture = std::make_unique<CEffectPicture>();
        picture->SetEffectNumber(effect);
        picture->SetPos(layer.x, layer.y);
        picture->SetBlitMode(layer.blit);
        picture->SetFrameRange(gConfig.defaultAnimationFrames, 0, -1);
    }
    std::shared_ptr<CPlaneBase> plane = PictureOf(layer, restoring);
    if (!plane || picture->SetSharedPicture(layer.name, std::move(plane)) != 0)
        return HostResult::kFailed;
    // Running from frame 0 plays the transition (or the pan); a restored
    // picture stands at its end at once.
    picture->SetAttr(1, animate ? 1 : 0);
    Put(layer.key, std::move(picture));
    return HostResult::kDone;
}

HostResult GameServices::ShowPicture(const PictureLayer& layer, int32_t effect, bool replace)
{
    // A replace changes the picture of the drawable under the key and runs the
    // transition again; with nothing there it is a plain show.
    auto it = owned_.find(layer.key);
    auto* existing = it == owned_.end() ? nullptr : dynamic_cast<CEffectPicture*>(it->second.get());
    if (replace && existing && !dynamic_cast<CVerticalPanPicture*>(existing)) {
        existing->SetEffectNumber(effect);
        existing->SetPos(layer.x, layer.y);
        existing->SetBlitMode(layer.blit);
        if (existing->SetSharedPicture(layer.name, PictureOf(layer, false)) != 0)
            return HostResult::kFailed;
        existing->SetAttr(0, 0);  // back to frame 0 ...
        existing->SetAttr(1, 1);  // ... and show from there
        return HostResult::kDone;
    }
    return MakePicture(layer, effect, true, false);
}

HostResult GameServices::PanPicture(const PictureLayer& layer)
{
    return MakePicture(layer, 0, true, false);
}

HostResult GameServices::RemovePicture(int32_t key)
{
    if (queue_->Find(key) == owned_[key].get())
        queue_->Remove(key);
    owned_.erase(key);
    return HostResult::kDone;
}

HostResult GameServices::SetRevealBand(bool on)
{
    if (!on) {
        RemovePicture(kRevealBandKey);
        return HostResult::kDone;
    }
    auto band = std::make_unique<CScrollRegionEffect>();
    band->SetFrameRange(gConfig.vistaAnimationLength, 0, -1);
    band->LoadPicture(gConfig.vistaFileName);
    band->SetAttr(1, 1);
    Put(kRevealBandKey, std::move(band));
    return HostResult::kDone;
}

HostResult GameServices::RestorePicture(const PictureLayer& layer)
{
    return MakePicture(layer, CEffectPicture::kDefaultEffect, false, true);
}

HostResult GameServices::ClearPictures()
{
    for (auto it = owned_.begin(); it != owned_.end();) {
        if (it->first == kBackdropKey) {
            ++it;
            continue;
        }
        if (queue_->Find(it->first) == it->second.get())
            queue_->Remove(it->first);
        it = owned_.erase(it);
    }
    return HostResult::kDone;
}

HostResult GameServices::PlayMovie(const std::string& name)
{
    if (!game_)
        return HostResult::kFailed;
    game_->PlayMovie(name, CGame::kMovieScenario);
    return HostResult::kDone;
}

HostResult GameServices::EndSceneReplay()
{
    if (!game_)
        return HostResult::kFailed;
    // The scene's sounds end with it, before the replay screen starts its
    // music; its pictures go too, so nothing of it shows after the screen.
    game_->executor.stopSounds(true);
    ClearPictures();
    game_->OpenScreen(3);
    return HostResult::kDone;
}

HostResult GameServices::ReturnToTitle()
{
    if (!game_)
        return HostResult::kFailed;
    game_->ReturnToTitle();
    return HostResult::kDone;
}

HostResult GameServices::ShowPopupMenu()
{
    if (!game_)
        return HostResult::kFailed;
    int x = 0, y = 0;
    game_->mouse.GetPos(&x, &y);
    game_->ShowPopupMenu(x, y);
    return HostResult::kDone;
}

HostResult GameServices::SavePoint()
{
    if (!game_)
        return HostResult::kFailed;
    game_->SavePoint();
    return HostResult::kDone;
}

HostResult GameServices::OpenBacklog()
{
    return backlog_ ? backlog_->Step() : HostResult::kFailed;
}

HostResult GameServices::StartQuake(int32_t axis, int32_t frames, int32_t envelope, int32_t amplitude)
{
    const int32_t limit = INT32_MAX / kQuakeDurationPerFrame;
    const int32_t clamped = frames < 0 ? 0 : (frames > limit ? limit : frames);
    queue_->Quake().StartQuake(axis, clamped * kQuakeDurationPerFrame, envelope, amplitude);
    return HostResult::kDone;
}

HostResult GameServices::StartFlash(int32_t rgb)
{
    queue_->Quake().StartFlash(rgb & 0xFFFFFF, gConfig.beforeAnimationLength, gConfig.afterAnimationLength);
    return HostResult::kDone;
}
