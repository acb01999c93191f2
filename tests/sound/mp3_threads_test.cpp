// Two MP3 streams decoded at once on two threads, each by its own reader,
// must give exactly what each gives alone: no decoder state is shared. Also
// run under ThreadSanitizer by scripts/test-extra.
#include <gtest/gtest.h>

#include <thread>

#include "Mp3TestSupport.h"
#include "sound/mp3/CMp3StreamReader.h"

using namespace mp3test;

namespace {

// The whole stream, decoded by a reader of its own.
std::vector<uint8_t> DecodeWithReader(const std::vector<uint8_t>& bytes)
{
    CMp3StreamReader reader;
    Mp3StreamInfo info;
    if (!reader.OpenSource(std::make_unique<Mp3MemorySource>(bytes), "thread.mp3", &info)) {
        return {};
    }
    std::vector<uint8_t> pcm(size_t(info.samples) * size_t(info.channels) * 2);
    pcm.resize(reader.DecodeAll(pcm.data(), pcm.size()));
    return pcm;
}

}  // namespace

TEST(Mp3Threads, two_streams_decoded_at_once_match_their_single_threaded_output)
{
    // Different layers, versions and stereo tools, so that every part of the
    // decoder runs on both threads; repeated so that the decodes overlap.
    const std::vector<uint8_t> streams[2] = {Stream("l3_m1_intensity_ms_48k_160.mp3"),
                                             Stream("l3_m2_mixed_start_stop_22k_64.mp3")};
    const std::vector<uint8_t> other = Stream("l2_twolame_joint_44k_128.mp2");
    constexpr int kRounds = 40;
    std::vector<uint8_t> concurrent[2][kRounds];
    std::vector<uint8_t> layer2[kRounds];
    // The threads start before anything has been decoded in this test, so
    // they may also be the first to build the shared tables.
    std::thread a([&] {
        for (int r = 0; r < kRounds; ++r) {
            concurrent[0][r] = DecodeWithReader(streams[0]);
        }
    });
    std::thread b([&] {
        for (int r = 0; r < kRounds; ++r) {
            concurrent[1][r] = DecodeWithReader(streams[1]);
            layer2[r] = DecodeWithReader(other);
        }
    });
    a.join();
    b.join();

    std::vector<uint8_t> alone[2] = {DecodeWithReader(streams[0]), DecodeWithReader(streams[1])};
    std::vector<uint8_t> layer2Alone = DecodeWithReader(other);
    ASSERT_FALSE(alone[0].empty() || alone[1].empty() || layer2Alone.empty()) << "the test streams must decode";
    for (int s = 0; s < 2; ++s) {
        for (int r = 0; r < kRounds; ++r) {
            ASSERT_EQ(concurrent[s][r], alone[s]) << "stream " << s << ", round " << r
                                                  << ": a concurrent decode differs from the single-threaded one";
        }
    }
    for (int r = 0; r < kRounds; ++r) {
        ASSERT_EQ(layer2[r], layer2Alone) << "round " << r << ": the Layer II decode differs when run concurrently";
    }
}
