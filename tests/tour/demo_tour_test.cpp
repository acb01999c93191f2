// The demo game played from its start menu to the quit question with real
// SDL events, the way a player goes through it: a new game with its
// pictures, sounds, ruby, name input and choice; a save through the popup;
// back to the title and the save loaded again; the backlog with a voice
// replayed; the gallery; a scene replay; the options; quitting, the last
// question answered from the keyboard in the real box. Every step
// checks the game's state and what the screen shows, and writes a numbered
// screenshot (LANTERN_TOUR_SHOTS, else "tour" in the build folder) for a
// person to look at.
//
// The demo folder is the one scripts/build-demo makes (LANTERN_DEMO_DIR); the
// test plays a copy, so saves and the user file stay out of it. The frames
// run at the game's own pace because the demo's scenario waits in
// milliseconds; every wait for a state is bounded by a number of frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "game/BacklogScreen.h"
#include "game/CGViewScreen.h"
#include "game/GameMenus.h"
#include "game/NameInputDialog.h"
#include "game/OptionsDialog.h"
#include "game/SaveSlots.h"
#include "game/SceneReplayScreen.h"
#include "game/ScriptFrame.h"
#include "game/StartMenuScreen.h"
#include "game/SystemData.h"
#include "game/TextDrawable.h"
#include "game/WinMain.h"
#include "game/ScreenTestSupport.h"
#include "platform/Dialog.h"
#include "platform/EventInjection.h"
#include "platform/MessageBox.h"
#include "frame/TextEncoding.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "sound/MediaObject.h"
#include "scenario/SceneSeen.h"
#include "sound/ScenarioSound.h"

namespace {

namespace fs = std::filesystem;
namespace inject = platform::testing;
using namespace game_test;

std::string Sjis(const char8_t* text) { return Utf8ToSjis(reinterpret_cast<const char*>(text)); }

// What the client area shows, as 0x00RRGGBB rows top-down.
struct Picture {
    std::vector<uint32_t> pixels;
    int w = 0;
    int h = 0;
    Rgb At(int x, int y) const
    {
        const uint32_t p = pixels[static_cast<size_t>(y) * w + x];
        return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
    }
    // How many pixels of the rectangle differ from other's by more than 24 in a channel.
    int Differing(const Picture& other, int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const Rgb a = At(x, y), b = other.At(x, y);
                n += std::abs(a.r - b.r) > 24 || std::abs(a.g - b.g) > 24 || std::abs(a.b - b.b) > 24;
            }
        return n;
    }
    double Brightness(int left, int top, int right, int bottom) const
    {
        double sum = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const Rgb c = At(x, y);
                sum += c.r + c.g + c.b;
            }
        return sum / (3.0 * (right - left) * (bottom - top));
    }
};

fs::path ShotFolder()
{
    if (const char* dir = std::getenv("LANTERN_TOUR_SHOTS"))
        return dir;
    const char* build = std::getenv("LANTERN_BUILD_DIR");
    return fs::path(build ? build : ".") / "tour";
}

void WriteShot(const Picture& picture, const std::string& name)
{
    if (picture.pixels.empty())
        return;
    std::vector<uint32_t> argb(picture.pixels);
    for (uint32_t& p : argb)
        p |= 0xFF000000u;
    EXPECT_TRUE(WritePng((ShotFolder() / (name + ".png")).string(), picture.w, picture.h, argb, false))
        << "screenshot " << name;
}

// The last frame presented, read back from the window (the back buffer on
// the headless driver), written as the step's screenshot.
Picture Shoot(CGame& game, const std::string& name)
{
    Picture picture;
    EXPECT_TRUE(game.display.Output()->ReadClientArea(&picture.pixels, &picture.w, &picture.h))
        << "the window must read back for " << name;
    for (uint32_t& p : picture.pixels)
        p &= 0x00FFFFFFu;
    WriteShot(picture, name);
    return picture;
}

// The whole window with the ImGui overlay (menus, dialogs), from a modal turn.
Picture ShootWindow(const std::string& name)
{
    Picture picture;
    EXPECT_TRUE(inject::CaptureWindow(&picture.pixels, &picture.w, &picture.h)) << "the window must read back";
    WriteShot(picture, name);
    return picture;
}

