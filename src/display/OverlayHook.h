#pragma once
// COverlayHook: something that draws over every presented frame (the movie
// back-ends). Constructing one registers it with the presenter; destroying it
// removes it. Main thread only.
#include <vector>

class CFastDraw;

class COverlayHook {
public:
    COverlayHook();
    virtual ~COverlayHook();
    COverlayHook(const COverlayHook&) = delete;
    COverlayHook& operator=(const COverlayHook&) = delete;

    // Draws onto draw->GetBackPlane(); called once per Present, before the
    // screen fade and the upload.
    virtual void DrawToPlane(CFastDraw* draw) = 0;
    // Drawing onto the back-buffer surface. The back buffer is a memory plane
    // here, so both mean the same drawing.
    virtual void DrawToSurface(CFastDraw* draw) { DrawToPlane(draw); }

    // The registered hooks in the order of registration.
    static std::vector<COverlayHook*> Registered();
};
