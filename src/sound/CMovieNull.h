#pragma once
// CMovieNull: the back-end of movie mode 0. Nothing opens or plays; only the
// loop byte is kept.
#include "sound/CMovie.h"

class CMovieNull : public CMovie {
public:
    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int Play() override { return 0; }
    int Resume() override { return 0; }
    int Stop() override { return 0; }
    int Pause() override { return 0; }
    bool IsPlaying() override { return false; }
    bool GetLoop() override { return loop_; }
    int SetLoop(bool loop) override
    {
        loop_ = loop;
        return 0;
    }
    int GetPosition() override { return -1; }
    int SetPosition(int) override { return -1; }
    int GetLength() override { return -1; }
    int SetVolume(int) override { return -1; }
    int GetVolume() override { return -10000; }

    void SetDrawPos(int, int) override {}
    MovieDrawPos* GetDrawPos() override { return nullptr; }
    CFastPlane* GetPlane() override { return nullptr; }
    CFastPlane* GetPlaneCopy() override { return nullptr; }
    void SetDrawSize(int, int, int) override {}
    uint8_t* GetAspectFlag() override { return nullptr; }
    uint8_t* GetCenterFlag() override { return nullptr; }
    bool HasAudio() override { return false; }
    bool HasVideo() override { return false; }

private:
    bool loop_ = false;
};
