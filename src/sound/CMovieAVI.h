#pragma once
// CMovieAVI: the movie back-end that decodes the file itself: its video into
// a plane drawn as an overlay (CPlaneAVI), its sound into a mixer ring fed by
// a thread (CMovieAVIAUDIO). Both follow one clock: the movie position is the
// clock's elapsed time plus the start offset.
//
// The movie ends (IsPlaying turns false) once the clock has passed both the
// last video frame and the last sound sample, so sound and picture end
// together; the sound is stopped at that moment.
#include <cstdint>
#include <memory>
#include <string>

#include "frame/CTimer.h"
#include "sound/CMovie.h"

class CMovieAVIAUDIO;
class CPlaneAVI;

class CMovieAVI : public CMovie {
public:
    CMovieAVI();
    ~CMovieAVI() override;

    // Opens a file by name (never through the archive); -1 when it cannot be
    // opened or has no decodable video. A sound stream is optional.
    int Open(const char* name) override;
    int Close() override;
    // -1 without an opened movie; else plays from 0.
    int Play() override;
    int Resume() override;
    int Stop() override;
    int Pause() override { return Stop(); }
    // The playing byte, after ending the movie when its clock has passed the end.
    bool IsPlaying() override;
    bool GetLoop() override { return loop_; }
    // 1 when unchanged, else 0. The movie never restarts at its end.
    int SetLoop(bool loop) override;
    int GetPosition() override;
    int SetPosition(int ms) override;
    // The video's length in ms (the sound's when the file gives no video length).
    int GetLength() override { return lengthMs_; }
    int SetVolume(int volume) override;
    int GetVolume() override;

    void SetDrawPos(int x, int y) override;
    MovieDrawPos* GetDrawPos() override { return &drawPos_; }
    CFastPlane* GetPlane() override;
    CFastPlane* GetPlaneCopy() override;
    void SetDrawSize(int width, int height, int stretch) override;
    uint8_t* GetAspectFlag() override { return &keepAspect_; }
    uint8_t* GetCenterFlag() override { return &center_; }
    bool HasAudio() override { return hasAudio_; }
    bool HasVideo() override { return hasVideo_; }

    // Where a frame of mw x mh goes with the current draw settings; false
    // when nothing is to be drawn.
    bool GetFrameGeometry(int mw, int mh, Rect* source, Rect* target) const;
    // The children, for inspection (null when Open did not make them).
    CPlaneAVI* GetPlaneAVI() { return plane_.get(); }
    CMovieAVIAUDIO* GetAudio() { return audio_.get(); }

private:
    void EndOfMovie();

    std::unique_ptr<CPlaneAVI> plane_;
    std::unique_ptr<CMovieAVIAUDIO> audio_;
    std::string path_;
    CTimer clock_;
    int lengthMs_ = -1;
    int savedPos_ = 0;
    int startOffset_ = 0;
    int pauseCount_ = 0;
    bool playing_ = false;
    bool loop_ = false;
    bool opened_ = false;
    bool hasVideo_ = false;
    bool hasAudio_ = false;
    uint8_t keepAspect_ = 0;
    uint8_t center_ = 0;
    MovieDrawPos drawPos_;
    int drawWidth_ = 0;
    int drawHeight_ = 0;
    uint8_t stretch_ = 0;
    int volume_ = 0;
};
