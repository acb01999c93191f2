#pragma once
// CScreenObjectBase: the root of every full-window screen (the start menu,
// gallery and scene replay through CGameScreen, and the backlog directly).
// It can keep a copy of the picture that stood on the back buffer when the
// screen opened, so that a screen may draw itself over the scenario's frame.
#include <memory>

class CFastPlane;
class CPlaneBase;

class CScreenObjectBase {
public:
    CScreenObjectBase();
    virtual ~CScreenObjectBase();
    CScreenObjectBase(const CScreenObjectBase&) = delete;
    CScreenObjectBase& operator=(const CScreenObjectBase&) = delete;

    // Copies source (colour-keyed, at 0, 0) into the background plane, made
    // at the configured screen size on the first call, then calls
    // PrepareBackground with source. Returns 0.
    virtual int CaptureBackground(CPlaneBase* source);
    // Whatever the screen derives from the captured picture.
    virtual int PrepareBackground(CPlaneBase* source) = 0;
    // Blits the captured background onto target (colour-keyed, at 0, 0):
    // 0, or 1 when nothing was captured.
    virtual int DrawBackground(CPlaneBase* target);

protected:
    // The captured background; null before CaptureBackground. Owned.
    CFastPlane* Background() const { return background_.get(); }

private:
    std::unique_ptr<CFastPlane> background_;
};
