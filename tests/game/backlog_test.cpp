// The backlog's log: pages kept and dropped, the view's scroll, and pages
// replayed into a text drawable.
#include <gtest/gtest.h>

#include "MessageWindowSettings.h"
#include "game/Backlog.h"
#include "game/GameConfig.h"
#include "game/TextDrawable.h"
#include "game/TextHost.h"
#include "game/TextLabel.h"

namespace {

// Commits n pages whose text is their number, counting on from `first`.
void CommitNumbered(CBacklog& log, int first, int n)
{
    for (int i = first; i < first + n; ++i) {
        log.AddText(std::to_string(i));
        log.CommitPage();
    }
}

std::string PageText(const CBacklogEntry& page)
{
    std::string text;
    for (const CBacklogItem& item : page.items)
        text += item.text;
    return text;
}

// The name of the page a line shows, "-" when it shows none.
std::string LineName(const CBacklog& log, int line)
{
    std::string name;
    return log.GetEntryInfo(&name, nullptr, line) == 0 ? name : "-";
}

}  // namespace

TEST(Backlog, past_500_pages_the_oldest_200_go_and_the_view_returns_to_the_newest)
{
    CBacklog log;
    CommitNumbered(log, 0, 500);
    ASSERT_EQ(log.Count(), 500u) << "500 pages are kept whole";
    log.Scroll(100);
    CommitNumbered(log, 500, 1);
    ASSERT_EQ(log.Count(), 301u) << "the 501st page drops the 200 oldest";
    EXPECT_EQ(PageText(log.Page(0)), "200") << "the oldest page left is the 201st";
    EXPECT_EQ(PageText(log.Page(300)), "500") << "the newest page is last";
    EXPECT_EQ(log.GetScroll(), 3) << "a commit puts the newest page on the bottom line";
}

TEST(Backlog, a_page_is_kept_only_with_an_item_or_a_name_and_keeps_its_voice)
{
    CBacklog log;
    log.SetVoice("voice\\lost.wav");
    log.CommitPage();
    EXPECT_EQ(log.Count(), 0u) << "a page without items or name is not kept";
    EXPECT_EQ(log.GetScroll(), -1) << "an empty log has no scroll";

    log.SetName("Mio");
    log.CommitPage();
    ASSERT_EQ(log.Count(), 1u) << "a page with only a name is kept";
    EXPECT_EQ(log.Page(0).voice, "") << "the voice of a dropped page does not pass to the next";

    log.SetVoice("voice\\mio01.wav");
    log.AddText("x");
    log.CommitPage();
    log.AddText("y");
    log.CommitPage();
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(log.Page(1).voice, "voice\\mio01.wav");
    EXPECT_EQ(log.Page(2).voice, "") << "the voice belongs to one page only";
    EXPECT_EQ(log.Page(2).name, "") << "a commit clears the name";

    log.AddText("half");
    log.SetVoice("voice\\a.wav");
    log.DiscardPage();
    log.CommitPage();
    EXPECT_EQ(log.Count(), 3u) << "a discarded page leaves nothing to commit";
}

TEST(Backlog, lines_show_the_pages_around_the_scroll_and_nothing_past_either_end)
{
    CBacklog log;
    std::string name;
    EXPECT_EQ(log.GetEntryInfo(&name, nullptr, 0), -1) << "an empty log";
    for (const char* n : {"p0", "p1"}) {
        log.SetName(n);
        log.CommitPage();
    }
    EXPECT_EQ(log.GetScroll(), 1) << "with two pages the commit's scroll 3 is held at 1";
    EXPECT_EQ(LineName(log, 0), "p0");
    EXPECT_EQ(LineName(log, 1), "p1");
    EXPECT_EQ(LineName(log, 2), "-") << "the lines below the newest page are empty";
    EXPECT_EQ(LineName(log, 3), "-");

    for (const char* n : {"p2", "p3", "p4"}) {
        log.SetName(n);
        log.CommitPage();
    }
    EXPECT_EQ(LineName(log, 0), "p1") << "four or more pages fill the screen, the newest at the bottom";
    EXPECT_EQ(LineName(log, 3), "p4");
    log.SetScroll(0);
    EXPECT_EQ(LineName(log, 0), "p4");
    EXPECT_EQ(LineName(log, 1), "-") << "past the newest page nothing is read";
    name = "kept";
    EXPECT_EQ(log.GetEntryInfo(&name, nullptr, 1), 1);
    EXPECT_EQ(name, "kept") << "outputs are written only for a page that exists";
    EXPECT_EQ(log.GetEntryInfo(&name, nullptr, -1), 0) << "a line above the top reads the page before";
    EXPECT_EQ(name, "p3");
    log.SetScroll(4);
    EXPECT_EQ(LineName(log, 0), "p0");
    EXPECT_EQ(LineName(log, -1), "-") << "before the oldest page nothing is read";
}

