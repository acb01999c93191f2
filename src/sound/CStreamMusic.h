#pragma once
// CStreamMusic: the background-music player: a media object that streams one
// file through a CStreamSound, with a single-level pause that remembers the
// position, a 25 ms fade on stop, and the end of a non-looping track noticed
// by IsPlaying. Results: 0 ok, 1 the stream refused, 2 nothing to play,
// 99 a call in the wrong state.
#include <string>

#include "frame/CRingPtr.h"
#include "frame/Holder.h"
#include "sound/MediaObject.h"

class CPCMReaderFactory;
class CStreamSoundBase;

class CStreamMusic : public CMediaObject {
public:
    // Makes its own stream and reader factory.
    CStreamMusic();
    ~CStreamMusic() override;

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
    // Clamped to 0..GetLength().
    int SetPosition(int ms) override;
    int GetLength() override;
    int SetVolume(int volume) override;
    int GetVolume() override;
    // Resolves the path to a full path and opens it.
    int Load(std::string path) override;

    virtual bool IsPaused();
    virtual void SetReaderFactory(CRingPtr<CPCMReaderFactory> factory);
    virtual CRingPtr<CPCMReaderFactory> GetReaderFactory();

    CStreamSoundBase* GetStream() const { return stream_.get(); }

private:
    // Plays the stream from its start position with the stored volume; 0, or 1 when refused.
    int StartStream();

    Holder<CStreamSoundBase> stream_;
    CRingPtr<CPCMReaderFactory> factory_;
    std::string fileName_;
    bool loop_ = false;
    bool playing_ = false;
    bool paused_ = false;
    int saved_ = 0;
    int volume_ = 0;
    CRingPtr<CPCMReaderFactory> unused_;
};
