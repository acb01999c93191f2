#pragma once
// CMovieFront: the one movie object the game makes. Every operation goes to
// the back-end chosen from gMovieMode when the front is built.
#include <memory>

#include "sound/CMovie.h"

class CMovieFront : public CMovie {
public:
    // Builds the back-end of gMovieMode (none for an unknown mode: every
    // operation then answers as a movie that never opened).
    CMovieFront();
    ~CMovieFront() override;

    int Open(const char* name) override;
    int Close() override;
    int Play() override;
    int Resume() override;
    int Stop() override;
    int Pause() override;
    bool IsPlaying() override;
    bool GetLoop() override;
    int SetLoop(bool loop) override;
    int GetPosition() override;
    int SetPosition(int ms) override;
    int GetLength() override;
    int SetVolume(int volume) override;
    int GetVolume() override;

    void SetDrawPos(int x, int y) override;
    MovieDrawPos* GetDrawPos() override;
    CFastPlane* GetPlane() override;
    CFastPlane* GetPlaneCopy() override;
    void SetDrawSize(int width, int height, int stretch) override;
    uint8_t* GetAspectFlag() override;
    uint8_t* GetCenterFlag() override;
    bool HasAudio() override;
    bool HasVideo() override;

    // The back-end (null for an unknown mode); owned by the front.
    CMovie* GetBackEnd() { return backEnd_.get(); }

private:
    std::unique_ptr<CMovie> backEnd_;
};
