// The frame draw: two passes over the queue and the merged rectangle list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <memory>
#include <random>

#include "GameTestPlanes.h"
#include "game/DrawFrame.h"
#include "game/DrawQueue.h"
#include "game/EffectPicture.h"
#include "support/PlaneTestSupport.h"

namespace {


// Logs every call the frame draw makes on it, in order.
class LoggingDrawable : public CDrawable {
public:
    LoggingDrawable(std::string name, std::vector<std::string>* log, RectList rects = {})
        : tag_(std::move(name)), log_(log), rects_(std::move(rects))
    {
    }
    int AddDirtyRects(CPlaneBase*, RectList* list) override
    {
        log_->push_back(tag_ + ":dirty");
        list->insert(list->end(), rects_.begin(), rects_.end());
        return rects_.empty() ? 0 : 1;
    }
    void BeginDraw() override { log_->push_back(tag_ + ":begin"); }
    int OnDraw(CPlaneBase*, const Rect* clip) override
    {
        log_->push_back(tag_ + ":draw " + std::to_string(clip->left) + "," + std::to_string(clip->top) + "," +
                        std::to_string(clip->right) + "," + std::to_string(clip->bottom));
        return 0;
    }
    void EndDraw() override { log_->push_back(tag_ + ":end"); }

private:
    std::string tag_;
    std::vector<std::string>* log_;
    RectList rects_;
};

TEST(DrawFrame, pass_one_collects_then_pass_two_draws_each_rectangle_in_key_order)
{
    std::vector<std::string> log;
    LoggingDrawable back("back", &log, {{0, 0, 10, 10}});
    LoggingDrawable front("front", &log, {{50, 50, 60, 60}});
    CDrawQueue queue;
    queue.Insert(5, &front);
    queue.Insert(-1, &back);
    RecordingPlane target(100, 100);
    RectList list;
    DrawScenarioFrame(&target, &queue, &list, {{90, 90, 95, 95}});
    const std::vector<std::string> expected = {
        "back:dirty",       "front:dirty",        "back:begin",       "back:draw 90,90,95,95",
        "back:draw 0,0,10,10", "back:draw 50,50,60,60", "back:end", "front:begin",
        "front:draw 90,90,95,95", "front:draw 0,0,10,10", "front:draw 50,50,60,60", "front:end"};
    EXPECT_EQ(log, expected) << "the cursor's rectangle first, then the drawables' in key order";
    EXPECT_TRUE(list.empty()) << "the list is emptied after the frame";
}

TEST(DrawFrame, merge_unites_overlapping_and_touching_rectangles_and_clips)
{
    RectList list = {{0, 0, 10, 10}, {5, 5, 20, 20}, {40, 40, 50, 50}, {20, 0, 30, 5},
                     {-10, -10, -1, -1}, {95, 95, 200, 200}, {3, 3, 3, 9}};
    MergeDirtyRects(&list, {0, 0, 100, 100});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_NE(std::find(list.begin(), list.end(), Rect{0, 0, 30, 20}), list.end())
        << "overlapping and edge-touching rectangles become their union";
    EXPECT_NE(std::find(list.begin(), list.end(), Rect{40, 40, 50, 50}), list.end());
    EXPECT_NE(std::find(list.begin(), list.end(), Rect{95, 95, 100, 100}), list.end()) << "clipped to the target";
}

TEST(DrawFrame, merged_rectangles_never_overlap_so_no_pixel_is_drawn_twice)
{
    // A chain where the union of the first two meets a third seen earlier.
    RectList list = {{0, 20, 5, 25}, {0, 0, 10, 10}, {8, 8, 30, 22}};
    MergeDirtyRects(&list, {0, 0, 100, 100});
    for (size_t i = 0; i < list.size(); ++i)
        for (size_t j = i + 1; j < list.size(); ++j) {
            const Rect& a = list[i];
            const Rect& b = list[j];
            EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                << "two merged rectangles overlap: a blend would be drawn twice there";
        }
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (Rect{0, 0, 30, 25}));
}

TEST(DrawFrame, still_screen_redraws_only_the_cursor_area)
{
    CDrawable picture;
    picture.SetPlane(new RecordingPlane(100, 100));
    CDrawQueue queue;
    queue.Insert(0, &picture);
    RecordingPlane target(100, 100);
    RectList list;
    DrawScenarioFrame(&target, &queue, &list, {});
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_TRUE(target.calls[0].clipRect == (Rect{0, 0, 100, 100})) << "a new picture is drawn whole once";
    target.calls.clear();
    RectList drawn = {{1, 1, 2, 2}};
    DrawScenarioFrame(&target, &queue, &list, {{10, 10, 20, 20}, {15, 15, 25, 25}, {-9, -9, -1, -1}}, &drawn);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_TRUE(target.calls[0].clipRect == (Rect{10, 10, 25, 25})) << "a still screen repaints only under the cursor";
    // The display compares only these with the last presented frame: every
    // rectangle drawn on must be among them, or its change would never show.
    EXPECT_EQ(drawn, (RectList{{1, 1, 2, 2}, {10, 10, 25, 25}}))
        << "the merged rectangles drawn on are added after what the list held";
}

