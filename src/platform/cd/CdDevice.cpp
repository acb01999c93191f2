// CdDevice on libcdio. Playback: a feeder thread keeps a 2-second ring on
// the mixer's CD line filled with audio sectors (2352 bytes: 588 frames of
// 44.1 kHz 16-bit stereo), a whole sector at a time into the part the play
// cursor has freed, and reports the end of the range once it has been heard.
#include "platform/Cd.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include "platform/Audio.h"

namespace platform::cd {

namespace {

constexpr uint32_t kSectorBytes = 2352;
constexpr uint32_t kRingSectors = 150;  // 2 s
constexpr int kFeedPollMs = 10;

std::mutex gImageLock;
std::map<std::string, std::string>& Images()
{
    static std::map<std::string, std::string> images;
    return images;
}

void QuietLog(cdio_log_level_t, const char*) {}

std::string Upper(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

bool EndsWith(const std::string& s, const char* suffix)
{
    size_t n = std::strlen(suffix);
    return s.size() >= n && Upper(s.substr(s.size() - n)) == Upper(suffix);
}

// The source libcdio opens for a drive name; empty when there is none.
std::string SourceFor(const std::string& drive)
{
    {
        std::lock_guard<std::mutex> lock(gImageLock);
        auto it = Images().find(Upper(drive));
        if (it != Images().end()) {
            return it->second;
        }
    }
    if (const char* image = std::getenv("LANTERN_CD_IMAGE"); image && *image) {
        return image;
    }
    if (drive.empty()) {
        char* def = cdio_get_default_device(nullptr);
        std::string s = def ? def : "";
        std::free(def);
        return s;
    }
    char letter = Upper(drive)[0];
    if (letter < 'D' || letter > 'Z') {
        return "";
    }
    std::string found;
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    for (int i = 0; devices && devices[i]; ++i) {
        if (i == letter - 'D') {
            found = devices[i];
            break;
        }
    }
    cdio_free_device_list(devices);
    return found;
}

class LibcdioDevice final : public CdDevice {
public:
    ~LibcdioDevice() override
    {
        Stop();
        if (cdio_) {
            cdio_destroy(cdio_);
        }
    }

    bool Init(const std::string& source)
    {
        cdio_log_set_handler(QuietLog);
        cdio_ = EndsWith(source, ".cue") ? cdio_open_cue(source.c_str())
                                         : cdio_open(source.c_str(), DRIVER_UNKNOWN);
        if (!cdio_) {
            return false;
        }
        track_t first = cdio_get_first_track_num(cdio_);
        track_t count = cdio_get_num_tracks(cdio_);
        if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
            return false;
        }
        lsn_t leadOut = cdio_get_track_lsn(cdio_, CDIO_CDROM_LEADOUT_TRACK);
        if (leadOut == CDIO_INVALID_LSN || leadOut <= 0) {
            return false;
        }
        leadOut_ = static_cast<uint32_t>(leadOut) + kLeadIn;
        for (track_t t = first; t < first + count; ++t) {
            lsn_t lsn = cdio_get_track_lsn(cdio_, t);
            lsn_t next = t + 1 < first + count ? cdio_get_track_lsn(cdio_, static_cast<track_t>(t + 1)) : leadOut;
            if (lsn == CDIO_INVALID_LSN || next == CDIO_INVALID_LSN || next < lsn || lsn < 0) {
                return false;
            }
            CdTrack track;
            track.start = static_cast<uint32_t>(lsn) + kLeadIn;
            track.length = static_cast<uint32_t>(next - lsn);
            track.audio = cdio_get_track_format(cdio_, t) == TRACK_FORMAT_AUDIO;
            tracks_.push_back(track);
        }
        return true;
    }

    const std::vector<CdTrack>& Tracks() const override { return tracks_; }
    uint32_t LeadOut() const override { return leadOut_; }

    bool Play(uint32_t from, uint32_t to) override
    {
        Stop();
        if (to == 0) {
            to = leadOut_;
        }
        if (from < kLeadIn || from >= to || to > leadOut_) {
            return false;
        }
        if (!output_) {
            output_ = AudioDevice::Create();
            if (!output_) {
                return false;
            }
        }
        BufferDesc desc;
        desc.flags = kBufCtrlVolume;
        desc.bytes = kRingSectors * kSectorBytes;
        desc.format.wFormatTag = kWaveFormatPcm;
        desc.format.nChannels = 2;
        desc.format.nSamplesPerSec = 44100;
        desc.format.wBitsPerSample = 16;
        desc.format.nBlockAlign = 4;
        desc.format.nAvgBytesPerSec = 44100 * 4;
        desc.line = AudioLine::CD;
        if (output_->CreateSoundBuffer(desc, &ring_) != kAudioOk) {
            return false;
        }
        from_ = from;
        next_ = from;
        end_ = to;
        played_ = 0;
        writeOffset_ = 0;
        lastPlay_ = 0;
        freeBytes_ = 0;
        stop_ = false;
        // Prime the whole ring before it starts.
        for (uint32_t i = 0; i < kRingSectors; ++i) {
            WriteSector();
        }
        position_ = from;
        playing_ = true;
        ring_->Play(true);
        feeder_ = std::thread([this] { Feed(); });
        return true;
    }

    void Stop() override
    {
        {
            std::lock_guard<std::mutex> lock(stopLock_);
            stop_ = true;
        }
        stopChanged_.notify_all();
        if (feeder_.joinable()) {
            feeder_.join();
        }
        if (ring_) {
            ring_->Stop();
            ring_.reset();
        }
        playing_ = false;
        position_ = 0;
    }

    bool IsPlaying() const override { return playing_; }

    void SetFinishedCallback(std::function<void()> callback) override
    {
        std::lock_guard<std::mutex> lock(stopLock_);
        finished_ = std::move(callback);
    }

    uint32_t GetPosition() const override { return position_; }

private:
    // Reads the next sector of the range (silence past its end) into the ring.
    void WriteSector()
    {
        void* p1 = nullptr;
        uint32_t n1 = 0;
        if (ring_->Lock(writeOffset_, kSectorBytes, &p1, &n1, nullptr, nullptr, 0) != kAudioOk) {
            return;
        }
        if (next_ < end_ &&
            cdio_read_audio_sectors(cdio_, p1, static_cast<lsn_t>(next_ - kLeadIn), 1) == DRIVER_OP_SUCCESS) {
            // A sector's samples are little-endian, as the mixer reads them on this machine.
        } else {
            std::memset(p1, 0, n1);
        }
        ++next_;
        ring_->Unlock(p1, n1, nullptr, 0);
        writeOffset_ = (writeOffset_ + kSectorBytes) % (kRingSectors * kSectorBytes);
    }

    void Feed()
    {
        const uint64_t total = static_cast<uint64_t>(end_ - from_) * kSectorBytes;
        const uint32_t ringBytes = kRingSectors * kSectorBytes;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(stopLock_);
                if (stopChanged_.wait_for(lock, std::chrono::milliseconds(kFeedPollMs), [this] { return stop_; })) {
                    return;
                }
            }
            uint32_t play = 0;
            ring_->GetCurrentPosition(&play, nullptr);
            uint32_t advanced = play >= lastPlay_ ? play - lastPlay_ : ringBytes - lastPlay_ + play;
            lastPlay_ = play;
            played_ += advanced;
            freeBytes_ += advanced;
            position_ = from_ + static_cast<uint32_t>(std::min<uint64_t>(played_, total) / kSectorBytes);
            if (played_ >= total) {
                ring_->Stop();
                playing_ = false;
                std::function<void()> finished;
                {
                    std::lock_guard<std::mutex> lock(stopLock_);
                    finished = finished_;
                }
                if (finished) {
                    finished();
                }
                return;
            }
            while (freeBytes_ >= kSectorBytes) {
                WriteSector();
                freeBytes_ -= kSectorBytes;
            }
        }
    }

