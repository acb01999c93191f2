// CStreamSound on the manual clock: the ring is primed and refilled as the
// play cursor frees it, the output is the file's samples in order, a
// non-looping file ends by itself near its length, a looping one plays on,
// and the game thread's queries run safely beside the worker (these tests
// also run under ThreadSanitizer).
#include "sound/CStreamSound.h"

#include <atomic>
#include <memory>
#include <thread>

#include "SoundTestSupport.h"
#include "platform/Time.h"
#include "sound/CDirectSound.h"
#include "sound/CPCMReaderFactory.h"
#include "sound/PcmReader.h"
#include "sound/kmStreamSoundHelper.h"

using namespace soundtest;

namespace {

// Polls pred every 2 ms for up to 10 s of real time; true when it held.
template <typename Pred>
bool WaitFor(Pred pred)
{
    for (int i = 0; i < 5000; ++i) {
        if (pred()) {
            return true;
        }
        platform::SleepMs(2);
    }
    return pred();
}

std::vector<int16_t> MonoRamp(size_t frames)
{
    std::vector<int16_t> s(frames);
    for (size_t i = 0; i < frames; ++i) {
        s[i] = static_cast<int16_t>((i * 7) % 20011 - 10000);
    }
    return s;
}

constexpr uint32_t kRing = 44100 * 2 * 4;      // 4 s of 44.1 kHz mono 16-bit
constexpr uint32_t kPrimed = kRing / 8 * 7;

}  // namespace

class StreamSoundTest : public SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        platform::SetManualCapture(true);
        // Made after the manual clock is on, so that no real device plays it.
        stream_ = std::make_unique<CStreamSound>();
    }
    void TearDown() override
    {
        stream_.reset();
        platform::SetManualCapture(false);
        SoundFolderTest::TearDown();
    }
    // Waits until the worker has run two passes of its loop (so one whole
    // pass after whatever the test just did), or has ended.
    void WaitWorker()
    {
        uint32_t start = stream_->GetWorkerPasses();
        WaitFor([&] { return stream_->GetWorkerPasses() >= start + 2 || !stream_->IsPlaying(); });
    }
    // Advances the clock in 100 ms steps, letting the worker see each step.
    void PlayWithRefills(int ms)
    {
        for (int t = 0; t < ms; t += 100) {
            platform::AdvanceManualClock(4410);
            WaitWorker();
        }
    }
    // Advances the clock by `ms` in 20 ms steps, letting the worker see each step.
    void PlayFor(int ms)
    {
        for (int t = 0; t < ms; t += 20) {
            platform::AdvanceManualClock(882);
            WaitWorker();
        }
    }
    std::unique_ptr<CStreamSound> stream_;
};

TEST_F(StreamSoundTest, primes_refills_and_plays_the_file_in_order)
{
    std::vector<int16_t> file = MonoRamp(44100 * 6);
    Write("m.wav", PcmWave(1, 44100, 16, Samples16(file)));
    ASSERT_TRUE(stream_->Open("m.wav", false));
    EXPECT_EQ(stream_->GetLength(), 6000);
    ASSERT_TRUE(stream_->Play());
    EXPECT_EQ(stream_->GetFedBytes(), kPrimed) << "7/8 of the ring is filled before playing";
    EXPECT_EQ(stream_->IsPlaying(), 1);
    platform::TakeManualCapture();
    // 3 s, refilled as the cursor frees the ring: by then the whole file is in.
    PlayWithRefills(3000);
    EXPECT_EQ(stream_->GetFedBytes(), file.size() * 2)
        << "the worker must refill what the play cursor freed";
    platform::AdvanceManualClock(44100 * 2);
    std::vector<int16_t> out = platform::TakeManualCapture();
    ASSERT_EQ(out.size(), 44100u * 5 * 2);
    for (size_t i = 0; i < 44100 * 5; ++i) {
        ASSERT_EQ(out[2 * i], file[i]) << "output frame " << i << " is not the file's sample";
    }
    int pos = stream_->GetPosition();
    EXPECT_NEAR(pos, 5000, 20) << "the position follows the played bytes";
}

