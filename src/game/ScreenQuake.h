#pragma once
// CScreenQuake: the state of the two whole-screen effects the scenario can
// start, a quake (the presented picture jumps around) and a flash (the frozen
// picture brightens towards a colour and back). The frame loop asks for the
// state each frame, applies this frame's offset or colour, then calls Step.
// While the state is not kRest the scenario is not stepped.
#include <cstdint>

class CScreenQuake {
public:
    static constexpr int32_t kRest = 0;
    static constexpr int32_t kQuake = 1;
    static constexpr int32_t kFlash = 2;

    // Seeds the game's random generator from the clock and starts a quake of
    // duration / 30 frames (plus a last frame at rest). axis: 1 vertical only,
    // 2 horizontal only, else both; envelope 1-4 (else constant); amplitude in
    // pixels (0 or less: the picture does not move). Returns 0.
    int StartQuake(int32_t axis, int32_t duration, int32_t envelope, int32_t amplitude);
    // Starts a flash towards colour (0x00RRGGBB) rising over `rising` frames
    // and falling over `falling` frames, then one frame at factor 0. Returns 0.
    int StartFlash(int32_t color, int32_t rising, int32_t falling);
    int32_t GetState() const { return state_; }
    // This frame's quake offset in pixels (0, 0 at rest); returns 0.
    int GetQuakeOffset(int32_t* x, int32_t* y) const;
    // This frame's flash colour 0xFFRRGGBB to add; returns 0.
    int GetFlashColor(uint32_t* color) const;
    // Advances one frame; returns the new state.
    int32_t Step();

    // The random offset in [-amplitude, amplitude - 1] the quake draws from
    // (0 for an amplitude below 1). Exposed for tests.
    static int32_t RawOffset(int32_t amplitude);
    // The envelope factor at `remaining` of `length` frames.
    static double EnvelopeFactor(int32_t envelope, int32_t remaining, int32_t length);

private:
    uint32_t flashColor_ = 0;
    int32_t amplitude_ = -1;
    int32_t envelope_ = 0;
    int32_t axis_ = 0;
    int32_t length1_ = -1;
    int32_t length2_ = -1;
    int32_t remaining1_ = -1;
    int32_t remaining2_ = -1;
    int32_t state_ = kRest;
};