// Runs steps one per turn of the nested loops to come (menus, dialogs); a
// step answering false is tried again next turn. After the script, or after
// too many turns, Esc closes whatever is still open so a fault cannot hang.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<bool()>> steps) : steps_(std::move(steps))
    {
        inject::SetModalTurnHook([this] {
            ++turns_;
            if (next_ < steps_.size() && turns_ < 80) {
                if (steps_[next_]())
                    ++next_;
                doneAt_ = turns_;
                return;
            }
            // A click pushed in the last step takes a few turns to land.
            if (turns_ - doneAt_ > 6)
                inject::PushKey(platform::Key::Escape, turns_ % 2 == 0);
        });
    }
    ~ModalScript() { inject::SetModalTurnHook(nullptr); }
    bool Done() const { return next_ == steps_.size(); }
    // For a failure's message: how far the script came.
    std::string Progress() const
    {
        return "step " + std::to_string(next_) + " of " + std::to_string(steps_.size()) + " after " +
               std::to_string(turns_) + " turns";
    }

private:
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    int turns_ = 0;
    int doneAt_ = 0;
};

std::function<bool()> PointAtItem(int level, int position)
{
    return [=] {
        int x = 0, y = 0;
        if (!inject::OpenMenuItemCentre(level, position, &x, &y))
            return false;
        inject::PushMouseMotion(x, y);
        return true;
    };
}
std::function<bool()> ClickItem(int level, int position)
{
    return [=] {
        int x = 0, y = 0;
        if (!inject::OpenMenuItemCentre(level, position, &x, &y))
            return false;
        inject::PushMouseMotion(x, y);
        inject::PushMouseButton(1, true, x, y);
        inject::PushMouseButton(1, false, x, y);
        return true;
    };
}
std::function<bool()> Idle()
{
    return [] { return true; };
}
std::function<bool()> Key(platform::Key key, bool down)
{
    return [=] { return inject::PushKey(key, down); };
}

