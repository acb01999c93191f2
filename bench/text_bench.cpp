// Text against one full-screen Blt of the back buffer, in the same run:
// typing a full page (three lines of Japanese) in each text mode, and one
// frame of the message window (at rest, and while it fades, when the whole
// window is repainted). Glyphs come from the cache after the first page, as
// in the game. The summary prints each as a multiple of the Blt.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "image/TextFastPlane.h"
#include "game/DrawFrame.h"
#include "game/DrawQueue.h"
#include "game/GameConfig.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "game/TextLabel.h"
#include "frame/TextEncoding.h"

namespace {

// About a full message window: three lines of 28 characters.
std::string PageLine(int line)
{
    static const char8_t* kLines[3] = {
        u8"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。",
        u8"何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
        u8"吾輩はここで始めて人間というものを見た。しかもあとで聞くと書生という。",
    };
    return Utf8ToSjis(reinterpret_cast<const char*>(kLines[line]));
}

void Settings()
{
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.basewidth = 800;
    gConfig.baseDir = "";
    gConfig.textSize = 22;
    gConfig.rubySize = 10;
    gConfig.nameSize = 18;
    gConfig.textWidth = 660;
    gConfig.textHeight = 120;
    gConfig.textPosX = 20;
    gConfig.textPosY = 24;
    gConfig.nameWidth = 200;
    gConfig.nameHeight = 24;
    gConfig.linespace = 6;
    gConfig.BackColor = 160;
}

using benchsupport::BM_FullScreenBlt;
BENCHMARK(BM_FullScreenBlt)->Unit(benchmark::kMicrosecond);

// The text drawable lays out a page and types all of it (speed 0) into its
// planes: what a page costs in the game, character runs drawn one by one.
void BM_TypePageMode1(benchmark::State& state)
{
    Settings();
    CTextDrawable text(660, 120, -1);
    text.SetMargins(15, 15, 10, 30);
    text.SetLineSpacing(6);
    text.SetOption(0);
    for (auto _ : state) {
        text.Reset();
        for (int line = 0; line < 3; ++line) {
            text.Layout(PageLine(line), -1);
            text.NewLine();
        }
        text.BeginDraw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TypePageMode1)->Unit(benchmark::kMicrosecond);

// A text plane rendered whole by mode 2 or 3 (smoothed from 2x or 4x).
void TypePageSmoothed(benchmark::State& state, int mode)
{
    CTextFastPlane plane;
    plane.SetTextMode(mode);
    CTextDraw* text = plane.GetTextDraw();
    text->SetHeight(22);
    text->SetLineSpacing(28);
    text->SetText(PageLine(0) + "\n" + PageLine(1) + "\n" + PageLine(2));
    for (auto _ : state) {
        plane.UpdateText();
        benchmark::ClobberMemory();
    }
}
void BM_TypePageMode2(benchmark::State& state) { TypePageSmoothed(state, 2); }
void BM_TypePageMode3(benchmark::State& state) { TypePageSmoothed(state, 3); }
BENCHMARK(BM_TypePageMode2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypePageMode3)->Unit(benchmark::kMicrosecond);

// One frame of the message window with a typed page, name and marker-less
// text: the frame draw over the window, name and text drawables.
void WindowFrames(benchmark::State& state, bool fading)
{
    Settings();
    CFastPlane back;
    back.CreateSurface(800, 600, pixfmt::kBGRX32);
    CScriptFrame frame;
    auto* window = new CFastPlane;
    window->CreateSurface(700, 160, pixfmt::kBGRA32);
    window->Clear(0x203060u, nullptr);
    auto* backing = new CFastPlane;
    backing->CreateSurface(700, 160, pixfmt::kBGRA32);
    frame.SetPlane(window);
    frame.SetFramePlane(backing);
    frame.SetFrameRange(fading ? 1000000 : 10, 0, -1);
    frame.SetAttr(1, fading ? 1 : 0);
    frame.GetNameLabel()->SetText(Utf8ToSjis(reinterpret_cast<const char*>(u8"ミオ")));
    CTextDrawable* text = frame.GetTextDrawable();
    text->SetOption(0);
    for (int line = 0; line < 3; ++line) {
        text->Layout(PageLine(line), -1);
        text->NewLine();
    }
    CDrawQueue queue;
    queue.Insert(1, &frame);
    queue.Insert(2, frame.GetNameLabel());
    queue.Insert(3, text);
    RectList list;
    const RectList cursor{{0, 0, 32, 32}};
    for (int i = 0; i < 3; ++i)
        DrawScenarioFrame(&back, &queue, &list, cursor);
    for (auto _ : state) {
        DrawScenarioFrame(&back, &queue, &list, cursor);
        benchmark::ClobberMemory();
    }
    queue.Remove(1);
    queue.Remove(2);
    queue.Remove(3);
}
void BM_WindowFrameAtRest(benchmark::State& state) { WindowFrames(state, false); }
void BM_WindowFrameFading(benchmark::State& state) { WindowFrames(state, true); }
BENCHMARK(BM_WindowFrameAtRest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowFrameFading)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchsupport::BltRatioReporter {
protected:
    void PrintRatios() override
    {
        const char* names[] = {"BM_TypePageMode1", "BM_TypePageMode2", "BM_TypePageMode3", "BM_WindowFrameAtRest",
                               "BM_WindowFrameFading"};
        for (const char* name : names) {
            if (Ran(name))
                std::printf("%-22s %8.3f x one full-screen Blt\n", name + 3, Ratio(name));
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    return benchsupport::RunBenchmarks(argc, argv, reporter);
}