TEST_F(StreamSoundTest, short_non_looping_file_plays_once_and_ends)
{
    std::vector<int16_t> file = MonoRamp(44100);
    Write("s.wav", PcmWave(1, 44100, 16, Samples16(file)));
    ASSERT_TRUE(stream_->Open("s.wav", false));
    ASSERT_TRUE(stream_->Play());
    platform::TakeManualCapture();
    platform::AdvanceManualClock(44100 * 8 / 10);
    WaitWorker();
    int elapsed = 800;
    while (stream_->IsPlaying() && elapsed < 2000) {
        PlayFor(20);
        elapsed += 20;
    }
    EXPECT_EQ(stream_->IsPlaying(), 0) << "a non-looping file must end by itself";
    EXPECT_GE(elapsed, 900) << "it must not end before its length";
    EXPECT_LE(elapsed, 1100) << "it must stop within 100 ms of its length";
    std::vector<int16_t> out = platform::TakeManualCapture();
    for (size_t i = 0; i < file.size() && 2 * i < out.size(); ++i) {
        ASSERT_EQ(out[2 * i], file[i]) << "frame " << i;
    }
    for (size_t i = file.size(); 2 * i < out.size(); ++i) {
        ASSERT_EQ(out[2 * i], 0) << "after the end only silence may be heard, frame " << i;
    }
}

TEST_F(StreamSoundTest, late_worker_plays_silence_after_the_end_and_stops_there)
{
    // Longer than the 4-second ring, so the ring holds old audio of the file
    // when its end comes round; the clock moves 400 ms between the worker's
    // looks (a loaded machine), the last time past the end.
    std::vector<int16_t> file = MonoRamp(44100 * 5);
    Write("late.wav", PcmWave(1, 44100, 16, Samples16(file)));
    ASSERT_TRUE(stream_->Open("late.wav", false));
    ASSERT_TRUE(stream_->Play());
    platform::TakeManualCapture();
    int elapsed = 0;
    int lastPosition = 0;
    while (stream_->IsPlaying() && elapsed < 8000) {
        platform::AdvanceManualClock(44100 * 4 / 10);
        elapsed += 400;
        WaitWorker();
        const int position = stream_->GetPosition();
        EXPECT_GE(position, lastPosition) << "at " << elapsed << " ms: the position never runs backwards";
        EXPECT_LE(position, 5000) << "at " << elapsed << " ms: the position never passes the length";
        lastPosition = position;
    }
    EXPECT_EQ(stream_->IsPlaying(), 0) << "the stream must end however late the worker looks";
    EXPECT_EQ(elapsed, 5200) << "it stops at the worker's first look past the end";
    EXPECT_EQ(stream_->GetPosition(), 5000) << "an ended stream stands at its length";
    std::vector<int16_t> out = platform::TakeManualCapture();
    ASSERT_GE(out.size(), file.size() * 2);
    for (size_t i = 0; i < file.size(); ++i) {
        ASSERT_EQ(out[2 * i], file[i]) << "frame " << i;
    }
    for (size_t i = file.size(); 2 * i < out.size(); ++i) {
        ASSERT_EQ(out[2 * i], 0) << "after the end the ring's old audio played again, frame " << i;
    }
}

TEST_F(StreamSoundTest, looping_file_plays_until_stopped)
{
    std::vector<int16_t> file = MonoRamp(22050);
    Write("l.wav", PcmWave(1, 44100, 16, Samples16(file)));
    ASSERT_TRUE(stream_->Open("l.wav", true));
    ASSERT_TRUE(stream_->Play());
    platform::TakeManualCapture();
    uint32_t fed = stream_->GetFedBytes();
    PlayWithRefills(6000);
    EXPECT_GE(stream_->GetFedBytes(), fed + 88200 * 6 - 8820) << "a looping stream keeps refilling";
    EXPECT_EQ(stream_->IsPlaying(), 1) << "a looping file plays on past its length";
    std::vector<int16_t> out = platform::TakeManualCapture();
    for (size_t i = 0; i < 44100 * 6; ++i) {
        ASSERT_EQ(out[2 * i], file[i % file.size()]) << "frame " << i << " of the looping output";
    }
    EXPECT_TRUE(stream_->Stop());
    EXPECT_EQ(stream_->IsPlaying(), 0) << "Stop ends the stream";
}

TEST_F(StreamSoundTest, start_position_counts_whole_seconds)
{
    std::vector<uint8_t> file(8000 * 32);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i / 8000 * 5 + (i % 3));
    Write("p.wav", PcmWave(1, 8000, 8, file));
    ASSERT_TRUE(stream_->Open("p.wav", false));
    stream_->SetStartPosition(30500);
    EXPECT_EQ(stream_->GetPosition(), 30500) << "before the first Play the position is the start position";
    ASSERT_TRUE(stream_->Play());
    EXPECT_EQ(stream_->GetPosition(), 30000) << "the start goes through MsToBytes: whole seconds only";
    platform::TakeManualCapture();
    platform::AdvanceManualClock(1);
    std::vector<int16_t> out = platform::TakeManualCapture();
    EXPECT_EQ(out[0], (file[240000] - 128) * 256) << "the first sample heard is the one at 30 s";
}