// The demo copied into a fresh folder, its settings loaded as the game's.
struct DemoCopy {
    DemoCopy()
    {
        saved = gConfig;
        const char* demo = std::getenv("LANTERN_DEMO_DIR");
        if (!demo || !fs::exists(fs::path(demo) / "scenario" / "brask.ini"))
            return;
        fs::copy(demo, folder.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        FlushFileLayerCache();
        built = LoadConfig("scenario\\brask.ini") == 0;
        gConfig.width = 800;
        gConfig.height = 600;
        gConfig.baseDir = ".\\";
        gSeenPictures.clear();
        gSceneSeen.clear();
        fs::create_directories(ShotFolder());
    }
    ~DemoCopy() { gConfig = saved; }
    CGameConfig saved;
    GameFolder folder;
    bool built = false;
    std::string Path(const std::string& name) const { return folder.path() + "/" + name; }
};

// Frames until pred holds, at most limit; the failure names the scenario's place.
::testing::AssertionResult Reaches(CGame& game, const std::function<bool()>& pred, int limit)
{
    if (RunUntil(game, pred, limit))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not within " << limit << " frames (scenario "
                                         << game.executor.scenarioName() << " at " << game.executor.position()
                                         << (game.executor.failed() ? ", error: " + game.executor.lastError() : "")
                                         << ")";
}
#define RUN_UNTIL(game, pred, limit, what) ASSERT_TRUE(Reaches(game, [&]() -> bool { return pred; }, limit)) << what

bool PageShown(CGame& game)
{
    CTextDrawable* text = game.text.GetTextDrawable();
    return game.text.GetScriptFrame()->GetState() == 1 && !text->Runs().empty() && !text->IsTyping();
}

std::string PageText(CGame& game)
{
    std::string all;
    for (const CTextDrawable::TextRun& run : game.text.GetTextDrawable()->Runs())
        all += run.character;
    return all;
}

// A left click at client (x, y): the press in one frame, the release in the next.
void Click(CGame& game, int x, int y, int button = 1) { ASSERT_TRUE(ClickAt(game, x, y, button)); }

// Clicks the middle of link id's first character in the message window.
void ClickLink(CGame& game, size_t link)
{
    CTextDrawable* text = game.text.GetTextDrawable();
    ASSERT_LT(link, text->Links().size()) << "the choice must show its links";
    const Rect r = text->Runs()[text->Links()[link].runs.front()].rect;
    int32_t x = 0, y = 0;
    text->GetPos(&x, &y);
    const int cx = x + (r.left + r.right) / 2, cy = y + (r.top + r.bottom) / 2;
    ASSERT_TRUE(MoveTo(game, cx, cy));
    Click(game, cx, cy);
}

void PopupPath(CGame& game, const std::vector<std::function<bool()>>& steps, const std::string& shot)
{
    std::vector<std::function<bool()>> all = steps;
    // The screenshot is taken in the turn the last item is pointed at.
    all.insert(all.end() - 1, [shot] {
        ShootWindow(shot);
        return true;
    });
    ModalScript script(all);
    inject::PushMouseMotion(400, 200 + platform::kMenuBarHeight);
    inject::PushMouseButton(3, true, 400, 200 + platform::kMenuBarHeight);
    inject::PushMouseButton(3, false, 400, 200 + platform::kMenuBarHeight);
    for (int i = 0; i < 4 && !script.Done(); ++i)
        ASSERT_TRUE(FrameWith(game));
    EXPECT_TRUE(script.Done()) << "the popup path could not be followed: " << script.Progress();
}

// Opens a menu-bar title and follows the steps through its menu.
void MenuBarPath(CGame& game, int title, const std::vector<std::function<bool()>>& steps)
{
    ModalScript script(steps);
    int x = 0, y = 0;
    ASSERT_TRUE(inject::MenuBarTitleCentre(title, &x, &y)) << "the menu bar must be drawn";
    inject::PushMouseMotion(x, y);
    inject::PushMouseButton(1, true, x, y);
    inject::PushMouseButton(1, false, x, y);
    FrameWith(game);
    EXPECT_TRUE(script.Done()) << "the menu path could not be followed: " << script.Progress();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(DemoTour, the_whole_game_from_start_menu_to_quit)
{
    DemoCopy demo;
    if (!demo.built)
        GTEST_SKIP() << "LANTERN_DEMO_DIR must name the folder scripts/build-demo makes";
    std::vector<std::string> boxes;
    int answer = platform::kIdYes;
    platform::SetMessageBoxResponder([&](const std::string& text, const std::string&, platform::MessageBoxKind kind) {
        boxes.push_back(text);
        return kind == platform::MessageBoxKind::YesNo ? answer : platform::kIdOk;
    });
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        game.paced = true;  // the scenario's waits are in milliseconds
        ASSERT_TRUE(game.Start());

        // 1. The start menu, after the start-up movies.
        RUN_UNTIL(game, dynamic_cast<CStartMenuScreen*>(game.screen) != nullptr, 300, "the start menu must open");
        // The mouse guard of the first frames passes before anything is clicked.
        RUN_UNTIL(game, game.mouse.GetGuard() <= 0, 100, "the mouse guard must run out");
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(game.Frame());
        Picture menu = Shoot(game, "01-start-menu");
        const Rgb logo = menu.At(200, 100);
        EXPECT_TRUE(logo.r == 255 && logo.g == 214 && logo.b == 120) << "the title is drawn where the menu puts it";

        // 2. New game: the first pictures come in through transitions.
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(1)));
        EXPECT_EQ(game.screen, nullptr) << "the start button closes the menu";
        EXPECT_EQ(game.executor.scenarioName(), "pictures.nsd") << "the first scenario calls the pictures tour";
        RUN_UNTIL(game, game.drawQueue.Find(11) != nullptr, 400, "the second sprite must come in");
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(game.Frame());
        Picture transition = Shoot(game, "02-transition-whorl");
        EXPECT_GT(transition.Differing(menu, 0, 0, 800, 600), 800 * 600 / 2) << "the room replaced the start menu";

        // 3. The quake shakes the picture; the flash brightens it.
        RUN_UNTIL(game, game.drawQueue.Quake().GetState() == CScreenQuake::kQuake, 400, "the quake must start");
        const Picture before = transition;
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        Picture quake = Shoot(game, "03-quake");
        EXPECT_EQ(game.drawQueue.Quake().GetState(), CScreenQuake::kQuake);
        EXPECT_GT(quake.Differing(before, 0, 0, 800, 600), 1000) << "the quake moves the picture";
        RUN_UNTIL(game, game.drawQueue.Quake().GetState() == CScreenQuake::kFlash, 400, "the flash must start");
        Picture unflashed = Shoot(game, "04-before-flash");
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(game.Frame());
        Picture flash = Shoot(game, "04-flash");
        EXPECT_GT(flash.Brightness(0, 0, 800, 600), unflashed.Brightness(0, 0, 800, 600) + 10)
            << "the flash brightens the picture towards its warm white";

        // 4. The first page: a speaker's name and text with ruby over the room.
        RUN_UNTIL(game, PageShown(game), 1500, "the first page must be shown");
        Picture page = Shoot(game, "05-page-with-ruby");
        EXPECT_NE(PageText(game).find(Sjis(u8"灯籠")), std::string::npos);
        int rubyRuns = 0;
        for (const CTextDrawable::TextRun& run : game.text.GetTextDrawable()->Runs())
            rubyRuns += run.height < gConfig.textSize;
        EXPECT_GE(rubyRuns, 4) << "the ruby's small characters are laid out";
        EXPECT_GT(page.Differing(unflashed, 40, 450, 760, 590), 1000) << "the message window shows at the bottom";
        inject::PushKey(platform::Key::Space, true);
        ASSERT_TRUE(FrameWith(game));
        inject::PushKey(platform::Key::Space, false);
        ASSERT_TRUE(FrameWith(game));
        RUN_UNTIL(game, PageShown(game) && PageText(game).find(Sjis(u8"クリック")) != std::string::npos, 400,
                  "the second page");
        Click(game, 400, 300);

        // 5. Sounds: a chime, the rain and a voice, then the music.
        RUN_UNTIL(game, game.sound.Sound()->Channels().voice->IsPlaying(), 400, "the chime must play");
        RUN_UNTIL(game, game.sound.Sound()->Channels().music->IsPlaying(), 600, "the music must start");
        EXPECT_EQ(game.executor.cdTrack, 1);
        Shoot(game, "06-music");

        // 6. The name input: the question is read (a click), then the player
        // types a name and confirms with Enter; the same page greets them.
        RUN_UNTIL(game, game.executor.cdTrack == ScenarioExecutor::kNoTrack, 600, "the music tour ends");
        RUN_UNTIL(game, PageShown(game) && PageText(game).find(Sjis(u8"お名前")) != std::string::npos, 400,
                  "the question must be shown");
        Shoot(game, "07-name-question");
        {
            ModalScript script({Idle(), Key(platform::Key::Backspace, true), Key(platform::Key::Backspace, false),
                                [] { return inject::PushText(reinterpret_cast<const char*>(u8"はるか")); }, Idle(),
                                [] {
                                    ShootWindow("08-name-input");
                                    return true;
                                },
                                Key(platform::Key::Return, true), Key(platform::Key::Return, false)});
            Click(game, 400, 300);
            RUN_UNTIL(game, game.executor.valsStr().count(1) != 0, 100, "the name must be asked");
            EXPECT_TRUE(script.Done()) << script.Progress();
        }
        EXPECT_EQ(game.executor.valsStr()[1], Sjis(u8"はるか"));
        RUN_UNTIL(game, PageShown(game) && PageText(game).find(Sjis(u8"はるか")) != std::string::npos, 400,
                  "the page greets the player by the name typed");
        Picture greeting = Shoot(game, "09-greeting-with-name");
        const int32_t visits = game.executor.valsInt()[1];
        EXPECT_EQ(visits, 1) << "the first visit is counted before the greeting";

        // 7. The right-click popup: save into slot 3 (Yes to the question).
        boxes.clear();
        PopupPath(game, {PointAtItem(0, kPopupSavePosition), ClickItem(1, 1 + 3)}, "10-popup-save-slot");
        ASSERT_TRUE(fs::exists(demo.Path("savedata/save03.dat"))) << "the slot file must be written";
        EXPECT_EQ(boxes, std::vector<std::string>{Sjis(u8"セーブしてよろしいですか？")});
        const size_t savedAt = game.executor.position();

        // 8. Back to the title through the menu bar (Yes to the question).
        MenuBarPath(game, 0, {ClickItem(0, 0)});
        RUN_UNTIL(game, dynamic_cast<CStartMenuScreen*>(game.screen) != nullptr, 100, "the title is the start menu");
        EXPECT_EQ(boxes.back(), Sjis(u8"タイトルに戻りますか？"));
        EXPECT_TRUE(game.executor.valsStr().empty()) << "the game's strings are forgotten";
        EXPECT_TRUE(game.executor.valsInt().empty()) << "and its variables";
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        Picture title = Shoot(game, "11-back-at-title");
        const Rgb logoAgain = title.At(200, 100);
        EXPECT_TRUE(logoAgain.r == 255 && logoAgain.g == 214 && logoAgain.b == 120) << "the start menu is drawn again";

        // 9. The start menu's load button: slot 3 brings the same page and variables back.
        {
            // The menu opens on the press; the player lets go before choosing.
            ModalScript script({[] {
                                    return inject::PushMouseButton(1, false, kMenuButtonX,
                                                                   MenuButtonY(2) + platform::kMenuBarHeight);
                                },
                                Idle(), PointAtItem(0, 1 + 3), [] {
                                    ShootWindow("12-load-slots");
                                    return true;
                                },
                                ClickItem(0, 1 + 3)});
            ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(2)));
            RUN_UNTIL(game, game.screen == nullptr, 20, "a chosen slot closes the start menu");
            RUN_UNTIL(game, game.text.GetScriptFrame()->GetState() == 1, 100, "the message window comes back");
            EXPECT_TRUE(script.Done()) << script.Progress();
        }
        EXPECT_EQ(game.executor.position(), savedAt);
        EXPECT_EQ(game.executor.valsStr()[1], Sjis(u8"はるか"));
        EXPECT_EQ(game.executor.valsInt()[1], visits);
        // The slot keeps the engine's state, not the page's text: the game
        // stands at the saved page's click wait with the window cleared.
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(game.Frame());
        Picture loaded = Shoot(game, "13-loaded-slot");
        EXPECT_LT(loaded.Differing(greeting, 0, 0, 800, 400), 800 * 400 / 50)
            << "the saved picture (the room) comes back as it was";

        // 10. The backlog from the popup; a voiced line replays its voice.
        PopupPath(game, {PointAtItem(0, 8), ClickItem(0, 8)}, "14-popup-backlog");
        RUN_UNTIL(game, game.backlog.IsOpen(), 20, "the backlog must open");
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        CBacklog* log = game.backlog.Log();
        ASSERT_GE(log->Count(), 1u);
        // Scroll to the oldest page, the first one: it has Mio's voice.
        for (int i = 0; i < 20 && log->GetScroll() < static_cast<int>(log->Count()) - 1; ++i) {
            inject::PushKey(platform::Key::Up, true);
            ASSERT_TRUE(FrameWith(game));
            inject::PushKey(platform::Key::Up, false);
            ASSERT_TRUE(FrameWith(game));
        }
        CMediaObject* voice = game.sound.Sound()->Channels().voice;
        voice->Stop();
        const Rect line = CBacklogScreen::VoiceRect(0);
        Click(game, (line.left + line.right) / 2, (line.top + line.bottom) / 2);
        EXPECT_TRUE(voice->IsPlaying()) << "a click on the voiced first page replays its voice";
        Picture backlog = Shoot(game, "15-backlog-voice-replay");
        EXPECT_LT(backlog.Brightness(0, 0, 760, 600), page.Brightness(0, 0, 760, 600))
            << "the backlog stands over the darkened scene";
        Click(game, 400, 300, 3);
        RUN_UNTIL(game, !game.backlog.IsOpen(), 20, "a right click closes the backlog");
        EXPECT_EQ(game.text.GetScriptFrame()->GetState(), 1) << "the message window comes back";
        Click(game, 400, 300);

        // 11. The choice: the save point has written slot 99.
        RUN_UNTIL(game, game.text.GetTextDrawable()->Links().size() == 2 && PageShown(game), 400,
                  "the choice must show two links");
        EXPECT_TRUE(fs::exists(demo.Path("savedata/save99.dat"))) << "the save point writes slot 99";
        EXPECT_EQ(PageText(game).find(Sjis(u8"はるか")), 0u) << "the choice calls the player by name";
        Shoot(game, "16-choice");

        // 12. Choose the garden: its scene is marked seen, then the demo ends
        // and, as a finished game, goes back to its start menu by itself.
        ClickLink(game, 0);
        RUN_UNTIL(game, PageShown(game) && PageText(game).find(Sjis(u8"花")) != std::string::npos, 600,
                  "the garden's page");
        Click(game, 400, 300);
        RUN_UNTIL(game, gSceneSeen.count(1) != 0, 100, "the garden scene must be seen");
        RUN_UNTIL(game, PageShown(game) && PageText(game).find(Sjis(u8"おしまい")) != std::string::npos, 200,
                  "the end page");
        Shoot(game, "17-end-of-demo");
        Click(game, 400, 300);
        RUN_UNTIL(game, dynamic_cast<CStartMenuScreen*>(game.screen) != nullptr, 100,
                  "the end of the demo leads back to the start menu");
        EXPECT_TRUE(game.executor.valsInt().empty()) << "the finished game is forgotten";

        // 13. The gallery: the room was seen, so its thumbnail shows.
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(3)));
        auto* gallery = dynamic_cast<CCGViewScreen*>(game.screen);
        ASSERT_NE(gallery, nullptr) << "the gallery button opens the gallery";
        EXPECT_EQ(gallery->IsGroupSeen(0), 1) << "the room was shown in the game";
        for (int i = 0; i < 30; ++i)
            ASSERT_TRUE(game.Frame());
        Picture thumbs = Shoot(game, "18-gallery");
        // Thumbnail 0 is the room; the third, the library, was never shown.
        EXPECT_GT(thumbs.Brightness(100, 60, 210, 142), thumbs.Brightness(340, 60, 450, 142) + 30)
            << "the seen room shows its thumbnail, the unseen library the dark placeholder";
        EXPECT_FALSE(CCGViewScreen::IsPictureSeen("library.png"));
        ASSERT_TRUE(ClickAt(game, 150, 100));
        EXPECT_EQ(gallery->ViewedGroup(), 0) << "a seen thumbnail opens the viewer";
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        Picture viewer = Shoot(game, "19-gallery-viewer");
        EXPECT_LT(viewer.Differing(loaded, 0, 0, 800, 400), 800 * 400 / 50)
            << "the viewer shows the room in full, as the game showed it";
        ASSERT_TRUE(ClickAt(game, 400, 300, 3));
        ASSERT_TRUE(ClickAt(game, 400, 300));
        for (int i = 0; i < 3 && gallery->ViewedGroup() != -1; ++i)
            ASSERT_TRUE(ClickAt(game, 400, 300));
        EXPECT_EQ(gallery->ViewedGroup(), -1);
        ASSERT_TRUE(PressButton(game, kTitleButtonX, kTitleButtonY));
        ASSERT_NE(dynamic_cast<CStartMenuScreen*>(game.screen), nullptr) << "the title button returns to the menu";

        // 14. The scene replay: the garden plays again and ends back at the replay screen.
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(4)));
        ASSERT_NE(dynamic_cast<CSceneReplayScreen*>(game.screen), nullptr);
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(game.Frame());
        Shoot(game, "20-scene-replay");
        ASSERT_TRUE(ClickAt(game, CSceneReplayScreen::ThumbnailX(0) + 10, CSceneReplayScreen::ThumbnailY(0) + 10));
        EXPECT_EQ(game.screen, nullptr) << "the seen scene starts";
        EXPECT_EQ(game.executor.sceneReplay, 1);
        RUN_UNTIL(game, PageShown(game), 300, "the replayed scene's page");
        EXPECT_NE(PageText(game).find(Sjis(u8"花")), std::string::npos);
        Shoot(game, "21-replayed-scene");
        Click(game, 400, 300);
        RUN_UNTIL(game, dynamic_cast<CSceneReplayScreen*>(game.screen) != nullptr, 300,
                  "the scene's end returns to the replay screen");
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(game.Frame());
        Shoot(game, "22-back-at-scene-replay");
        ASSERT_TRUE(PressButton(game, kTitleButtonX, kTitleButtonY));
        ASSERT_NE(dynamic_cast<CStartMenuScreen*>(game.screen), nullptr);

        // 15. The options dialog: the text speed dragged to fast, OK saves it.
        const std::string userBefore = ReadFile(demo.Path(gConfig.userini));
        const int intervalBefore = gConfig.interval;
        {
            auto sliderEdge = [](int dx, bool press, bool release) {
                return [=] {
                    int x = 0, y = 0, w = 0, h = 0;
                    if (!inject::DialogControlRect(options_dialog::kSpeed, &x, &y, &w, &h))
                        return false;
                    const int at = dx < 0 ? x + 2 : x + w + 40;
                    inject::PushMouseMotion(at, y + h / 2);
                    if (press)
                        inject::PushMouseButton(1, true, at, y + h / 2);
                    if (release)
                        inject::PushMouseButton(1, false, at, y + h / 2);
                    return true;
                };
            };
            ModalScript script({PointAtItem(0, 0), ClickItem(0, 0), Idle(), sliderEdge(-1, true, false),
                                sliderEdge(1, false, false), sliderEdge(1, false, true), Idle(),
                                [] {
                                    ShootWindow("23-options");
                                    return true;
                                },
                                [] {
                                    int x = 0, y = 0, w = 0, h = 0;
                                    if (!inject::DialogControlRect(options_dialog::kOk, &x, &y, &w, &h))
                                        return false;
                                    inject::PushMouseMotion(x + w / 2, y + h / 2);
                                    inject::PushMouseButton(1, true, x + w / 2, y + h / 2);
                                    inject::PushMouseButton(1, false, x + w / 2, y + h / 2);
                                    return true;
                                }});
            int x = 0, y = 0;
            ASSERT_TRUE(inject::MenuBarTitleCentre(kMenuBarSettingsPosition, &x, &y));
            inject::PushMouseMotion(x, y);
            inject::PushMouseButton(1, true, x, y);
            inject::PushMouseButton(1, false, x, y);
            ASSERT_TRUE(FrameWith(game));
            EXPECT_TRUE(script.Done()) << "the options dialog could not be driven";
        }
        EXPECT_EQ(gConfig.interval, 0) << "the slider at fast gives no delay between characters";
        EXPECT_NE(intervalBefore, 0);
        const std::string userAfter = ReadFile(demo.Path(gConfig.userini));
        EXPECT_NE(userAfter, userBefore) << "OK writes the user file";
        ASSERT_TRUE(game.Frame());
        Shoot(game, "24-after-options");

        // 16. Quit from the menu bar: No keeps the game.
        boxes.clear();
        answer = platform::kIdNo;
        MenuBarPath(game, 0, {ClickItem(0, 4)});
        EXPECT_EQ(boxes, std::vector<std::string>{Sjis(u8"終了しますか？")});
        ASSERT_TRUE(game.Frame()) << "No keeps the game running";

        // 17. The same question from the keyboard, in the real box: Alt+F
        // opens the file menu, X chooses its quit item. Esc answers No; then
        // Tab takes the focus from No to Yes and Enter presses it.
        platform::SetMessageBoxResponder(nullptr);
        auto askQuitByKeys = [&](std::vector<std::function<bool()>> inBox) {
            // The menu takes its keys in its first turn; the box settles in a few.
            std::vector<std::function<bool()>> steps = {Idle(), Idle(), Idle(), Idle(), Idle()};
            steps.insert(steps.end(), inBox.begin(), inBox.end());
            ModalScript script(steps);
            inject::PushKey(platform::Key::LeftAlt, true);
            inject::PushKey(static_cast<platform::Key>(static_cast<int>(platform::Key::A) + ('f' - 'a')), true);
            inject::PushKey(static_cast<platform::Key>(static_cast<int>(platform::Key::A) + ('f' - 'a')), false);
            inject::PushKey(platform::Key::LeftAlt, false);
            inject::PushKey(static_cast<platform::Key>(static_cast<int>(platform::Key::A) + ('x' - 'a')), true);
            inject::PushKey(static_cast<platform::Key>(static_cast<int>(platform::Key::A) + ('x' - 'a')), false);
            const bool running = FrameWith(game);
            EXPECT_TRUE(script.Done()) << "the box could not be answered from the keyboard: " << script.Progress();
            return running;
        };
        const bool keptByEsc = askQuitByKeys({[] {
                                                  ShootWindow("25-quit-question-by-keys");
                                                  return true;
                                              },
                                              Key(platform::Key::Escape, true), Key(platform::Key::Escape, false)});
        EXPECT_TRUE(keptByEsc) << "Esc answers No: the game goes on";
        ASSERT_TRUE(game.Frame()) << "No keeps the game running";
        askQuitByKeys({Key(platform::Key::Tab, true), Key(platform::Key::Tab, false), Idle(),
                       [] {
                           ShootWindow("26-quit-yes-focused");
                           return true;
                       },
                       Key(platform::Key::Return, true), Key(platform::Key::Return, false)});
        bool running = true;
        for (int i = 0; i < 5 && running; ++i)
            running = game.Frame();
        EXPECT_FALSE(running) << "Tab and Enter answer Yes: the game ends";
        Shoot(game, "27-quit");
        game.Finish();
    });
    app.Run();
    platform::SetMessageBoxResponder(nullptr);
}

