#include "game/StarField.h"

#include <algorithm>
#include <cstdlib>

#include "display/FastPlane.h"
#include "frame/CRand.h"

CStarField::CStarField() = default;
CStarField::~CStarField() = default;

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
    onBlackFormat_ = -1;
    Place();
}

namespace {

// picture blended over a black plane in pixelFormat; null when it cannot be made.
std::unique_ptr<CFastPlane> BlendedOnBlack(CFastPlane* picture, int pixelFormat)
{
    int w = 0, h = 0;
    if (picture)
        picture->GetSize(&w, &h);
    auto plane = std::make_unique<CFastPlane>();
    if (w <= 0 || h <= 0 || plane->CreateSurface(w, h, pixelFormat) != 0 || plane->Clear() != 0 ||
        plane->BltAuto(picture, 0, 0) != 0)
        return nullptr;
    return plane;
}

}  // namespace

CFastPlane* CStarField::OnBlackOf(const Star& s, CFastPlane* target)
{
    const int format = target->GetPixelFormat();
    if (format != onBlackFormat_) {
        slowOnBlack_ = BlendedOnBlack(slow_, format);
        fastOnBlack_ = BlendedOnBlack(fast_, format);
        onBlackFormat_ = format;
    }
    return PictureOf(s) == slow_ ? slowOnBlack_.get() : fastOnBlack_.get();
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

// The cell column or row holding pixel coordinate v, kept inside the grid.
int CellOf(int v, int cell, int cells)
{
    return std::clamp(v / cell, 0, cells - 1);
}

}  // namespace

void CStarField::Place()
{
    // A counting sort of the stars by cell, each cell in the field's order.
    std::array<uint16_t, kStarCount> cellOf{};
    std::array<uint16_t, kCellsWide * kCellsHigh + 1> next{};
    widest_ = 0;
    tallest_ = 0;
    for (size_t i = 0; i < stars_.size(); ++i) {
        const Rect& at = standsAt_[i] = PlaceOf(stars_[i]);
        widest_ = std::max(widest_, at.Width());
        tallest_ = std::max(tallest_, at.Height());
        cellOf[i] = static_cast<uint16_t>(CellOf(at.top, kCell, kCellsHigh) * kCellsWide +
                                          CellOf(at.left, kCell, kCellsWide));
        ++next[cellOf[i] + 1u];
    }
    for (size_t c = 1; c < next.size(); ++c)
        next[c] = static_cast<uint16_t>(next[c] + next[c - 1]);
    cellStart_ = next;
    for (size_t i = 0; i < stars_.size(); ++i)
        byCell_[next[cellOf[i]]++] = static_cast<uint16_t>(i);
}

void CStarField::Draw(CPlaneBase* target, const Rect* clip, bool onBlack)
{
    bool overBlack = onBlack && target->IsDisplayPlane();
    const auto draw = [&](const Star& s) {
        const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        CFastPlane* blended = overBlack ? OnBlackOf(s, static_cast<CFastPlane*>(target)) : nullptr;
        overBlack = false;
        if (blended)
            target->Blt(blended, x, y, nullptr, nullptr, clip);
        else
            target->BltAuto(PictureOf(s), x, y, nullptr, nullptr, clip);
    };
    if (!clip) {
        for (const Star& s : stars_)
            draw(s);
        return;
    }
    // The stars whose top-left corner lies from one star's size above and
    // left of the clip to its bottom and right, marked and then drawn in
    // the field's order.
    std::array<uint64_t, (kStarCount + 63) / 64> meets{};
    const int firstColumn = CellOf(clip->left - widest_, kCell, kCellsWide);
    const int lastColumn = CellOf(clip->right, kCell, kCellsWide);
    const int firstRow = CellOf(clip->top - tallest_, kCell, kCellsHigh);
    const int lastRow = CellOf(clip->bottom, kCell, kCellsHigh);
    for (int row = firstRow; row <= lastRow; ++row) {
        const size_t from = cellStart_[static_cast<size_t>(row * kCellsWide + firstColumn)];
        const size_t to = cellStart_[static_cast<size_t>(row * kCellsWide + lastColumn + 1)];
        for (size_t k = from; k < to; ++k) {
            const uint16_t i = byCell_[k];
            if (standsAt_[i].Overlaps(*clip))
                meets[i / 64] |= uint64_t{1} << (i % 64);
        }
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