TEST_F(StreamSoundTest, failed_open_keeps_the_loop_flag_and_refuses_to_play)
{
    EXPECT_FALSE(stream_->Open("missing.wav", false));
    stream_->SetLoop(true);
    EXPECT_TRUE(stream_->GetLoop()) << "the flag is kept without a reader";
    EXPECT_FALSE(stream_->Play()) << "an unprepared stream refuses to play";
    EXPECT_FALSE(stream_->Stop());
    EXPECT_EQ(stream_->GetLength(), 0);
    EXPECT_EQ(stream_->GetFormat(), nullptr);
    EXPECT_EQ(stream_->SetFrequency(22050), 1) << "no ring buffer";
}

TEST_F(StreamSoundTest, unplayable_format_releases_play_without_a_ring)
{
    // 24-bit PCM opens as raw WAVE but no ring can be made for it.
    Write("w.wav", WaveImage(1, 1, 8000, 24, 3, std::vector<uint8_t>(3000, 1)));
    ASSERT_TRUE(stream_->Open("w.wav", false));
    EXPECT_TRUE(stream_->Play()) << "Play is released by the worker even when it cannot build the ring";
    EXPECT_EQ(stream_->IsPlaying(), 0) << "nothing plays without a ring";
}

TEST_F(StreamSoundTest, queries_from_the_game_thread_run_beside_the_worker)
{
    std::vector<int16_t> file = MonoRamp(44100 * 2);
    Write("c.wav", PcmWave(1, 44100, 16, Samples16(file)));
    ASSERT_TRUE(stream_->Open("c.wav", true));
    ASSERT_TRUE(stream_->Play());
    std::atomic<bool> done{false};
    std::thread clock([&] {
        while (!done) {
            platform::AdvanceManualClock(441);
            platform::SleepMs(1);
        }
    });
    int lastPosition = -1;
    for (int i = 0; i < 300; ++i) {
        int pos = stream_->GetPosition();
        EXPECT_GE(pos, 0) << "the position must stay a time";
        EXPECT_LE(pos, 2100) << "a looping position stays within the file";
        lastPosition = pos;
        stream_->SetVolume(-(i % 100));
        stream_->SetLoop(true);
        EXPECT_EQ(stream_->IsPlaying(), 1);
        stream_->GetVolume();
        platform::SleepMs(1);
    }
    done = true;
    clock.join();
    EXPECT_GE(lastPosition, 0);
    EXPECT_TRUE(stream_->Stop());
    EXPECT_EQ(stream_->Close(), 0);
}

namespace {
// A stream whose worker thread cannot be started.
class UnstartableStream : public CStreamSound {
public:
    bool Start() override { return true; }
};
}  // namespace

TEST_F(StreamSoundTest, play_fails_at_once_when_the_worker_cannot_start)
{
    Write("u.wav", PcmWave(1, 44100, 16, Samples16(MonoRamp(4410))));
    UnstartableStream s;
    ASSERT_TRUE(s.Open("u.wav", false));
    uint32_t before = platform::GetTicks();
    EXPECT_FALSE(s.Play()) << "Play must fail, not wait for a worker that never ran";
    EXPECT_LT(platform::GetTicks() - before, 1000u);
    EXPECT_EQ(s.IsPlaying(), 0);
}

TEST_F(StreamSoundTest, a_failed_ring_update_counts_no_bytes)
{
    Write("r.wav", PcmWave(1, 44100, 16, Samples16(MonoRamp(4410))));
    CPCMReaderFactory factory;
    CPcmReader* reader = factory.CreateReader("r.wav");
    ASSERT_NE(reader, nullptr);
    {
        kmStreamSoundHelper ring(gSharedDirectSound.get(), reader);
        uint32_t written = 12345;
        EXPECT_FALSE(ring.UpdateDirectSound(1000, &written)) << "without a ring buffer the update fails";
        EXPECT_EQ(written, 0u) << "a failed update is not a count of bytes written";
        ASSERT_NE(ring.CreateDirectSoundBuffer(1), nullptr);
        EXPECT_TRUE(ring.UpdateDirectSound(1000, &written));
        EXPECT_EQ(written, 1000u);
        EXPECT_EQ(ring.GetWriteOffset(), 1000u);
    }
    reader->Release();
}
