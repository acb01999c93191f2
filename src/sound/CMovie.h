#pragma once
// CMovie: the media interface with the movie operations appended. A movie is
// drawn by its back-end as an overlay over every presented frame, at its draw
// position and draw size; it never enters the draw queue.
#include <cstdint>

#include "frame/Rect.h"
#include "sound/MediaObject.h"

class CFastPlane;

// Where the presenter draws a movie; nothing is drawn while `enabled` is 0.
struct MovieDrawPos {
    uint8_t enabled = 0;
    int32_t x = 0;
    int32_t y = 0;
};

class CMovie : public CMediaObject {
public:
    // Top-left corner of the movie on the screen.
    virtual void SetDrawPos(int x, int y) = 0;
    // The draw record; null when the back-end has none.
    virtual MovieDrawPos* GetDrawPos() = 0;
    // Brings the frame up to the movie's clock; the frame plane, null without video.
    virtual CFastPlane* GetPlane() = 0;
    // As GetPlane, then copies the frame into a second plane and returns that.
    virtual CFastPlane* GetPlaneCopy() = 0;
    // A width above 0 and a height of 1 or more replace the stored size; the
    // stretch flag is always stored.
    virtual void SetDrawSize(int width, int height, int stretch) = 0;
    // The keep-aspect and centre bytes (0 from construction); null without them.
    virtual uint8_t* GetAspectFlag() = 0;
    virtual uint8_t* GetCenterFlag() = 0;
    // Set by Open when a sound stream / the frame plane was set up.
    virtual bool HasAudio() = 0;
    virtual bool HasVideo() = 0;
};

// 0 null back-end, 1 the platform's stream player with the decoding back-end
// as fallback, 2 the decoding back-end. Both players here decode through the
// same decoder, so 1 and 2 build the same back-end.
extern int32_t gMovieMode;
// 1 when the stream player could be made the last time one was tried; we have
// no separate stream player, so it stays 0 and mode 1 falls back.
extern uint8_t gDirectShowAvailable;

// The screen rectangle a movie frame of mw x mh goes to, and the part of the
// frame copied there, for a draw position (x, y), draw size dw x dh and the
// stretch, keep-aspect and centre bytes. False when nothing is to be drawn
// (an empty frame or draw size).
bool MovieFrameGeometry(int mw, int mh, int x, int y, int dw, int dh, bool stretch, bool keepAspect,
                        bool center, Rect* source, Rect* target);