// The message window's fast-forward button: the centre of its rectangle.
void ButtonCentre(CGame& game, int* x, int* y)
{
    CDrawable* button = game.text.GetScriptFrame()->GetButton(CScriptFrame::kButtonNormal);
    int32_t left = 0, top = 0;
    button->GetPos(&left, &top);
    int w = 0, h = 0;
    if (button->GetPlane())
        button->GetPlane()->GetSize(&w, &h);
    *x = left + w / 2;
    *y = top + h / 2;
}

// A new game skipped with the SKIP button: it lights under the pointer,
// stays pressed (amber) while the pages, pictures and sounds run by, the
// name input on the way is answered, and the choice stops the skip.
TEST(DemoTour, the_skip_button_runs_the_game_to_its_choice)
{
    DemoCopy demo;
    if (!demo.built)
        GTEST_SKIP() << "LANTERN_DEMO_DIR must name the folder scripts/build-demo makes";
    platform::SetMessageBoxResponder([](const std::string&, const std::string&, platform::MessageBoxKind) {
        return platform::kIdOk;
    });
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        game.paced = true;
        ASSERT_TRUE(game.Start());
        RUN_UNTIL(game, dynamic_cast<CStartMenuScreen*>(game.screen) != nullptr, 300, "the start menu must open");
        RUN_UNTIL(game, game.mouse.GetGuard() <= 0, 100, "the mouse guard must run out");
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(1)));
        RUN_UNTIL(game, PageShown(game), 1500, "the first page must be shown");

        int bx = 0, by = 0;
        ButtonCentre(game, &bx, &by);
        const Picture normal = Shoot(game, "skip-00-first-page");
        ASSERT_TRUE(MoveTo(game, bx, by));
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.text.GetScriptFrame()->GetButtonState(), CScriptFrame::kButtonOver);
        const Picture lit = Shoot(game, "skip-01-button-under-the-pointer");
        // Skipping reaches the name input within a frame or two; the dialog
        // is where the pressed button is seen, with the question behind it.
        int skippingAtDialog = -1, amber = 0, litDiffers = 0, questionWhite = 0;
        bool questionPage = false;
        {
            ModalScript script({Idle(),
                                [&] {
                                    const Picture dialog = ShootWindow("skip-02-name-input-while-skipping");
                                    skippingAtDialog = game.executor.fastForward;
                                    questionPage = PageText(game).find(Sjis(u8"お名前")) != std::string::npos;
                                    const int top = platform::kMenuBarHeight;
                                    for (int y = by - 8; y < by + 8; ++y)
                                        for (int x = bx - 28; x < bx + 28; ++x) {
                                            const Rgb c = dialog.At(x, y + top);
                                            const Rgb l = lit.At(x, y);
                                            amber += std::abs(c.r - 235) < 30 && std::abs(c.g - 190) < 30 &&
                                                     std::abs(c.b - 80) < 30;
                                            litDiffers += std::abs(c.r - l.r) > 24 || std::abs(c.g - l.g) > 24 ||
                                                          std::abs(c.b - l.b) > 24;
                                        }
                                    // The message window's first text row, left of the dialog.
                                    for (int y = 480 + top; y < 520 + top; ++y)
                                        for (int x = 40; x < 200; ++x) {
                                            const Rgb c = dialog.At(x, y);
                                            questionWhite += c.r > 200 && c.g > 200 && c.b > 200;
                                        }
                                    return true;
                                },
                                Key(platform::Key::Return, true), Key(platform::Key::Return, false)});
            ASSERT_TRUE(ClickAt(game, bx, by));
            RUN_UNTIL(game, game.executor.valsStr().count(1) != 0, 2000, "skipping must reach the name input");
            EXPECT_TRUE(script.Done()) << script.Progress();
        }
        EXPECT_EQ(skippingAtDialog, 1) << "SKIP turns skipping to the next choice on, and it runs on to the name input";
        EXPECT_GT(amber, 56 * 16 / 3) << "the button shows its pressed (amber) picture while skipping";
        EXPECT_GT(litDiffers, 56 * 16 / 3) << "pressed, the button no longer shows its mouse-over picture";
        EXPECT_TRUE(questionPage && questionWhite > 50)
            << "the question page, not an older one, stands behind the dialog (" << questionWhite << " white pixels)";
        EXPECT_EQ(game.executor.valsStr()[1], Sjis(u8"ユウ")) << "Enter keeps the name offered";
        RUN_UNTIL(game, game.executor.fastForward == 0, 600, "the choice must end the skip");
        RUN_UNTIL(game, game.text.GetTextDrawable()->Links().size() == 2 && PageShown(game), 100,
                  "the skip stops at the choice");
        ASSERT_TRUE(MoveTo(game, 400, 100));
        const Picture choice = Shoot(game, "skip-03-stopped-at-the-choice");
        EXPECT_EQ(game.text.GetScriptFrame()->GetButtonState(), CScriptFrame::kButtonNormal)
            << "the button is released when the skip ends";
        EXPECT_LT(choice.Differing(normal, bx - 28, by - 8, bx + 28, by + 8), 56 * 16 / 10)
            << "the button shows its plain picture again";
        EXPECT_GT(lit.Differing(normal, bx - 28, by - 8, bx + 28, by + 8), 56 * 16 / 3)
            << "the pointer over the button lights it";
        game.Finish();
    });
    app.Run();
    platform::SetMessageBoxResponder(nullptr);
}

}  // namespace
