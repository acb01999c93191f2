// The message instructions end to end: a scenario assembled from source runs
// in the executor against the message window, frame by frame, with real input
// events and the real frame draw.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "MessageWindowSettings.h"
#include "display/FastPlane.h"
#include "frame/CMouseInput.h"
#include "support/MainWindowFixture.h"
#include "game/DrawFrame.h"
#include "game/DrawQueue.h"
#include "game/FrameAnimation.h"
#include "game/GameConfig.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "game/TextHost.h"
#include "game/TextLabel.h"
#include "platform/EventInjection.h"
#include "frame/TextEncoding.h"
#include "platform/Window.h"
#include "support/ScenarioFixture.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
std::string Sjis(const char8_t* text) { return Utf8ToSjis(Utf8(text)); }

// The scenario's two pages: typed text with ruby and a name, then a choice.
const char8_t kScenario[] = u8R"(
        window 1
        name "ミオ"
        text "吾輩は"
        ruby "猫", "ねこ"
        text "である。"
        nl
        text "名前はまだ無い。"
        page
        link 1
        text "庭へ"
        endlink
        nl
        link 2
        text "書斎へ"
        endlink
        select $2
        name ""
        text "終わり"
        page
        end
)";

class Host : public scenario::ScenarioHost {
public:
    explicit Host(TextHost* text) : text_(text) {}
    uint32_t TickCount() override { return 0; }
    void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
    int SaveSystemData() override { return 0; }
    scenario::MessageService* Messages() override { return text_; }
    std::vector<std::string> messages;

private:
    TextHost* text_;
};

class RecordingLog : public TextLog {
public:
    void AddText(const std::string& text) override { page += text; }
    void AddRuby(const std::string& base, const std::string& reading) override { page += base + "(" + reading + ")"; }
    void AddLineBreak() override { page += "\n"; }
    void AddAnchor(int32_t id) override { page += "[" + std::to_string(id) + "]"; }
    void EndAnchor() override { page += "[/]"; }
    void SetName(const std::string& name) override { names.push_back(name); }
    void CommitPage() override
    {
        pages.push_back(page);
        page.clear();
    }
    void DiscardPage() override { page.clear(); }
    std::string page;
    std::vector<std::string> pages;
    std::vector<std::string> names;
};

class TextHostTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        saved_ = gConfig;
        gConfig.baseDir = "";
        game_test::MessageWindowSettings{.textPosY = 20, .textWidth = 660, .textHeight = 120, .namePosY = 0,
                                         .scriptFFx = 650, .scriptFFy = 8, .textSize = 22, .linespace = 6,
                                         .interval = 3}
            .Apply();
        std::filesystem::create_directories(folder_.path() + "/chip");
        game_test::WriteFlatPng(folder_.path() + "/chip/frame.png", 700, 160, 0x80203060u, true);
        game_test::WriteFlatPng(folder_.path() + "/chip/frameback.png", 700, 160, 0xFF000000u, true);
        game_test::WriteFlatPng(folder_.path() + "/chip/ff.png", 40, 16, 0xFF808080u, true);
        game_test::WriteFlatPng(folder_.path() + "/chip/marker.png", 12, 12, 0xFFFFFF00u, true);
        FlushFileLayerCache();

        files_.Add({{"text.nsd", Sjis(kScenario)}});
        ASSERT_EQ(back_.Create(800, 600), 0);
        text_ = std::make_unique<TextHost>(&queue_, nullptr, &mouse_, &executor_.fastForward);
        text_->Init();
        text_->SetLog(&log_);
        host_ = std::make_unique<Host>(text_.get());
        executor_.setFileReader(scenario_test::MemoryFiles::Read, &files_);
        executor_.setHost(host_.get());
        executor_.setSystemVariables(&systemInt_);
        ASSERT_TRUE(executor_.openScenario("text.nsd"));
    }
    void TearDown() override
    {
        executor_.closeScenario();
        text_.reset();
        gConfig = saved_;
        MainWindowFixture::TearDown();
    }

    // One game frame: input, the advance (finishing the typing first), the
    // scenario step and the frame draw. Returns the step's result.
    int Frame(bool advance = false)
    {
        platform::PumpMessages();
        mouse_.Update();
        text_->Update();
        scenario::StepInput input;
        input.advance = advance && !text_->OnAdvance();
        const int result = executor_.step(input);
        DrawScenarioFrame(&back_, &queue_, &executor_.dirtyRects(), {});
        return result;
    }
    int FramesUntil(const std::function<bool()>& done, int limit = 200)
    {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return i;
            EXPECT_EQ(Frame(), kStepContinue) << executor_.lastError();
        }
        return -1;
    }
    CTextDrawable* Text() { return text_->GetTextDrawable(); }
    // Any pixel of the run's rectangle on the back buffer in the colour 0x00RRGGBB.
    bool RunShows(const CTextDrawable::TextRun& run, uint32_t rgb)
    {
        int32_t x = 0;
        int32_t y = 0;
        Text()->GetPos(&x, &y);
        // Blending at level 255 may leave a channel one step short.
        auto near = [](uint32_t a, uint32_t b) {
            for (int s = 0; s <= 16; s += 8)
                if (std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)) > 2)
                    return false;
            return true;
        };
        const uint32_t bgr = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
        for (int py = run.rect.top; py < run.rect.bottom; ++py)
            for (int px = run.rect.left; px < run.rect.right; ++px)
                if (near(back_.GetPixel(x + px, y + py), bgr))
                    return true;
        return false;
    }

    game_test::GameFolder folder_;
    game_test::MessageBoxCatcher boxes_;
    CGameConfig saved_;
    scenario_test::MemoryFiles files_;
    std::map<int32_t, int32_t> systemInt_;
    ScenarioExecutor executor_;
    CDrawQueue queue_;
    CMouseInput mouse_;
    CFastPlane back_;
    RecordingLog log_;
    std::unique_ptr<TextHost> text_;
    std::unique_ptr<Host> host_;
};

}  // namespace

TEST_F(TextHostTest, a_page_types_out_with_ruby_and_name_and_waits_for_the_click)
{
    EXPECT_EQ(Frame(), kStepContinue);
    EXPECT_TRUE(Text()->Runs().empty()) << "the text waits for the window's fade-in";
    const int fade = FramesUntil([&] { return !Text()->Runs().empty(); });
    EXPECT_GE(fade, 1) << "the window instruction waits while the window fades in";
    EXPECT_EQ(text_->GetScriptFrame()->GetState(), CEffectBase::kStateDone);
    EXPECT_EQ(text_->GetScriptFrame()->GetNameLabel()->GetText(), Sjis(u8"ミオ")) << "the name instruction sets the name plate";

    const auto& runs = Text()->Runs();
    ASSERT_EQ(runs.size(), 3u + 1u + 2u + 4u + 8u) << "one run per character, ruby included";
    EXPECT_EQ(runs[4].flags, CTextDrawable::kRunRuby);
    EXPECT_EQ(runs[4].character + runs[5].character, Sjis(u8"ねこ"));
    EXPECT_EQ(runs[4].rect.bottom, runs[3].rect.top) << "the ruby stands over 猫";
    EXPECT_GT(runs[10].rect.top, runs[0].rect.top) << "nl starts a new line";

    const size_t before = Text()->Cursor();
    for (int i = 0; i < 6; ++i)
        Frame();
    EXPECT_EQ(Text()->Cursor(), before + 2) << "at interval 3, two characters in six frames";
    EXPECT_TRUE(RunShows(runs[0], 0xFFFFFF)) << "the first typed character must be on the screen in white";

    Frame(true);
    EXPECT_TRUE(log_.pages.empty()) << "a click while typing only finishes the page";
    Frame();
    EXPECT_FALSE(Text()->IsTyping()) << "the whole page is shown after the click";
    EXPECT_TRUE(RunShows(runs[runs.size() - 2], 0xFFFFFF)) << "the last characters must be on the screen";
    Frame();
    ASSERT_TRUE(Text()->GetMarker()->IsVisible()) << "the page-end marker shows when the page is typed";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Frame(), kStepContinue);
    EXPECT_EQ(Text()->Runs().size(), 18u) << "the page waits for a click";

    Frame(true);
    ASSERT_EQ(log_.pages.size(), 1u) << "the click ends the page and logs it";
    EXPECT_EQ(log_.pages[0], Sjis(u8"吾輩は猫(ねこ)である。\n名前はまだ無い。"));
    EXPECT_EQ(log_.names.at(0), Sjis(u8"ミオ"));
    ASSERT_EQ(log_.names.size(), 2u) << "the name still on the window starts the next page of the log";
    EXPECT_EQ(log_.names[1], Sjis(u8"ミオ"));
    EXPECT_FALSE(Text()->GetMarker()->IsVisible()) << "the marker goes with the page";
}

