#pragma once
// CFastDraw: the display manager. Owns the back-buffer plane that every frame
// draws on, in the screen mode's own pixel format (16 bits: 5-6-5, 24: B,G,R
// bytes, 32: B,G,R,X), and puts it on the main window through the platform's
// video output, windowed or full screen on the desktop.
//
// A mode change is BeginChangeDisplay, then TestDisplayMode attempts (the
// first that succeeds ends the attempts), then EndChangeDisplay. Planes
// survive every change: planes in the old screen format (or its alpha
// format) are converted to the new one.
#include <memory>
#include <vector>

#include "display/FastPlane.h"
#include "display/PresentedFrame.h"

namespace platform {
class VideoOutput;
}

class CFastDraw {
public:
    // Builds the blend tables. No mode and no back buffer until SetDisplayMode.
    CFastDraw();
    ~CFastDraw();
    CFastDraw(const CFastDraw&) = delete;
    CFastDraw& operator=(const CFastDraw&) = delete;

    // Stores the size and depth (0: 16) and changes the display to that mode,
    // windowed or full screen as the display is now. 0 on success, 1 when no
    // back buffer could be made.
    int SetDisplayMode(int width, int height, int depth = 16);
    // Starts a mode change and marks it pending.
    void BeginChangeDisplay();
    // Does nothing (returns 0) unless a change is pending. Tries the mode:
    // full screen at depth 16, 24 or 32, or windowed at the desktop's depth;
    // on success the change is no longer pending and 0 is returned, else 1.
    int TestDisplayMode(int width, int height, bool fullScreen, int depth);
    // Ends the change. When every attempt failed, the display goes back to a
    // window (at the desktop's depth), so there is always a back buffer.
    void EndChangeDisplay();

    // The offset (client pixels) at which the back buffer is presented.
    void SetScreenOffset(int x, int y);
    // Draws the overlay hooks on the back buffer, dims it by the fade level
    // when that is not 256, and presents it shifted by the screen offset. The
    // game passes 0 and 1, which select nothing here. 0 when shown, 1 when
    // there is no back buffer or no window to show it in.
    // Only the parts that differ from the last presented frame are uploaded,
    // and a frame like the last is not presented again.
    int Present(int unused0 = 0, int unused1 = 1);
    // A promise for the next Present: since the last one, the back buffer was
    // drawn on only inside these rectangles, so only they are compared. Without
    // it (or with a fade or an overlay hook on) the whole frame is compared.
    void NoteDrawnOnlyIn(const std::vector<Rect>& rects)
    {
        drawnOnlyIn_ = rects;
        promised_ = true;
        uncompared_ = false;
    }
    // The same promise for rectangles that mostly did change (many small
    // parts redrawn each frame): they go up as they are, since comparing
    // them costs more than sending the few that did not. The frame after
    // the next one that is compared goes up whole.
    void NoteChangedOnlyIn(const std::vector<Rect>& rects)
    {
        NoteDrawnOnlyIn(rects);
        uncompared_ = true;
    }
    // Shows the back buffer as it is now, compared only inside the
    // rectangles, without the overlay hooks or the fade: a mend of the frame
    // on screen (the cursor taken off for a box, say). 0 when shown; 1
    // without a back buffer or a window.
    int PresentMended(const std::vector<Rect>& changedIn);
    // Presents so far (Present and PresentMended, shown or not), and what the
    // last one did to the back buffer before showing it: the overlay hooks
    // drew on it, the fade dimmed it by a level (256: not dimmed).
    uint32_t PresentCount() const { return presents_; }
    bool HooksDrewAtLastPresent() const { return hooksDrew_; }
    int FadeAtLastPresent() const { return fadeShown_; }
    // Screen fade: 256 shows the picture as drawn; below, each frame is dimmed
    // by FadeEffect(level) just before it is shown.
    void SetFadeLevel(int level) { fadeLevel_ = level; }
    int GetFadeLevel() const { return fadeLevel_; }

    // Bits per pixel of the back buffer (the screen mode), 0 before a mode.
    int GetScreenBitsPerPixel() const;
    bool IsFullScreen() const { return fullScreen_; }
    // The back buffer, null before a mode is set. Owned by the display.
    CFastPlane* GetBackPlane() { return back_.get(); }
    // The video output (tests read the window back through it).
    platform::VideoOutput* Output() { return output_.get(); }

private:
    bool MakeBackBuffer(int width, int height, int format);
    // Compares the back buffer with the frame on screen (inside `within`
    // only, when given) and shows what differs; with uncompared (and
    // within), shows `within` as changed without comparing. 0 when shown.
    int Show(const std::vector<Rect>* within, bool uncompared);

    std::unique_ptr<platform::VideoOutput> output_;
    std::unique_ptr<CFastPlane> back_;
    CPresentedFrame presented_;
    std::vector<Rect> drawnOnlyIn_;
    bool promised_ = false;
    bool uncompared_ = false;
    int width_ = 800, height_ = 600, depth_ = 16;
    int offsetX_ = 0, offsetY_ = 0;
    int fadeLevel_ = 256;
    uint32_t presents_ = 0;
    bool hooksDrew_ = false;
    int fadeShown_ = 256;
    bool fullScreen_ = false;
    bool pending_ = false;
};
