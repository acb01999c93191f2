// A stack of full-screen opaque pictures in the draw queue, one frame drawn
// in full (as when the message window goes or a picture under the stack
// changes), against one full-screen Blt of the same pictures. Only what
// shows should be drawn: the frame should cost about one Blt whatever the
// height of the stack.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "game/DrawFrame.h"
#include "game/DrawQueue.h"
#include "game/EffectPicture.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A shown picture whose transition is over: it blits plainly from now on.
std::unique_ptr<CEffectPicture> StillPicture(uint32_t seed)
{
    auto plane = std::make_unique<CFastPlane>();
    plane->CreateSurface(kWidth, kHeight, pixfmt::kBGRX32);
    plane->Clear(seed * 0x010203u & 0xFFFFFFu, nullptr);
    auto p = std::make_unique<CEffectPicture>();
    p->SetPlane(plane.release());
    p->SetFrameRange(4, 0, -1);
    p->SetAttr(1, 0);
    return p;
}

void BM_StackedPictures(benchmark::State& state)
{
    CFastPlane back;
    back.CreateSurface(kWidth, kHeight, pixfmt::kBGRX32);
    std::vector<std::unique_ptr<CEffectPicture>> stack;
    CDrawQueue queue;
    for (int i = 0; i < state.range(0); ++i) {
        stack.push_back(StillPicture(static_cast<uint32_t>(i + 1)));
        queue.Insert(i, stack.back().get());
    }
    RectList list;
    const RectList whole = {{0, 0, kWidth, kHeight}};
    for (auto _ : state) {
        DrawScenarioFrame(&back, &queue, &list, whole);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StackedPictures)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

using benchsupport::BM_FullScreenBlt;
BENCHMARK(BM_FullScreenBlt)->Unit(benchmark::kMicrosecond);

class Reporter : public benchsupport::MedianReporter {
public:
    void Finalize() override
    {
        MedianReporter::Finalize();
        PrintRatio("ten full-screen opaque pictures stacked, one frame / one Blt", "BM_StackedPictures/10",
                   "BM_FullScreenBlt", 1.5);
        PrintRatio("a hundred of them, one frame / one Blt", "BM_StackedPictures/100", "BM_FullScreenBlt", 1.5);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Reporter reporter;
    return benchsupport::RunBenchmarks(argc, argv, reporter);
}