TEST_F(TextHostTest, a_link_is_chosen_by_clicking_it)
{
    FramesUntil([&] { return !Text()->Runs().empty(); });
    Frame(true);  // finish typing
    Frame();
    Frame(true);  // end the page
    FramesUntil([&] { return !Text()->Links().empty(); });
    FramesUntil([&] { return !Text()->IsTyping(); });
    Frame();
    ASSERT_EQ(Text()->Links().size(), 2u);
    EXPECT_EQ(Text()->GetState(), CTextDrawable::kStateLinks);
    const CTextDrawable::TextRun& run = Text()->Runs()[Text()->Links()[1].runs[1]];
    int32_t x = 0;
    int32_t y = 0;
    Text()->GetPos(&x, &y);
    const int cx = x + (run.rect.left + run.rect.right) / 2;
    const int cy = y + (run.rect.top + run.rect.bottom) / 2;
    platform::testing::PushMouseMotion(cx, platform::kMenuBarHeight + cy);
    Frame();
    Frame();
    EXPECT_TRUE(run.flags & CTextDrawable::kRunHover) << "the link under the mouse is lit";
    EXPECT_TRUE(RunShows(run, CTextDrawable::kHoverBack)) << "the lit link is drawn on its background";
    EXPECT_EQ(executor_.valsInt().count(2), 0u) << "no choice before the click";
    platform::testing::PushMouseButton(1, true, cx, platform::kMenuBarHeight + cy);
    Frame();
    EXPECT_EQ(executor_.valsInt()[2], 2) << "clicking the second link stores its id";
    EXPECT_TRUE(Text()->Links().empty()) << "the choice clears the page";
    EXPECT_EQ(log_.pages.back(), Sjis(u8"[1]庭へ[/]\n[2]書斎へ[/]")) << "each link's end is logged";
}

TEST_F(TextHostTest, skipping_types_at_once_and_presses_the_button)
{
    executor_.setFastForward(1);
    EXPECT_EQ(text_->GetScriptFrame()->GetButtonState(), CScriptFrame::kButtonPressed)
        << "fast-forward shows the pressed button";
    FramesUntil([&] { return !Text()->Runs().empty(); });
    EXPECT_EQ(Text()->Speed(), 0) << "text laid out while skipping types at once";
    const int frames = FramesUntil([&] { return !Text()->Links().empty(); }, 20);
    EXPECT_GE(frames, 0) << "skipping passes the click wait once the page is shown";
    ASSERT_EQ(log_.pages.size(), 1u);
    FramesUntil([&] { return executor_.fastForward == 0; }, 5);
    EXPECT_EQ(executor_.fastForward, 0) << "the choice ends skipping";
    EXPECT_EQ(text_->GetScriptFrame()->GetButtonState(), CScriptFrame::kButtonNormal);
}

