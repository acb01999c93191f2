#include "game/StarField.h"

#include <algorithm>
#include <cstdlib>

#include "display/FastPlane.h"
#include "frame/CRand.h"

void CStarField::Scatter()
{
    for (Star& s : stars_) {
        s.x = static_cast<float>(crt::rand() % kFieldWidth);
        s.y = static_cast<float>(crt::rand() % kFieldHeight);
        const double speed = (-5 - (crt::rand() % 20)) * 0.1;
        s.dx = static_cast<float>(speed);
        s.dy = static_cast<float>(speed * -1.0);
    }
    Place();
}

void CStarField::SetPictures(CFastPlane* slow, CFastPlane* fast)
{
    slow_ = slow;
    fast_ = fast;
    Place();
}

CFastPlane* CStarField::PictureOf(const Star& s) const
{
    return static_cast<int>(static_cast<double>(s.dx) * -0.5) == 0 ? slow_ : fast_;
}

Rect CStarField::PlaceOf(const Star& s) const
{
    CFastPlane* picture = PictureOf(s);
    if (!picture)
        return {};
    int w = 0, h = 0;
    picture->GetSize(&w, &h);
    const int x = static_cast<int>(s.x);
    const int y = static_cast<int>(s.y);
    return {x, y, x + w, y + h};
}

namespace {

int BandOf(int top, int bandHeight, int bands)
{
    return std::clamp(top / bandHeight, 0, bands - 1);
}

}  // namespace

void CStarField::Place()
{
    // A counting sort of the stars by band, each band in the field's order.
    std::array<uint16_t, kStarCount> bandOf{};
    std::array<uint16_t, kBands + 1> next{};
    tallest_ = 0;
    for (size_t i = 0; i < stars_.size(); ++i) {
        standsAt_[i] = PlaceOf(stars_[i]);
        tallest_ = std::max(tallest_, standsAt_[i].Height());
        bandOf[i] = static_cast<uint16_t>(BandOf(standsAt_[i].top, kBandHeight, kBands));
        ++next[bandOf[i] + 1u];
    }
    for (size_t b = 1; b < next.size(); ++b)
        next[b] = static_cast<uint16_t>(next[b] + next[b - 1]);
    bandStart_ = next;
    for (size_t i = 0; i < stars_.size(); ++i)
        byBand_[next[bandOf[i]]++] = static_cast<uint16_t>(i);
}

void CStarField::Draw(CPlaneBase* target, const Rect* clip)
{
    const auto draw = [&](const Star& s) {
        target->BltAuto(PictureOf(s), static_cast<int>(s.x), static_cast<int>(s.y), nullptr, nullptr, clip);
    };
    if (!clip) {
        for (const Star& s : stars_)
            draw(s);
        return;
    }
    // The stars whose top lies from one star's height above the clip to its
    // bottom, marked and then drawn in the field's order.
    std::array<uint64_t, (kStarCount + 63) / 64> meets{};
    const int first = BandOf(clip->top - tallest_, kBandHeight, kBands);
    const int last = BandOf(clip->bottom, kBandHeight, kBands);
    for (size_t k = bandStart_[static_cast<size_t>(first)]; k < bandStart_[static_cast<size_t>(last) + 1]; ++k) {
        const uint16_t i = byBand_[k];
        if (standsAt_[i].Overlaps(*clip))
            meets[i / 64] |= uint64_t{1} << (i % 64);
    }
    for (size_t w = 0; w < meets.size(); ++w) {
        for (uint64_t bits = meets[w]; bits != 0; bits &= bits - 1)
            draw(stars_[w * 64 + static_cast<size_t>(__builtin_ctzll(bits))]);
    }
}

void CStarField::MarkDrawn()
{
    drawnAt_ = standsAt_;
}

void CStarField::Move()
{
    for (Star& s : stars_) {
        s.x += s.dx;
        s.y += s.dy;
        if (s.x < 0)
            s.x += kFieldWidth;
        if (s.y > kFieldHeight)
            s.y -= kFieldHeight;
    }
    Place();
}

void CStarField::AddMovedRects(RectList* list) const
{
    for (size_t i = 0; i < stars_.size(); ++i) {
        const Rect& now = standsAt_[i];
        const Rect& was = drawnAt_[i];
        if (now == was)
            continue;
        // A star moves a few pixels a frame: both places make one small
        // rectangle, except when it wraps round the field.
        if (std::abs(now.left - was.left) < 16 && std::abs(now.top - was.top) < 16) {
            list->push_back(now.UnitedWith(was));
        } else {
            list->push_back(was);
            list->push_back(now);
        }
    }
}
