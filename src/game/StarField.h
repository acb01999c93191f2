#pragma once
// CStarField: the start menu's drifting stars. Each star drifts left and
// down at its own speed and wraps round the 800 x 600 field; the slow ones
// are drawn with one picture, the fast ones (dx -2.0 and below) with
// another. The field remembers where each star was last drawn, so a frame
// can repaint only where stars left and arrived.
#include <array>
#include <cstdint>
#include <memory>

#include "game/Drawable.h"

class CPlaneBase;
class CFastPlane;

class CStarField {
public:
    CStarField();
    ~CStarField();

    static constexpr int kStarCount = 256;
    static constexpr int kFieldWidth = 800;
    static constexpr int kFieldHeight = 600;

    struct Star {
        float x, y, dx, dy;
    };

    // Scatters the stars with the runtime's rand (not seeded here): three
    // draws per star, x, y, speed, so a seeded generator gives the same sky.
    void Scatter();

    // The pictures of the slow and the fast stars (not owned; null draws nothing).
    void SetPictures(CFastPlane* slow, CFastPlane* fast);
    // Draws every star where it stands, in order, within clip (null: all of
    // target). onBlack: the target is all black there, as Clear leaves it, so
    // the first star drawn blends over black only: on a display plane it is
    // copied from its picture blended over black once, the same pixels
    // without reading the target.
    void Draw(CPlaneBase* target, const Rect* clip, bool onBlack = false);
    // Where every star stands now counts as drawn.
    void MarkDrawn();
    // Moves every star one frame on, wrapping at the left and bottom edges.
    void Move();
    // Appends, for each star that stands elsewhere than where it was last
    // drawn, one rectangle holding its old and its new place: after Draw
    // and MarkDrawn, every pixel the stars change lies in one of them.
    void AddMovedRects(RectList* list) const;

    const Star& At(int i) const { return stars_[static_cast<size_t>(i)]; }

private:
    CFastPlane* PictureOf(const Star& s) const;
    // The rectangle star s covers where it stands; empty without a picture.
    Rect PlaceOf(const Star& s) const;
    // Brings standsAt_ up to where the stars stand now.
    void Place();
    // Star s's picture blended over black in target's pixel format (made
    // when first asked for in that format); null without one.
    CFastPlane* OnBlackOf(const Star& s, CFastPlane* target);

    // Stars by the cell of kCell x kCell pixels their top-left corner stands
    // in, cells numbered along rows, for finding the few that meet a small
    // rectangle: cell c's stars are byCell_[cellStart_[c]] to
    // byCell_[cellStart_[c + 1] - 1], so the cells of one row that a
    // rectangle reaches hold one run of stars. All of it fits a few lines
    // of the cache, which a frame's many lookups share.
    static constexpr int kCell = 16;
    static constexpr int kCellsWide = kFieldWidth / kCell + 1;
    static constexpr int kCellsHigh = kFieldHeight / kCell + 1;

    std::array<Star, kStarCount> stars_{};
    std::array<Rect, kStarCount> standsAt_{};
    std::array<uint16_t, kCellsWide * kCellsHigh + 1> cellStart_{};
    std::array<uint16_t, kStarCount> byCell_{};
    int widest_ = 0, tallest_ = 0;
    std::array<Rect, kStarCount> drawnAt_{};
    CFastPlane* slow_ = nullptr;
    CFastPlane* fast_ = nullptr;
    // slow_ and fast_ blended over black in pixel format onBlackFormat_ (-1: not made).
    std::unique_ptr<CFastPlane> slowOnBlack_, fastOnBlack_;
    int onBlackFormat_ = -1;
};