TEST_F(TextHostTest, hiding_the_window_waits_for_its_fade)
{
    EXPECT_EQ(text_->ShowWindow(false), scenario::HostResult::kDone) << "a hidden window is hidden already";
    EXPECT_EQ(text_->ShowWindow(true), scenario::HostResult::kBusy);
    int frames = FramesUntil([&] { return text_->ShowWindow(true) == scenario::HostResult::kDone; });
    EXPECT_GT(frames, 0);
    EXPECT_EQ(text_->ShowWindow(false), scenario::HostResult::kBusy) << "hiding takes the fade";
    frames = FramesUntil([&] { return text_->ShowWindow(false) == scenario::HostResult::kDone; });
    EXPECT_GT(frames, 0);
    TextHost bare(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(bare.AddText("x"), scenario::HostResult::kFailed) << "a host without its window fails clearly";
    int32_t id = 0;
    EXPECT_EQ(text_->TakeChosenLink(&id), scenario::HostResult::kFailed) << "a choice without links cannot wait";
}

// The message window over a backdrop with the typed page: the name plate, the
// text, its ruby and the page-end marker are on the screen. With
// LANTERN_SNAPSHOT_DIR set the screen is also written as text_window.png.
TEST_F(TextHostTest, the_window_shows_name_text_ruby_and_marker_on_the_screen)
{
    CDrawable backdrop;
    auto* sky = new CFastPlane;
    ASSERT_EQ(sky->Create(800, 600), 0);
    for (int band = 0; band < 12; ++band) {
        Rect r{0, band * 50, 800, band * 50 + 50};
        sky->Clear(0x203050u + static_cast<uint32_t>(band) * 0x060808u, &r);
    }
    backdrop.SetPlane(sky);
    queue_.Insert(0, &backdrop);
    FramesUntil([&] { return !Text()->Runs().empty(); });
    Frame(true);
    FramesUntil([&] { return Text()->GetMarker()->IsVisible(); });
    Frame();

    const auto& runs = Text()->Runs();
    EXPECT_TRUE(RunShows(runs[0], 0xFFFFFF)) << "the text is on the screen";
    int32_t x = 0;
    int32_t y = 0;
    Text()->GetPos(&x, &y);
    int rubyInk = 0;
    for (size_t i = 4; i <= 5; ++i)
        for (int py = runs[i].rect.top; py < runs[i].rect.bottom; ++py)
            for (int px = runs[i].rect.left; px < runs[i].rect.right; ++px)
                rubyInk += (back_.GetPixel(x + px, y + py) & 0xFF) > 0xC0;
    EXPECT_GT(rubyInk, 5) << "the ruby over 猫 must be drawn";
    int32_t nx = 0;
    int32_t ny = 0;
    text_->GetScriptFrame()->GetNameLabel()->GetPos(&nx, &ny);
    int nameInk = 0;
    for (int py = ny; py < ny + 18; ++py)
        for (int px = nx; px < nx + 40; ++px)
            nameInk += (back_.GetPixel(px, py) & 0xFF) > 0xC0;
    EXPECT_GT(nameInk, 10) << "the name plate must show the speaker";
    int32_t mx = 0;
    int32_t my = 0;
    Text()->GetMarker()->GetPos(&mx, &my);
    EXPECT_EQ(back_.GetPixel(mx + 6, my + 6), 0x00FFFFu) << "the yellow marker must be drawn after the last character";

    if (const char* dir = std::getenv("LANTERN_SNAPSHOT_DIR")) {
        std::vector<uint32_t> argb(800 * 600);
        for (int py = 0; py < 600; ++py)
            for (int px = 0; px < 800; ++px) {
                const uint32_t bgr = back_.GetPixel(px, py);
                argb[static_cast<size_t>(py) * 800 + px] =
                    0xFF000000u | (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
            }
        EXPECT_TRUE(pngwrite::WritePngFile(std::string(dir) + "/text_window.png", 800, 600, argb, false));
    }
    queue_.Remove(0);
}

TEST_F(TextHostTest, a_loaded_game_restores_the_window_at_once)
{
    FramesUntil([&] { return !Text()->Runs().empty(); });
    text_->RestoreAfterLoad(false);
    EXPECT_TRUE(Text()->Runs().empty()) << "the page of the game left behind is cleared";
    EXPECT_EQ(text_->GetScriptFrame()->GetNameLabel()->GetText(), "") << "and its name";
    EXPECT_EQ(text_->GetScriptFrame()->IsShown(), 0) << "a save without the window hides it at once";
    text_->RestoreAfterLoad(true);
    EXPECT_EQ(text_->GetScriptFrame()->GetState(), CEffectBase::kStateDone) << "a save with the window shows it at once";
    EXPECT_EQ(text_->ShowWindow(true), scenario::HostResult::kDone);
}
