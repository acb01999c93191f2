// demoshot: plays a game folder for a number of frames in a real window and
// writes what the window shows as a PNG (the screenshot check of the demo).
//   demoshot [--click <frame>:<x>,<y>]... [--close <frame>:<overlay>]...
//            <game-folder> <frame>[,<frame>...]
//            <out.png> [first-scenario]
// With several frames, each shot goes to <out>-<frame>.png. The first
// scenario replaces the settings' "scnstart" when given. The game runs at its
// own pace (30 frames per second) through the whole frame loop. A click
// moves the pointer to client (x, y) before the given frame, presses the
// left button two frames later (a screen lights a button the frame the
// pointer arrives, and takes clicks after that) and releases it two frames
// after the press. A dialog or box that opens (the scenario's name input,
// say) is answered with Enter, as nobody is there to type: its default
// stands and the run goes on.
// Each shot must show exactly what the back buffer holds: the window is
// only brought up to date where a frame changed, and a stale or missed part
// fails the run. On X the window is read back from the X server, so what
// is compared is what reached the screen, whichever way it was drawn.
//   --close <frame>:<overlay> opens an overlay before that frame and closes
// it again with Esc a few turns later: "box" (Alt+F, X: the quit question),
// "options" (Alt+H, O: the options dialog), "menu" (F10: the first menu),
// "popup" (a right click in the middle of the client area) or "fullscreen"
// (Alt+H, the screen modes and their full-screen cascade: 32 bits, which a
// server without a window manager refuses). A shot taken after it must show
// nothing of it.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "PngWrite.h"
#include "frame/CApp.h"
#include "frame/FileLayer.h"
#include "game/Game.h"
#include "game/CGViewScreen.h"
#include "game/GameConfig.h"
#include "game/SceneReplayScreen.h"
#include "game/StartMenuScreen.h"
#include "platform/EventInjection.h"
#include "platform/Video.h"
#include "platform/WindowMessages.h"

