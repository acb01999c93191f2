#include "sound/CStreamMusic.h"

#include <algorithm>

#include "frame/FileLayer.h"
#include "sound/CPCMReaderFactory.h"
#include "sound/CStreamSound.h"

namespace {
constexpr int kEndWindowMs = 100;
}  // namespace

CStreamMusic::CStreamMusic() : factory_(new CPCMReaderFactory)
{
    stream_.Reset(CreateStreamSound(), true);
    if (stream_.get()) {
        stream_->SetReaderFactory(factory_);
    }
}

CStreamMusic::~CStreamMusic()
{
    if (stream_.get()) {
        Stop();
        fileName_.clear();
        stream_->Close();
    }
}

int CStreamMusic::Open(const char* name)
{
    if (!stream_.get()) {
        return 1;
    }
    Stop();
    bool r = stream_->Open(name, loop_);
    fileName_ = name ? name : "";
    SetPosition(0);
    return r ? 0 : 1;
}

int CStreamMusic::Close()
{
    if (!stream_.get()) {
        return 0;
    }
    Stop();
    fileName_.clear();
    return stream_->Close();
}

int CStreamMusic::Play()
{
    if (fileName_.empty() || !stream_.get()) {
        return 2;
    }
    if (paused_) {
        return Resume();
    }
    if (playing_) {
        Stop();
    }
    if (GetPosition() == GetLength()) {
        stream_->SetStartPosition(0);
    }
    return StartStream();
}

int CStreamMusic::StartStream()
{
    bool r = stream_->Play();
    playing_ = r;
    stream_->SetVolume(volume_);
    paused_ = false;
    saved_ = 0;
    return r ? 0 : 1;
}

int CStreamMusic::Resume()
{
    if (playing_ || !paused_ || !stream_.get()) {
        return 99;
    }
    stream_->Stop();
    stream_->SetStartPosition(saved_);
    return StartStream();
}

int CStreamMusic::Stop()
{
    if (!stream_.get()) {
        return 0;
    }
    // The fade runs whether or not anything is audible.
    int v = GetVolume();
    FadeOut(v, [this](int volume) { stream_->SetVolume(volume); });
    bool r = stream_->Stop();
    stream_->SetVolume(v);
    playing_ = false;
    paused_ = false;
    stream_->SetStartPosition(0);
    return r ? 1 : 0;
}

int CStreamMusic::Pause()
{
    if (!playing_ || paused_ || !stream_.get()) {
        return 99;
    }
    saved_ = stream_->GetPosition();
    bool r = stream_->Stop();
    stream_->SetStartPosition(saved_);
    playing_ = false;
    paused_ = true;
    return r ? 0 : 1;
}

bool CStreamMusic::IsPlaying()
{
    if (loop_) {
        return playing_;
    }
    if (!playing_) {
        return false;
    }
    // The stream knows best when a track has played out: its worker stops at
    // the data's end however late it woke. The position test stays for a
    // track whose end is near but not yet reached.
    int d = GetLength() - stream_->GetPosition();
    if (!stream_->IsPlaying() || (d >= -kEndWindowMs && d <= kEndWindowMs)) {
        Stop();
        // A later Play sees the position at the end and starts from 0.
        stream_->SetStartPosition(GetLength());
    }
    return playing_;
}

bool CStreamMusic::GetLoop()
{
    return loop_;
}

int CStreamMusic::SetLoop(bool loop)
{
    loop_ = loop;
    if (stream_.get()) {
        stream_->SetLoop(loop);
    }
    return 0;
}

int CStreamMusic::GetPosition()
{
    if (!stream_.get()) {
        return -1;
    }
    if (playing_) {
        return stream_->GetPosition();
    }
    if (paused_) {
        return saved_;
    }
    return stream_->GetStartPosition();
}

int CStreamMusic::SetPosition(int ms)
{
    if (!stream_.get()) {
        return 1;
    }
    ms = std::clamp(ms, 0, std::max(0, GetLength()));
    if (paused_) {
        saved_ = ms;
        return 0;
    }
    bool wasPlaying = playing_;
    Stop();
    stream_->SetStartPosition(ms);
    return wasPlaying ? Play() : 0;
}

int CStreamMusic::GetLength()
{
    return stream_.get() ? stream_->GetLength() : 0;
}

int CStreamMusic::SetVolume(int volume)
{
    volume_ = volume;
    return stream_.get() ? stream_->SetVolume(volume) : 1;
}

int CStreamMusic::GetVolume()
{
    return stream_.get() ? stream_->GetVolume() : volume_;
}

int CStreamMusic::Load(std::string path)
{
    return Open(MakeFullPath(path).c_str());
}

bool CStreamMusic::IsPaused()
{
    return paused_;
}

void CStreamMusic::SetReaderFactory(CRingPtr<CPCMReaderFactory> factory)
{
    factory_ = factory;
    if (stream_.get()) {
        stream_->SetReaderFactory(factory_);
    }
}

CRingPtr<CPCMReaderFactory> CStreamMusic::GetReaderFactory()
{
    return factory_;
}
