#include "game/CGReplayBase.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "display/FastPlane.h"
#include "game/PictureLoader.h"

namespace {

constexpr int kTitleButton = -1;
constexpr int kTabX = 762;
constexpr int kTabTop = 160;
constexpr int kTabStep = 56;
constexpr double kSlideStep = 0.4;

}  // namespace

CCGReplayBase::CCGReplayBase()
{
    back_.reset(LoadPictureOrTofu("chip\\cgreplay_back.png"));
    for (int i = 0; i < kMaxItems; ++i) {
        for (char state : {'d', 'l'}) {
            const std::string name = "chip\\cgreplay_" + std::to_string(i + 1) + state + ".png";
            tabs_[static_cast<size_t>(2 * i + (state == 'l'))].reset(LoadPictureOrTofu(name));
        }
    }
    Setup("chip\\cgreplay_hittest.png");
    SetItemCount(kMaxItems);
}

CCGReplayBase::~CCGReplayBase() = default;

int CCGReplayBase::Update(CGameKeyInput* keys, CMouseInput* mouse)
{
    if (CGameScreen::Update(keys, mouse) == 0)
        ItemStep(keys, mouse);
    return IsDone() ? Result() : 0;
}

int CCGReplayBase::ButtonFromHitColor(unsigned long color)
{
    switch (color) {
    case 0x0000F0: return 1;
    case 0x00F0F0: return 2;
    case 0x00F000: return 3;
    case 0xF0F000: return 4;
    case 0xF00000: return 5;
    case 0xF000F0: return kTitleButton;
    default: return 0;
    }
}

int CCGReplayBase::OnLeftClick(unsigned long color)
{
    const int b = ButtonFromHitColor(color);
    if (b < 0)
        EndScreen(kScreenBackToTitle);
    else
        SelectItem(b - 1);
    return 0;
}

int CCGReplayBase::SetItemCount(int n)
{
    itemCount_ = n < 0 ? 0 : std::min(n, kMaxItems);
    return 0;
}

int CCGReplayBase::SelectItem(int index)
{
    index = std::clamp(index, 0, kMaxItems);
    if (index < itemCount_) {
        selected_ = index;
        slide_ = kSlideStart;
    }
    return 0;
}

int CCGReplayBase::ItemStep(CGameKeyInput*, CMouseInput*)
{
    return 0;
}

int CCGReplayBase::DrawContents(CPlaneBase* target, const Rect&)
{
    target->BltColorKey(back_.get(), 0, 0);
    slide_ = std::min(slide_ + kSlideStep, kSlideEnd);
    for (int i = 0; i < itemCount_; ++i) {
        // Each tab eases onto x = 762 two time units (five frames) after the
        // one above it.
        const double offset = std::min(std::exp(2.0 * i - slide_), static_cast<double>(INT_MAX - kTabX));
        const int x = kTabX + static_cast<int>(offset);
        CFastPlane* tab = tabs_[static_cast<size_t>(2 * i + (i == selected_))].get();
        target->AlphaBlt(tab, x, kTabTop + kTabStep * i);
    }
    return 0;
}
