// One frame of the game loop against one full-screen Blt of the back buffer,
// in the same run: a frame with a full-screen transition running (the blend,
// transition 49, of an 800 x 600 picture, mid-way through it) and a frame of
// a still screen (only the cursor's area is repainted). The game is started
// as a player starts it: past the logo movie (missing, so it ends at once) to
// the start menu, whose start button a real click presses. The frame wait is
// left out (it is the deadline, not work); present has no window to show in.
// Each run checks the picture's transition is in the state its name says
// (running at a level that draws, or ended) before and after the measured
// frames. The summary prints both frames as multiples of the Blt.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "../tools/PngWrite.h"
#include "BenchSupport.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "frame/FileLayer.h"
#include "game/EffectPicture.h"
#include "game/Game.h"
#include "game/GameConfig.h"
#include "platform/EventInjection.h"
#include "scenario/AssembleFiles.h"

namespace {


// A game folder with one background and a scenario that shows it and waits.
class BenchFolder {
public:
    BenchFolder()
    {
        char pattern[] = "/tmp/lantern-game-bench-XXXXXX";
        path_ = mkdtemp(pattern);
        std::vector<uint32_t> pixels(800 * 600);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
        pngwrite::WritePngFile(path_ + "/bg/noise.png", 800, 600, pixels, false);
        std::vector<uint32_t> cursor(32 * 32, 0xFFFFFFFFu);
        pngwrite::WritePngFile(path_ + "/chip/cursor.png", 32, 32, cursor, true);
        // The message window's pictures (the window stays hidden).
        pngwrite::WritePngFile(path_ + "/chip/frame.png", 780, 180, std::vector<uint32_t>(780 * 180, 0xC0202040u), true);
        pngwrite::WritePngFile(path_ + "/chip/ff.png", 64, 24, std::vector<uint32_t>(64 * 24, 0xFF808080u), false);
        pngwrite::WritePngFile(path_ + "/chip/marker.png", 16, 16, std::vector<uint32_t>(16 * 16, 0xFFFFFFFFu), true);
        WriteStartMenu();
        std::ofstream(path_ + "/bench.nss") << "effect 49\nshow \"bg\\\\noise.png\", 0, 0, 0, 0\nwaitclick 0\nend\n";
        std::filesystem::create_directories(path_ + "/scenario");
        std::string errors;
        scenario::AssembleFiles({path_ + "/bench.nss"}, path_ + "/scenario", &errors);
        SetStartDirectory(path_);
        FlushFileLayerCache();
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

private:
    // The start menu's pictures, small and flat, and its hit-test picture
    // with the start button (hit colour 0x0000F0) where kStartButton is.
    void WriteStartMenu()
    {
        const std::string chip = path_ + "/chip/";
        auto flat = [](int w, int h, uint32_t argb) { return std::vector<uint32_t>(static_cast<size_t>(w) * h, argb); };
        pngwrite::WritePngFile(chip + "start_back.png", 8, 8, flat(8, 8, 0xFF000000u), false);
        for (const char* b : {"start", "load", "cg", "replay", "music", "exit"}) {
            pngwrite::WritePngFile(chip + "start_" + b + "_l.png", 200, 40, flat(200, 40, 0xFFFFFF00u), true);
            pngwrite::WritePngFile(chip + "start_" + b + "_d.png", 200, 40, flat(200, 40, 0xFF404040u), true);
        }
        pngwrite::WritePngFile(chip + "start_a.png", 8, 8, flat(8, 8, 0x00000000u), true);
        for (int i = 1; i <= 4; ++i)
            pngwrite::WritePngFile(chip + "start_star" + std::to_string(i) + ".png", 2, 2, flat(2, 2, 0xFFFFFFFFu), true);
        std::vector<uint32_t> hit = flat(800, 600, 0xFF000000u);
        for (int y = 260; y < 300; ++y)
            for (int x = 80; x < 280; ++x)
                hit[static_cast<size_t>(y) * 800 + x] = 0xFFF00000u;
        pngwrite::WritePngFile(chip + "start_hittest.png", 800, 600, hit, false);
    }

    std::string path_;
};

// The middle of the start menu's start button, in client pixels.
constexpr int kStartButtonX = 180;
constexpr int kStartButtonY = 280;

void Settings(int animationFrames)
{
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.basewidth = 800;
    gConfig.baseDir = ".\\";
    gConfig.scnstart = "bench.nsd";
    gConfig.defaultAnimationFrames = animationFrames;
    gConfig.windowmode = -1;
    gConfig.mouseGuardTime = 0;
    gConfig.AnimationLength = 10;
    gConfig.FileName = gConfig.BackFileName = "chip\\frame.png";
    gConfig.FFNormal = gConfig.FFOnMouse = gConfig.FFOnClick = "chip\\ff.png";
    gConfig.ParaParaAnimationFileName = {"chip\\marker.png"};
    gConfig.ParaParaAnimationInterval = 8;
    gConfig.textWidth = 700;
    gConfig.textHeight = 100;
    gConfig.nameWidth = 200;
    gConfig.nameHeight = 24;
    gConfig.textSize = 20;
    gConfig.rubySize = 10;
    gConfig.nameSize = 18;
    gConfig.BackColor = 160;
}

using benchsupport::BM_FullScreenBlt;
BENCHMARK(BM_FullScreenBlt)->Unit(benchmark::kMicrosecond);

class BenchGame : public CGame {
protected:
    void WaitForFrame() override {}
};

// The scenario's picture: the one transition drawable in the queue, or null.
CEffectPicture* ScenarioPicture(CGame& game)
{
    for (game.drawQueue.Begin(); game.drawQueue.Current() != nullptr; game.drawQueue.Next()) {
        if (auto* picture = dynamic_cast<CEffectPicture*>(game.drawQueue.Current()))
            return picture;
    }
    return nullptr;
}

// Frames until done() holds, at most limit of them; false when the loop
// ended or the limit was reached first.
template <class Done>
bool RunUntil(BenchGame& game, Done done, int limit)
{
    for (int i = 0; i < limit && !done(); ++i) {
        if (!game.Frame())
            return false;
    }
    return done();
}

// From the start to the scenario: past the logo movie to the start menu,
// then the pointer onto the start button for a frame and a left click there,
// as a player chooses a new game. False when the scenario was not reached.
bool StartNewGame(BenchGame& game)
{
    if (!game.Start() || !RunUntil(game, [&] { return game.movie == nullptr && game.screen != nullptr; }, 10))
        return false;
    // The benchmark has no window, hence no menu strip: window pixels are client pixels.
    const int x = kStartButtonX, y = kStartButtonY;
    platform::testing::PushMouseMotion(x, y);
    bool ok = game.Frame();
    platform::testing::PushMouseButton(1, true, x, y);
    ok = ok && game.Frame();
    platform::testing::PushMouseButton(1, false, x, y);
    return ok && game.Frame() && RunUntil(game, [&] { return game.screen == nullptr; }, 10);
}

// What the measured frames must show: the picture's transition running at a
// level that draws (1-255: level 0 draws nothing), or ended.
bool PictureIs(CGame& game, bool transitionRunning)
{
    CEffectPicture* picture = ScenarioPicture(game);
    if (picture == nullptr)
        return false;
    if (!transitionRunning)
        return picture->GetState() == CEffectBase::kStateDone;
    const int32_t level = picture->LevelAt(picture->GetElapsed());
    return picture->GetState() == CEffectBase::kStateRunning && level >= 1 && level <= 255;
}

// Starts the game, runs warmup frames of its waiting scenario, then measures
// frames one by one; the picture's transition must be running (or ended)
// before and after them.
void RunFrames(benchmark::State& state, int animationFrames, int warmup, bool transitionRunning)
{
    BenchFolder folder;
    Settings(animationFrames);
    BenchGame game;
    if (!StartNewGame(game)) {
        state.SkipWithError(("the start menu's start button did not start the scenario: " +
                             game.executor.lastError()).c_str());
        game.Finish();
        return;
    }
    bool ok = true;
    for (int i = 0; i < warmup && ok; ++i)
        ok = game.Frame();
    if (ok && !PictureIs(game, transitionRunning)) {
        state.SkipWithError(transitionRunning ? "the transition is not running" : "the transition has not ended");
        ok = false;
    }
    for (auto _ : state) {
        if (!ok)
            break;
        if (!game.Frame()) {
            state.SkipWithError(("the game loop ended: " + game.executor.lastError()).c_str());
            ok = false;
        }
    }
    if (ok && !PictureIs(game, transitionRunning))
        state.SkipWithError(transitionRunning ? "the transition ended during the run" : "the transition restarted");
    game.Finish();
}

// The transition lasts kTransitionFrames frames; the measured frames start a
// quarter of the way in and end at three quarters, so every one blends.
constexpr int kTransitionFrames = 2048;
constexpr int kMeasuredFrames = 1024;

void BM_FrameWithTransition(benchmark::State& state)
{
    RunFrames(state, kTransitionFrames, kTransitionFrames / 4, true);
}
BENCHMARK(BM_FrameWithTransition)->Iterations(kMeasuredFrames)->Unit(benchmark::kMicrosecond);

void BM_FrameStillScreen(benchmark::State& state)
{
    RunFrames(state, 10, 20, false);
}
BENCHMARK(BM_FrameStillScreen)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchsupport::BltRatioReporter {
protected:
    void PrintRatios() override
    {
        std::printf("frame with a full-screen transition: %.2f x one full-screen Blt\n", Ratio("BM_FrameWithTransition"));
        std::printf("frame of a still screen:             %.3f x one full-screen Blt\n", Ratio("BM_FrameStillScreen"));
    }
};

}  // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    return benchsupport::RunBenchmarks(argc, argv, reporter);
}