namespace {

const char* ScreenName(CGameScreen* screen)
{
    if (dynamic_cast<CStartMenuScreen*>(screen))
        return "start-menu";
    if (dynamic_cast<CCGViewScreen*>(screen))
        return "gallery";
    if (dynamic_cast<CSceneReplayScreen*>(screen))
        return "scene-replay";
    return screen ? "other" : "none";
}

struct Click {
    int frame, x, y;
};

// An overlay opened before a frame and closed inside its nested loops.
struct Closing {
    int frame;
    std::string overlay;
};

platform::Key Letter(char c) { return static_cast<platform::Key>(static_cast<int>(platform::Key::A) + (c - 'a')); }

void Tap(platform::Key key)
{
    platform::testing::PushKey(key, true);
    platform::testing::PushKey(key, false);
}

// The input that opens the overlay, pushed before its frame, and the keys
// its nested loops get one after another (the last closes it).
bool OpenOverlay(const std::string& overlay, std::deque<platform::Key>* loopKeys)
{
    namespace inject = platform::testing;
    const auto altWith = [](char letter) {
        inject::PushKey(platform::Key::LeftAlt, true);
        Tap(Letter(letter));
        inject::PushKey(platform::Key::LeftAlt, false);
    };
    if (overlay == "box") {
        altWith('f');
        *loopKeys = {Letter('x'), platform::Key::Escape};
    } else if (overlay == "options") {
        altWith('h');
        *loopKeys = {Letter('o'), platform::Key::Escape};
    } else if (overlay == "fullscreen") {
        // The screen-mode submenu, its full-screen cascade, 32 bits.
        altWith('h');
        *loopKeys = {Letter('m'), platform::Key::Down, platform::Key::Right, platform::Key::Down,
                     platform::Key::Down, platform::Key::Return};
    } else if (overlay == "menu") {
        Tap(platform::Key::F10);
        *loopKeys = {platform::Key::Escape};
    } else if (overlay == "popup") {
        const int x = 400, y = 300 + platform::kMenuBarHeight;
        inject::PushMouseMotion(x, y);
        inject::PushMouseButton(3, true, x, y);
        inject::PushMouseButton(3, false, x, y);
        *loopKeys = {platform::Key::Escape};
    } else {
        return false;
    }
    return true;
}

// The input events due before frame `frame` runs.
void PushInput(const std::vector<Click>& clicks, int frame)
{
    namespace inject = platform::testing;
    const int top = platform::kMenuBarHeight;
    for (const Click& c : clicks) {
        if (frame == c.frame)
            inject::PushMouseMotion(c.x, c.y + top);
        else if (frame == c.frame + 2)
            inject::PushMouseButton(1, true, c.x, c.y + top);
        else if (frame == c.frame + 4)
            inject::PushMouseButton(1, false, c.x, c.y + top);
    }
}

class ShotApp : public CApp {
public:
    ShotApp(std::vector<int> frames, std::string out, std::vector<Click> clicks, std::vector<Closing> closings)
        : frames_(std::move(frames)), out_(std::move(out)), clicks_(std::move(clicks)), closings_(std::move(closings))
    {
    }
    int InitWindowDesc(WindowDesc* desc) override
    {
        desc->caption = gConfig.VersionString;
        desc->width = gConfig.width;
        desc->height = gConfig.height;
        return 0;
    }
    int Main() override
    {
        CGame game;
        game.app = this;
        int turn = 0;
        // The keys of an overlay being closed go one every few turns, so
        // each loop draws its box or menu before the key that ends it;
        // otherwise Enter (down, then up) answers whatever opened.
        int quiet = 0;
        platform::testing::SetModalTurnHook([this, &turn, &quiet] {
            // The loops of an overlay being closed get its keys alone, to
            // the last turn, and no Enter that would reach the game after.
            // A key goes down in one turn and up in the next, as a person's
            // does: ImGui sees no press that came and went within a frame.
            if (closing_) {
                if (held_) {
                    platform::testing::PushKey(*held_, false);
                    held_.reset();
                    quiet = 0;
                } else if (!loopKeys_.empty() && ++quiet >= 4) {
                    held_ = loopKeys_.front();
                    loopKeys_.pop_front();
                    platform::testing::PushKey(*held_, true);
                } else if (loopKeys_.empty() && ++quiet >= 100) {
                    // Its last key did not close it: fail, and press Esc
                    // again rather than hang.
                    std::fprintf(stderr, "demoshot: an overlay does not close with its keys\n");
                    result = 1;
                    held_ = platform::Key::Escape;
                    platform::testing::PushKey(*held_, true);
                }
                return;
            }
            ++turn;
            platform::testing::PushKey(platform::Key::Return, turn % 2 == 1);
        });
        int ran = 0;
        bool running = game.Start();
        result = 0;
        for (int shot : frames_) {
            while (running && ran < shot) {
                // Pushed now, taken by this frame's pump, seen by the next frame.
                PushInput(clicks_, ran + 1);
                // An overlay is closed once its keys are used up and a game frame ran.
                closing_ = !loopKeys_.empty() || held_.has_value();
                for (const Closing& c : closings_) {
                    if (c.frame == ran + 1 && !OpenOverlay(c.overlay, &loopKeys_))
                        std::fprintf(stderr, "demoshot: no overlay named %s\n", c.overlay.c_str());
                    closing_ = closing_ || !loopKeys_.empty();
                }
                if (!(running = game.Frame()))
                    break;
                ++ran;
            }
            const std::string name =
                frames_.size() == 1 ? out_ : out_.substr(0, out_.rfind('.')) + "-" + std::to_string(shot) + ".png";
            if (!Shoot(game, name) || !ShowsBackBuffer(game))
                result = 1;
            if (!loopKeys_.empty()) {
                std::fprintf(stderr, "demoshot: an overlay did not open or close (%zu keys left)\n", loopKeys_.size());
                result = 1;
            }
            std::printf("demoshot: frame %d, screen %s, effect state %d, scenario %s at instruction %zu%s -> %s\n",
                        ran, ScreenName(game.screen), game.drawQueue.Quake().GetState(),
                        game.executor.scenarioName().c_str(), game.executor.position(),
                        game.executor.failed() ? (" (error: " + game.executor.lastError() + ")").c_str() : "",
                        name.c_str());
        }
        game.Finish();
        platform::testing::SetModalTurnHook(nullptr);
        return 0;
    }
    static bool Shoot(CGame& game, const std::string& name)
    {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        if (!game.display.Output()->ReadClientArea(&pixels, &w, &h)) {
            std::fprintf(stderr, "demoshot: the window cannot be read back\n");
            return false;
        }
        for (uint32_t& p : pixels)
            p |= 0xFF000000u;
        return pngwrite::WritePngFile(name, w, h, pixels, false);
    }
    // The window against the back buffer, pixel for pixel (32-bit back
    // buffers at no offset: the only case the picture is not converted).
    static bool ShowsBackBuffer(CGame& game)
    {
        CFastPlane* back = game.display.GetBackPlane();
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        if (back == nullptr || game.display.GetScreenBitsPerPixel() != 32 ||
            !(platform::testing::ReadShownClientArea(&pixels, &w, &h) ||
              game.display.Output()->ReadClientArea(&pixels, &w, &h)) ||
            w != gConfig.width || h != gConfig.height)
            return true;
        const SurfaceView v = back->GetSurfaceView();
        int differ = 0;
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = v.pixels + static_cast<intptr_t>(y) * v.pitch;
            for (int x = 0; x < w; ++x) {
                const uint32_t want = row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16;
                if ((pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != want && differ++ == 0)
                    std::fprintf(stderr, "demoshot: the window shows %06x at (%d,%d) where the frame has %06x\n",
                                 pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF, x, y, want);
            }
        }
        if (differ != 0)
            std::fprintf(stderr, "demoshot: %d pixels of the window are stale\n", differ);
        return differ == 0;
    }
    int result = 1;

private:
    std::vector<int> frames_;
    std::string out_;
    std::vector<Click> clicks_;
    std::vector<Closing> closings_;
    std::deque<platform::Key> loopKeys_;
    std::optional<platform::Key> held_;
    bool closing_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Click> clicks;
    std::vector<Closing> closings;
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        Click c{};
        char overlay[16] = {};
        int frame = 0;
        if (std::string(argv[i]) == "--click" && i + 1 < argc &&
            std::sscanf(argv[i + 1], "%d:%d,%d", &c.frame, &c.x, &c.y) == 3) {
            clicks.push_back(c);
            ++i;
        } else if (std::string(argv[i]) == "--close" && i + 1 < argc &&
                   std::sscanf(argv[i + 1], "%d:%15s", &frame, overlay) == 2) {
            closings.push_back({frame, overlay});
            ++i;
        } else {
            args.push_back(argv[i]);
        }
    }
    argc = static_cast<int>(args.size());
    argv = args.data();
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr,
                     "usage: demoshot [--click <frame>:<x>,<y>]... [--close <frame>:box|options|menu|popup|fullscreen]... "
                     "<game-folder> <frames> <out.png> [first-scenario]\n");
        return 2;
    }
    SetStartDirectory(argv[1]);
    if (const int code = LoadConfig("scenario\\brask.ini"); code != 0) {
        std::fprintf(stderr, "demoshot: settings file (code %d)\n", code);
        return 1;
    }
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.baseDir = ".\\";
    if (argc == 5)
        gConfig.scnstart = argv[4];
    std::vector<int> frames;
    for (const char* p = argv[2]; *p;) {
        char* end = nullptr;
        frames.push_back(static_cast<int>(std::strtol(p, &end, 10)));
        if (end == p)
            break;
        p = *end == ',' ? end + 1 : end;
    }
    ShotApp app(std::move(frames), argv[3], std::move(clicks), std::move(closings));
    app.Run();
    return app.result;
}
