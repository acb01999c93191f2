// CPresentedFrame: which parts of a frame differ from the one presented
// before it, and that the copy follows what was reported.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/PresentedFrame.h"

namespace {

struct Pixels {
    int w, h, bpp;
    int32_t pitch;
    std::vector<uint8_t> bytes;
    Pixels(int w_, int h_, int bpp_, int pad = 0) : w(w_), h(h_), bpp(bpp_), pitch(w_ * bpp_ + pad), bytes(static_cast<size_t>(pitch) * h_, 0) {}
    void Set(int x, int y, uint8_t v) { bytes[static_cast<size_t>(pitch) * y + static_cast<size_t>(x) * bpp + bpp - 1] = v; }
    std::vector<Rect> Take(CPresentedFrame& f, const std::vector<Rect>* areas = nullptr)
    {
        return f.TakeChanges(bytes.data(), pitch, w, h, bpp, areas);
    }
};

}  // namespace

TEST(PresentedFrame, first_frame_and_a_new_size_differ_everywhere_then_an_equal_frame_nowhere)
{
    CPresentedFrame frame;
    Pixels p(40, 30, 4, 12);
    EXPECT_EQ(p.Take(frame), (std::vector<Rect>{{0, 0, 40, 30}})) << "nothing was presented yet";
    EXPECT_TRUE(p.Take(frame).empty()) << "the same frame again must not be presented";
    Pixels q(40, 30, 2);
    EXPECT_EQ(q.Take(frame), (std::vector<Rect>{{0, 0, 40, 30}})) << "another pixel size is a new frame";
    frame.Forget();
    EXPECT_EQ(q.Take(frame), (std::vector<Rect>{{0, 0, 40, 30}})) << "after Forget the window's picture is unknown";
}

TEST(PresentedFrame, whole_frame_scan_finds_bands_joins_close_ones_and_caps_their_number)
{
    CPresentedFrame frame;
    Pixels p(20, 200, 3);
    p.Take(frame);
    p.Set(19, 10, 1);   // last pixel of a row: the comparison covers whole rows
    p.Set(0, 20, 1);    // close to row 10: one band
    p.Set(5, 100, 1);   // far away: a band of its own
    EXPECT_EQ(p.Take(frame), (std::vector<Rect>{{0, 10, 20, 21}, {0, 100, 20, 101}}));
    EXPECT_TRUE(p.Take(frame).empty()) << "reported changes are taken into the copy";
    for (int y = 0; y < 200; y += 20) p.Set(1, y, 2);
    EXPECT_EQ(p.Take(frame), (std::vector<Rect>{{0, 0, 20, 181}})) << "ten far-apart bands go up as one rectangle";
}

TEST(PresentedFrame, promised_areas_are_clipped_and_only_their_changed_rows_reported)
{
    CPresentedFrame frame;
    Pixels p(64, 48, 2, 6);
    p.Take(frame);
    p.Set(10, 5, 7);
    p.Set(12, 9, 7);
    p.Set(60, 40, 7);  // drawn outside what was promised: the promise is trusted
    const std::vector<Rect> areas{{8, 0, 16, 16}, {-5, 44, 3, 60}, {70, 0, 90, 10}};
    EXPECT_EQ(p.Take(frame, &areas), (std::vector<Rect>{{8, 5, 16, 10}}))
        << "only the rows of the promised area that differ, in the area's columns";
    const std::vector<Rect> whole{{0, 0, 64, 48}};
    EXPECT_EQ(p.Take(frame, &whole), (std::vector<Rect>{{0, 40, 64, 41}})) << "rows 5 and 9 were taken, row 40 was not";
    p.Set(2, 46, 9);
    EXPECT_EQ(p.Take(frame, &areas), (std::vector<Rect>{{0, 46, 3, 47}})) << "an area partly outside the frame is clipped";
}

TEST(PresentedFrame, uncompared_areas_go_up_clipped_and_the_next_compared_frame_whole)
{
    CPresentedFrame frame;
    Pixels p(64, 48, 4);
    const std::vector<Rect> areas{{8, 0, 16, 16}, {-5, 44, 3, 60}, {70, 0, 90, 10}};
    EXPECT_EQ(frame.TakeUncompared(areas, 64, 48, 4), (std::vector<Rect>{{0, 0, 64, 48}}))
        << "nothing was presented yet: the whole frame goes up";
    EXPECT_EQ(frame.TakeUncompared(areas, 64, 48, 4), (std::vector<Rect>{{8, 0, 16, 16}, {0, 44, 3, 48}}))
        << "unchanged or not, the areas go up, cut to the frame";
    EXPECT_EQ(frame.TakeUncompared(areas, 64, 40, 4), (std::vector<Rect>{{0, 0, 64, 40}})) << "another size is a new frame";
    // The copy did not follow the uncompared frames: comparing with it could
    // miss a change back to what it holds.
    EXPECT_EQ(p.Take(frame), (std::vector<Rect>{{0, 0, 64, 48}})) << "the frame after them is compared with nothing";
    EXPECT_TRUE(p.Take(frame).empty());
    frame.TakeUncompared(areas, 64, 48, 4);
    frame.Forget();
    EXPECT_EQ(frame.TakeUncompared(areas, 64, 48, 4), (std::vector<Rect>{{0, 0, 64, 48}}))
        << "after Forget the window's picture is unknown";
}