    CdIo_t* cdio_ = nullptr;
    std::vector<CdTrack> tracks_;
    uint32_t leadOut_ = 0;

    std::unique_ptr<AudioDevice> output_;
    std::shared_ptr<SoundBuffer> ring_;
    std::thread feeder_;
    std::mutex stopLock_;
    std::condition_variable stopChanged_;
    bool stop_ = false;
    std::function<void()> finished_;
    std::atomic<bool> playing_{false};
    std::atomic<uint32_t> position_{0};
    // Owned by the feeder while it runs (set before it starts).
    uint32_t from_ = 0;
    uint32_t next_ = 0;
    uint32_t end_ = 0;
    uint64_t played_ = 0;
    uint32_t writeOffset_ = 0;
    uint32_t lastPlay_ = 0;
    uint32_t freeBytes_ = 0;
};

}  // namespace

std::vector<std::string> ListDrives()
{
    std::vector<std::string> letters;
    cdio_log_set_handler(QuietLog);
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    for (int i = 0; devices && devices[i] && i < 23; ++i) {
        letters.push_back(std::string(1, static_cast<char>('D' + i)));
    }
    cdio_free_device_list(devices);
    return letters;
}

void SetCdImage(const std::string& drive, const std::string& imagePath)
{
    std::lock_guard<std::mutex> lock(gImageLock);
    if (imagePath.empty()) {
        Images().erase(Upper(drive));
    } else {
        Images()[Upper(drive)] = imagePath;
    }
}

std::unique_ptr<CdDevice> CdDevice::Open(const std::string& drive)
{
    cdio_log_set_handler(QuietLog);
    std::string source = SourceFor(drive);
    if (source.empty()) {
        return nullptr;
    }
    auto device = std::make_unique<LibcdioDevice>();
    if (!device->Init(source)) {
        return nullptr;
    }
    return device;
}

}  // namespace platform::cd