// A finished picture (its show over) at (x, y) by blit mode, over a plane
// of w x h random opaque pixels.
std::unique_ptr<CEffectPicture> StillPicture(std::mt19937& rng, int w, int h, int x, int y, int32_t blit)
{
    auto plane = std::make_unique<CFastPlane>();
    EXPECT_EQ(plane->CreateSurface(w, h, pixfmt::kBGRX32), 0);
    planetest::FillRandom(*plane, rng);
    plane->SetColorKey(0x000000u);
    auto p = std::make_unique<CEffectPicture>();
    p->SetPlane(plane.release());
    p->SetPos(x, y);
    p->SetBlitMode(blit);
    p->SetFrameRange(4, 0, -1);
    p->SetAttr(1, 0);
    return p;
}

// A stack whose upper pictures hide the lower ones in part or in full, a
// keyed and a hidden picture among them, and a blend running on top.
std::vector<std::unique_ptr<CEffectPicture>> Stack(uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::unique_ptr<CEffectPicture>> s;
    s.push_back(StillPicture(rng, 200, 150, 0, 0, kBlitPlain));
    s.push_back(StillPicture(rng, 200, 150, 0, 0, kBlitPlain));
    s.push_back(StillPicture(rng, 200, 60, 0, 0, kBlitPlain));      // hides the top band
    s.push_back(StillPicture(rng, 50, 150, 150, 0, kBlitPlain));    // hides the right band
    s.push_back(StillPicture(rng, 120, 80, 40, 40, kBlitColorKey)); // lets the rest show through
    s.push_back(StillPicture(rng, 200, 150, 0, 0, kBlitPlain));
    s.back()->SetVisible(false);                                    // a hidden picture covers nothing
    s.push_back(StillPicture(rng, 60, 60, 10, 70, kBlitPlain));
    s.back()->SetEffectNumber(49);
    s.back()->SetFrameRange(10, 0, -1);
    s.back()->SetAttr(1, 1);                                        // a transition blends with what is below
    return s;
}

TEST(DrawFrame, pictures_hidden_by_an_opaque_picture_above_give_the_same_pixels)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        auto ours = Stack(seed);
        auto plain = Stack(seed);
        CFastPlane target, expected;
        ASSERT_EQ(target.CreateSurface(200, 150, pixfmt::kBGRX32), 0);
        ASSERT_EQ(expected.CreateSurface(200, 150, pixfmt::kBGRX32), 0);
        CDrawQueue queue;
        for (size_t i = 0; i < ours.size(); ++i)
            queue.Insert(static_cast<int32_t>(i), ours[i].get());
        RectList list;
        for (int frame = 0; frame < 3; ++frame) {
            // The queue repaints the whole screen while the blend runs; the
            // reference draws every picture over all of it, bottom to top.
            DrawScenarioFrame(&target, &queue, &list, {{0, 0, 200, 150}});
            const Rect all{0, 0, 200, 150};
            for (auto& p : plain) {
                p->BeginDraw();
                p->OnDraw(&expected, &all);
                p->EndDraw();
            }
            ASSERT_EQ(planetest::Snapshot(target), planetest::Snapshot(expected))
                << "seed " << seed << ", frame " << frame << ": skipping what is covered changed the picture";
        }
    }
}

// The clips, empty ones left out, with which ten full pictures and a top
// picture covering only band of the screen are drawn.
std::vector<Rect> ClipsDrawnUnder(const Rect& band)
{
    std::mt19937 rng(7);
    std::vector<std::unique_ptr<CEffectPicture>> stack;
    for (int i = 0; i < 10; ++i)
        stack.push_back(StillPicture(rng, 100, 100, 0, 0, kBlitPlain));
    stack.push_back(StillPicture(rng, band.Width(), band.Height(), band.left, band.top, kBlitPlain));
    CDrawQueue queue;
    for (size_t i = 0; i < stack.size(); ++i)
        queue.Insert(static_cast<int32_t>(i), stack[i].get());
    RecordingPlane target(100, 100);
    RectList list;
    DrawScenarioFrame(&target, &queue, &list, {{0, 0, 100, 100}});
    EXPECT_EQ(target.calls.size(), stack.size()) << "each picture is offered the rectangle once";
    std::vector<Rect> drawnClips;
    for (const PlaneCall& c : target.calls) {
        EXPECT_TRUE(c.clipRect) << "every picture is still asked to draw, with a clip";
        if (c.clipRect && !c.clipRect->IsEmpty())
            drawnClips.push_back(*c.clipRect);
    }
    return drawnClips;
}

TEST(DrawFrame, only_what_shows_is_drawn_under_opaque_pictures)
{
    // The nine pictures under the top full one draw nothing; it draws only
    // what the band leaves, cut at the band's edge: a pixel further would
    // leave a gap, a pixel short draws for nothing.
    const Rect all{0, 0, 100, 100};
    EXPECT_EQ(ClipsDrawnUnder({0, 70, 100, 100}), (std::vector<Rect>{{0, 0, 100, 70}, all})) << "bottom band";
    EXPECT_EQ(ClipsDrawnUnder({0, 0, 100, 30}), (std::vector<Rect>{{0, 30, 100, 100}, all})) << "top band";
    EXPECT_EQ(ClipsDrawnUnder({0, 0, 30, 100}), (std::vector<Rect>{{30, 0, 100, 100}, all})) << "left band";
    EXPECT_EQ(ClipsDrawnUnder({70, 0, 100, 100}), (std::vector<Rect>{{0, 0, 70, 100}, all})) << "right band";
}

}  // namespace
