#include "sound/CCDDA.h"

#include "frame/ErrorLog.h"
#include "platform/Cd.h"
#include "platform/MessagePump.h"
#include "platform/WindowMessages.h"

namespace {
// Device ids for the notification's lParam, as the CD device numbers them.
std::atomic<int> gNextDeviceId{1};
constexpr uint32_t kToDiscEnd = static_cast<uint32_t>(-1);
}  // namespace

uint32_t CCDDA::PackMsf(uint32_t frames)
{
    uint32_t m = frames / (60 * 75);
    uint32_t s = frames / 75 % 60;
    uint32_t f = frames % 75;
    return (m & 0xFF) | (s << 8) | (f << 16);
}

uint32_t CCDDA::UnpackMsf(uint32_t packed)
{
    return ((packed & 0xFF) * 60 + ((packed >> 8) & 0xFF)) * 75 + ((packed >> 16) & 0xFF);
}

CCDDA::CCDDA()
{
    AddWindowListener(this);
    listening_ = true;
    window_ = GetAppWindow();
}

CCDDA::~CCDDA()
{
    if (open_) {
        Close();
    }
    if (listening_) {
        RemoveWindowListener(this);
    }
}

uint32_t CCDDA::GetTrackStart(int track) const
{
    return track >= 1 && track <= trackCount_ ? trackStart_[track - 1] : 0;
}

uint32_t CCDDA::GetTrackLength(int track) const
{
    return track >= 1 && track <= trackCount_ ? trackLength_[track - 1] : 0;
}

CdOpenResult CCDDA::Open(std::string drive)
{
    drive_ = drive;
    if (open_) {
        Close();
    }
    device_ = platform::cd::CdDevice::Open(drive_);
    if (!device_) {
        device_ = platform::cd::CdDevice::Open(drive_);
    }
    if (!device_) {
        // Treated as closed: later calls try to open again.
        gErrorLog.Print("CCDDA::OpenでMCI_OPENに失敗");
        return kCdNoDevice;
    }
    deviceId_ = gNextDeviceId++;
    open_ = true;
    const auto& tracks = device_->Tracks();
    if (tracks.empty() || tracks.size() > static_cast<size_t>(kMaxTracks)) {
        // The tables hold 99 tracks; a larger (or empty) disc is not ours to play.
        gErrorLog.Print("CCDDA::OpenでMCI_STATUS_ITEM(MCI_STATUS_NUMBER_OF_TRACKS)に失敗");
        Close();
        return kCdBadTrackCount;
    }
    trackCount_ = static_cast<int>(tracks.size());
    totalLength_ = PackMsf(device_->LeadOut() - tracks.front().start);
    for (int t = 0; t < trackCount_; ++t) {
        trackStart_[t] = PackMsf(tracks[t].start);
        trackLength_[t] = PackMsf(tracks[t].length);
    }
    device_->SetFinishedCallback([this] { OnFinished(); });
    return kCdOpened;
}

CdStopResult CCDDA::Close()
{
    if (!open_) {
        return kCdStopped;
    }
    if (!device_) {
        return kCdStopNotOpen;
    }
    if (playing_) {
        Stop();
    }
    device_.reset();
    deviceId_ = -1;
    open_ = false;
    trackCount_ = 0;
    return kCdStopped;
}

CdPlayResult CCDDA::Play(int from, int to)
{
    if (!open_ && Open(drive_) != kCdOpened) {
        gErrorLog.Print("CCDDA::Playで、Openに失敗。");
        return kCdPlayNotOpen;
    }
    if (to > trackCount_) {
        gErrorLog.Print("CCDDA::Playで再生トラックが最大トラック数を超えています");
        return kCdPlayBadTracks;
    }
    if (from < 1 || from > to) {
        // Track 0 would read the entry before the table.
        return kCdPlayBadTracks;
    }
    uint32_t start = trackStart_[from - 1];
    uint32_t end = to < trackCount_ ? trackStart_[to] : kToDiscEnd;
    if (PlayDW(start, end, false) != kCdRangePlaying) {
        gErrorLog.Print("CCDDA::PlayでMCI_PLAYに失敗");
        return kCdPlayFailed;
    }
    return kCdPlaying;
}