TEST(Backlog, scrolling_is_held_between_the_newest_and_the_oldest_page)
{
    CBacklog log;
    EXPECT_EQ(log.Scroll(1), -1) << "an empty log does not scroll";
    EXPECT_EQ(log.SetScroll(2), -1);
    CommitNumbered(log, 0, 5);
    EXPECT_EQ(log.Scroll(1), 0);
    EXPECT_EQ(log.GetScroll(), 4);
    EXPECT_EQ(log.Scroll(1), 2) << "one page past the oldest is held there";
    EXPECT_EQ(log.GetScroll(), 4);
    EXPECT_EQ(log.Scroll(-10), 1) << "past the newest is held at 0";
    EXPECT_EQ(log.GetScroll(), 0);
    EXPECT_EQ(log.SetScroll(9), 1);
    EXPECT_EQ(log.GetScroll(), 4);
    EXPECT_EQ(log.SetScroll(-3), 1) << "a negative scroll would read past the newest page";
    EXPECT_EQ(log.GetScroll(), 0);
    EXPECT_EQ(log.Scroll(INT32_MAX), 2) << "a huge step must not wrap";
    EXPECT_EQ(log.GetScroll(), 4);
}

class BacklogRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gConfig.width = 800;
        gConfig.basewidth = 800;
        gConfig.textSize = 20;
        gConfig.rubySize = 10;
    }

    // A page: "ab", ruby "r" over "c", a new line, the link 7 "de", then "f".
    static void FillPage(CBacklog& log)
    {
        log.SetName("Mio");
        log.AddText("ab");
        log.AddRuby("c", "r");
        log.AddLineBreak();
        log.AddAnchor(7);
        log.AddText("de");
        log.EndAnchor();
        log.AddText("f");
    }

    game_test::SettingsScope settings_;  // restores gConfig at the end
};

TEST_F(BacklogRenderTest, the_current_page_comes_back_with_its_link_ending_where_it_ended)
{
    CBacklog log;
    FillPage(log);
    CTextDrawable text(400, 120, -1);
    text.Layout("stale", -1);
    CTextLabel label;
    EXPECT_EQ(log.RenderCurrentPage(&text, &label), 0);
    EXPECT_EQ(label.GetText(), "Mio");
    const auto& runs = text.Runs();
    ASSERT_EQ(runs.size(), 7u) << "the old text is gone; a, b, c, its ruby, d, e, f remain";
    EXPECT_EQ(runs[3].flags, CTextDrawable::kRunRuby);
    EXPECT_EQ(runs[3].character, "r");
    EXPECT_GT(runs[4].rect.top, runs[0].rect.top) << "the line break is replayed";
    ASSERT_EQ(text.Links().size(), 1u);
    EXPECT_EQ(text.Links()[0].file, TextHost::kLinkFile);
    EXPECT_EQ(text.Links()[0].offset, 7);
    EXPECT_EQ(text.Links()[0].runs, (std::vector<size_t>{4, 5})) << "the link holds only its own text";
    EXPECT_EQ(runs[6].flags, 0u) << "the text after the link's end must not become part of the link";
}
