// One frame of the game loop against one full-screen Blt of the back buffer,
// in the same run: a frame with a full-screen transition running (the blend,
// transition 49, over an 800 x 600 picture) and a frame of a still screen
// (only the cursor's area is repainted). The frame wait is left out (it is
// the deadline, not work); present has no window to show in. The summary
// prints both frames as multiples of the Blt.
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
#include "game/Game.h"
#include "game/GameConfig.h"
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
    std::string path_;
};

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

// Runs the game to its waiting scenario; frames then measured one by one.
void RunFrames(benchmark::State& state, int animationFrames, int warmup)
{
    BenchFolder folder;
    Settings(animationFrames);
    BenchGame game;
    game.Start();
    for (int i = 0; i < warmup; ++i)
        game.Frame();
    for (auto _ : state) {
        if (!game.Frame()) {
            state.SkipWithError(("the game loop ended: " + game.executor.lastError()).c_str());
            break;
        }
    }
    game.Finish();
}

void BM_FrameWithTransition(benchmark::State& state)
{
    // A range far longer than the run keeps the transition going every frame.
    RunFrames(state, 1000000, 4);
}
BENCHMARK(BM_FrameWithTransition)->Unit(benchmark::kMicrosecond);

void BM_FrameStillScreen(benchmark::State& state)
{
    RunFrames(state, 10, 20);
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