CdPlayRangeResult CCDDA::PlayDW(uint32_t from, uint32_t to, bool keepRange)
{
    if (!open_ || !device_) {
        gErrorLog.Print("CCDDA::PlayDWが、Openされていないのに呼び出されました");
        return kCdRangeNotOpen;
    }
    if (from == to) {
        return kCdRangePlaying;
    }
    uint32_t fromFrame = UnpackMsf(from);
    uint32_t toFrame = to == kToDiscEnd ? 0 : UnpackMsf(to);
    pendingNotify_ = false;
    if (!device_->Play(fromFrame, toFrame)) {
        gErrorLog.Print("CCDDA::PlayDWでMCI_PLAYに失敗");
        return kCdRangeFailed;
    }
    if (!keepRange) {
        rangeStart_ = from;
    }
    rangeEnd_ = to;
    playing_ = true;
    ++playCount_;
    return kCdRangePlaying;
}

CdStopResult CCDDA::Stop()
{
    if (!open_ || !device_) {
        gErrorLog.Print("CCDDA::Stopが、Openされていないのに呼び出されました");
        return kCdStopNotOpen;
    }
    if (!playing_) {
        return kCdStopNotPlaying;
    }
    device_->Stop();
    pendingNotify_ = false;
    playing_ = false;
    return kCdStopped;
}

void CCDDA::Replay()
{
    if (loop_) {
        PlayDW(rangeStart_, rangeEnd_, true);
    } else {
        Stop();
    }
}

int CCDDA::OnWindowMessage(platform::WindowHandle /*window*/, uint32_t message, platform::WParam wParam,
                           platform::LParam lParam)
{
    if (message == platform::kWmMciNotify && lParam == deviceId_ && deviceId_ != -1 &&
        wParam == platform::kMciNotifySuccessful) {
        Replay();
        return 1;
    }
    return 0;
}

void CCDDA::OnFinished()
{
    // On the feeder thread: hand the notification to the game thread.
    if (window_ && platform::PostMessage(window_, platform::kWmMciNotify, platform::kMciNotifySuccessful,
                                         deviceId_)) {
        return;
    }
    pendingNotify_ = true;
}

void CCDDA::PollNotify()
{
    if (pendingNotify_.exchange(false)) {
        OnWindowMessage(window_, platform::kWmMciNotify, platform::kMciNotifySuccessful, deviceId_);
    }
}

int CCDDA::AbsoluteToTrackTime(uint32_t position, int* track, int* hours, int* minutes, int* seconds,
                               int* frames)
{
    if (!open_) {
        return -1;
    }
    auto secondsOf = [](uint32_t packed) { return (packed & 0xFF) * 60 + ((packed >> 8) & 0xFF); };
    uint32_t at = secondsOf(position);
    int found = 1;
    for (int t = 1; t <= trackCount_; ++t) {
        if (secondsOf(trackStart_[t - 1]) > at) {
            break;
        }
        found = t;
    }
    *track = found;
    *hours = static_cast<int>((position & 0xFF) / 60);
    *minutes = static_cast<int>((position & 0xFF) % 60);
    *seconds = static_cast<int>((position >> 8) & 0xFF);
    *frames = 0;
    return 0;
}

int CCDDA::TrackTimeToAbsolute(uint32_t* position, int track, int hours, int minutes, int seconds,
                               int /*frames*/)
{
    if (!open_ || track < 1 || track > trackCount_) {
        return -1;
    }
    auto secondsOf = [](uint32_t packed) { return (packed & 0xFF) * 60 + ((packed >> 8) & 0xFF); };
    int64_t offset = (static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds;
    if (offset < 0 || offset >= secondsOf(trackLength_[track - 1])) {
        return -1;
    }
    int64_t absolute = secondsOf(trackStart_[track - 1]) + offset;
    *position = static_cast<uint32_t>(((absolute % 60) << 8) | ((absolute / 60) & 0xFF));
    return 0;
}
