#include "sound/CMovieAVI.h"

#include "frame/ErrorLog.h"
#include "frame/FileLayer.h"
#include "sound/CMovieAVIAUDIO.h"
#include "sound/CPlaneAVI.h"

CMovieAVI::CMovieAVI() = default;

CMovieAVI::~CMovieAVI()
{
    Close();
}

int CMovieAVI::Open(const char* name)
{
    if (!name) {
        return -1;
    }
    Close();
    if (!*name) {
        gErrorLog.Print("CMovieAVI::Open AviFile Open Error");
        return -1;
    }
    path_ = MakeFullPath(name);
    plane_ = std::make_unique<CPlaneAVI>(this);
    audio_ = std::make_unique<CMovieAVIAUDIO>(this);
    if (plane_->Open(path_) == 0) {
        hasVideo_ = true;
    }
    drawPos_.enabled = 1;
    if (audio_->OpenAudioStrema(path_) == 0) {
        hasAudio_ = true;
        audio_->InitAudio();
    } else {
        audio_.reset();
    }
    if (!hasVideo_) {
        gErrorLog.Print("CMovieAVI::Open StreamOpenError");
        Close();
        return -1;
    }
    int64_t length = plane_->GetLengthMs();
    if (length < 0 && audio_) {
        length = audio_->GetLengthMs();
    }
    lengthMs_ = length < 0 || length > INT32_MAX ? -1 : static_cast<int>(length);
    if (audio_) {
        audio_->SetVolume(volume_);
    }
    opened_ = true;
    return 0;
}

int CMovieAVI::Close()
{
    Stop();
    drawPos_.enabled = 0;
    opened_ = false;
    playing_ = false;
    hasVideo_ = false;
    hasAudio_ = false;
    pauseCount_ = 0;
    // The sound goes first: its feeder is joined before anything it reads is freed.
    audio_.reset();
    plane_.reset();
    lengthMs_ = -1;
    return 0;
}

int CMovieAVI::Play()
{
    if (!opened_) {
        return -1;
    }
    Stop();
    pauseCount_ = 0;
    playing_ = true;
    clock_.Reset();
    startOffset_ = 0;
    if (audio_) {
        audio_->Play();
    }
    if (plane_) {
        plane_->UpdateFrame();
    }
    return 0;
}

int CMovieAVI::Resume()
{
    if (pauseCount_ == 0) {
        return 0;
    }
    if (--pauseCount_ == 0 && !playing_) {
        startOffset_ = savedPos_;
        playing_ = true;
        clock_.Reset();
        if (audio_) {
            audio_->Resume();
        }
    }
    return 0;
}

int CMovieAVI::Stop()
{
    if (playing_) {
        pauseCount_ = 1;
        savedPos_ = GetPosition();
        clock_.Pause();
        playing_ = false;
        if (audio_) {
            audio_->Stop();
        }
    } else if (pauseCount_ > 0) {
        ++pauseCount_;
    }
    return 0;
}

void CMovieAVI::EndOfMovie()
{
    savedPos_ = GetPosition();
    clock_.Pause();
    playing_ = false;
    pauseCount_ = 0;
    if (audio_) {
        audio_->Stop();
    }
}

bool CMovieAVI::IsPlaying()
{
    if (!playing_) {
        return false;
    }
    // The video's end is known once decoding has reached it, so the frame is
    // brought up to the clock first.
    plane_->UpdateFrame();
    const int64_t now = GetPosition();
    const int64_t videoEnd = plane_->GetEndMs();
    const bool videoDone = videoEnd >= 0 && now >= videoEnd;
    bool audioDone = true;
    if (audio_ && audio_->HasBuffer()) {
        const int64_t audioEnd = audio_->GetEndMs();
        audioDone = audioEnd >= 0 && now >= audioEnd;
    }
    if (videoDone && audioDone) {
        EndOfMovie();
    }
    return playing_;
}

int CMovieAVI::SetLoop(bool loop)
{
    if (loop == loop_) {
        return 1;
    }
    loop_ = loop;
    if (audio_) {
        audio_->SetLoop(loop);
    }
    return 0;
}

int CMovieAVI::GetPosition()
{
    if (!playing_) {
        return savedPos_;
    }
    return clock_.GetElapsed() + startOffset_;
}

int CMovieAVI::SetPosition(int ms)
{
    if (ms < 0) {
        ms = 0;
    }
    startOffset_ = playing_ ? ms - clock_.GetElapsed() : ms;
    savedPos_ = ms;
    if (audio_) {
        audio_->SetPosition();
    }
    return 0;
}

int CMovieAVI::SetVolume(int volume)
{
    volume_ = volume;
    return audio_ ? audio_->SetVolume(volume) : -1;
}

int CMovieAVI::GetVolume()
{
    if (!audio_) {
        return volume_;
    }
    return audio_->HasBuffer() ? audio_->GetVolume() : -10000;
}

void CMovieAVI::SetDrawPos(int x, int y)
{
    drawPos_.x = x;
    drawPos_.y = y;
}

CFastPlane* CMovieAVI::GetPlane()
{
    if (!plane_ || !hasVideo_) {
        return nullptr;
    }
    plane_->UpdateFrame();
    return plane_->GetFramePlane();
}

CFastPlane* CMovieAVI::GetPlaneCopy()
{
    return GetPlane() ? plane_->CopyFrame() : nullptr;
}

void CMovieAVI::SetDrawSize(int width, int height, int stretch)
{
    if (width > 0 && height >= 1) {
        drawWidth_ = width;
        drawHeight_ = height;
    }
    stretch_ = static_cast<uint8_t>(stretch);
}

bool CMovieAVI::GetFrameGeometry(int mw, int mh, Rect* source, Rect* target) const
{
    return MovieFrameGeometry(mw, mh, drawPos_.x, drawPos_.y, drawWidth_, drawHeight_, stretch_ != 0,
                              keepAspect_ != 0, center_ != 0, source, target);
}
