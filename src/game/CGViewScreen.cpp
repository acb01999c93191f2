#include "game/CGViewScreen.h"

#include <cstdio>

#include "display/FastPlane.h"
#include "frame/CMouseInput.h"
#include "frame/FileLayer.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"
#include "game/ScreenTextFiles.h"
#include "game/SystemData.h"
#include "transition/SlitCurtainTransitions.h"

namespace {

constexpr int kMusicTrack = 12;
constexpr int kFadeStep = 51;
constexpr int kTitleX = 275;
constexpr int kTitleY = 550;
constexpr int kCounterX = 50;
constexpr int kCounterY = 550;
constexpr const char* kNotSeenThumbnail = "chip\\cg_notseen.png";
constexpr const char* kNotSeenPicture = "chip\\cg_bignotseen.png";

// The gallery only shows pictures: loading them must not record them as
// shown, or opening the gallery would unlock what it displays.
std::unique_ptr<CFastPlane> LoadUnrecorded(const std::string& name)
{
    return std::unique_ptr<CFastPlane>(CPictureLoader().Load(name));
}

bool Inside(int x, int y, int left, int top, CFastPlane* plane)
{
    int w = 0, h = 0;
    plane->GetSize(&w, &h);
    return x >= left && x < left + w && y >= top && y < top + h;
}

}  // namespace

CCGViewScreen::CCGViewScreen()
{
    title_.reset(LoadPictureOrTofu("chip\\cg_title.png"));
    std::string text;
    if (ReadGameTextFile("cg\\thumbgroup.txt", &text))
        groups_ = ParseThumbGroups(text);
    for (const auto& group : groups_) {
        for (const std::string& name : group) {
            ++total_;
            seen_ += IsPictureSeen(name);
        }
    }
    for (Plane& thumbnail : thumbnails_)
        thumbnail = std::make_unique<CFastPlane>();
    viewer_ = std::make_unique<CFastPlane>();
    const int pages = (static_cast<int>(std::min<size_t>(groups_.size(), kPerPage * kMaxItems)) + kPerPage - 1) /
                      kPerPage;
    SetItemCount(pages);
    SelectItem(0);
    PlayBGM(kMusicTrack);
    MakeCounter();
}

CCGViewScreen::~CCGViewScreen() = default;

int CCGViewScreen::IsPictureSeen(const std::string& name)
{
    if (gConfig.omake1 != 0)
        return 1;
    std::string lower = name;
    MakeLowerSjis(lower);
    return gSeenPictures.count(lower) ? 1 : 0;
}

int CCGViewScreen::IsGroupSeen(int group) const
{
    if (group < 0 || static_cast<size_t>(group) >= groups_.size())
        return 0;
    for (const std::string& name : groups_[static_cast<size_t>(group)]) {
        if (IsPictureSeen(name))
            return 1;
    }
    return 0;
}

int CCGViewScreen::SelectItem(int page)
{
    CCGReplayBase::SelectItem(page);
    thumbnailCount_ = 0;
    fade_ = 0;
    const int shown = SelectedItem();
    for (int k = 0; k < kPerPage; ++k) {
        const int g = shown * kPerPage + k;
        Plane& thumbnail = thumbnails_[static_cast<size_t>(k)];
        if (g < static_cast<int>(groups_.size())) {
            thumbnail = LoadUnrecorded(IsGroupSeen(g) ? "cg\\" + groups_[static_cast<size_t>(g)].front()
                                                      : kNotSeenThumbnail);
            ++thumbnailCount_;
        } else {
            thumbnail->Clear(0u, nullptr);
        }
    }
    return 0;
}

void CCGViewScreen::LoadViewer()
{
    const std::string& name = groups_[static_cast<size_t>(viewedGroup_)][static_cast<size_t>(viewedPicture_)];
    viewer_ = LoadUnrecorded(IsPictureSeen(name) ? "picture\\" + name : kNotSeenPicture);
}

int CCGViewScreen::ItemStep(CGameKeyInput*, CMouseInput* mouse)
{
    const bool left = mouse->IsLeftNewPress();
    const bool right = mouse->IsRightNewPress();
    if (viewedGroup_ >= 0) {
        if (!left && !right)
            return 0;
        ++viewedPicture_;
        if (static_cast<size_t>(viewedPicture_) >= groups_[static_cast<size_t>(viewedGroup_)].size())
            viewedGroup_ = -1;
        else
            LoadViewer();
        return 0;
    }
    if (!left)
        return 0;
    int x = 0, y = 0;
    mouse->GetPos(&x, &y);
    for (int k = 0; k < thumbnailCount_; ++k) {
        const int g = SelectedItem() * kPerPage + k;
        if (Inside(x, y, ThumbnailX(k), ThumbnailY(k), thumbnails_[static_cast<size_t>(k)].get()) && IsGroupSeen(g)) {
            viewedGroup_ = g;
            viewedPicture_ = 0;
            LoadViewer();
            break;
        }
    }
    return 0;
}

void CCGViewScreen::MakeCounter()
{
    std::array<Plane, 11> digits;  // 0-9, then the picture for any other character
    for (size_t i = 0; i < digits.size(); ++i) {
        digits[i] = std::make_unique<CFastPlane>();
        digits[i]->LoadFile(i < 10 ? "chip\\num_" + std::to_string(i) + ".png" : "chip\\num_s.png");
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", seen_, total_);
    auto pictureOf = [&](char c) { return digits[c >= '0' && c <= '9' ? static_cast<size_t>(c - '0') : 10].get(); };
    int width = 0, height = 0;
    for (const char* p = text; *p; ++p) {
        int w = 0;
        pictureOf(*p)->GetSize(&w, &height);
        width += w;
    }
    counter_ = std::make_unique<CFastPlane>();
    if (counter_->Create(width, height) != 0)
        return;  // no digit pictures: no counter
    counter_->Clear(0u, nullptr);
    int x = 0;
    for (const char* p = text; *p; ++p) {
        CFastPlane* digit = pictureOf(*p);
        counter_->AlphaBlt(digit, x, 0);
        int w = 0, h = 0;
        digit->GetSize(&w, &h);
        x += w;
    }
}

int CCGViewScreen::DrawContents(CPlaneBase* target, const Rect& clip)
{
    CCGReplayBase::DrawContents(target, clip);
    if (viewedGroup_ >= 0) {
        target->Blt(viewer_.get(), 0, 0);
        return 0;
    }
    target->AlphaBlt(title_.get(), kTitleX, kTitleY);
    fade_ = std::min(fade_ + kFadeStep, 255);
    for (int k = 0; k < thumbnailCount_; ++k) {
        CFastPlane* thumbnail = thumbnails_[static_cast<size_t>(k)].get();
        if (fade_ >= 255)
            target->Blt(thumbnail, ThumbnailX(k), ThumbnailY(k));
        else
            SlitCurtainBlt1(target, thumbnail, ThumbnailX(k), ThumbnailY(k), fade_, kDrawModeBlt, 255, nullptr);
    }
    target->BltColorKey(counter_.get(), kCounterX, kCounterY);
    return 0;
}
