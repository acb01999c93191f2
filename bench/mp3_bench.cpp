// The program's MP3 decoder against libmpg123 on the same streams in memory,
// each decoded whole into one 16-bit block: 120 seconds of stereo at 44.1 kHz
// (128 kbit/s, 320 kbit/s, VBR) and at 22.05 kHz (MPEG-2, 64 kbit/s), and a
// 1-second 128 kbit/s stream for the fixed cost of opening one. The streams
// are made once with Debian's lame from a synthetic music-like signal and
// cached in the temporary directory.
// Counters: "realtime" is how many times faster than playback the decode runs.
#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "sound/mp3/CMp3StreamReader.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 120;

std::string CacheDir()
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "lantern-mp3-bench";
    std::filesystem::create_directories(dir);
    return dir.string();
}

// Chords of a few partials changing every half second, a little noise, and
// note onsets, so the encoder uses every block type.
void WriteSignal(const std::string& path)
{
    const int frames = kRate * kSeconds;
    std::vector<int16_t> pcm(size_t(frames) * 2);
    uint32_t noise = 12345;
    const double notes[8] = {220.0, 277.2, 329.6, 392.0, 440.0, 523.3, 659.3, 784.0};
    for (int i = 0; i < frames; ++i) {
        double t = double(i) / kRate;
        int step = i / (kRate / 2);
        double env = std::exp(-3.0 * std::fmod(t, 0.5));
        double l = 0, r = 0;
        for (int k = 0; k < 3; ++k) {
            double f = notes[(step * 3 + k * 2) % 8] * (1 + k);
            l += std::sin(2 * M_PI * f * t) * 0.18 * env;
            r += std::sin(2 * M_PI * f * 1.003 * t + k) * 0.16 * env;
        }
        noise = noise * 1664525u + 1013904223u;
        double n = (double(noise >> 8) / 16777216.0 - 0.5) * 0.04;
        pcm[2 * size_t(i)] = int16_t(std::lrint((l + n) * 32767));
        pcm[2 * size_t(i) + 1] = int16_t(std::lrint((r - n) * 32767));
    }
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    uint32_t bytes = uint32_t(pcm.size() * 2);
    out.write("RIFF", 4);
    put32(36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(2);
    put32(kRate);
    put32(kRate * 4);
    put16(4);
    put16(16);
    out.write("data", 4);
    put32(bytes);
    out.write(reinterpret_cast<const char*>(pcm.data()), std::streamsize(bytes));
}

// The stream's bytes; empty when lame is not installed. lameArgs may resample
// or cut the signal.
const std::vector<uint8_t>& StreamBytes(const std::string& name, const std::string& lameArgs)
{
    static std::map<std::string, std::vector<uint8_t>> cache;
    auto it = cache.find(name);
    if (it != cache.end()) {
        return it->second;
    }
    std::string dir = CacheDir();
    std::string wav = dir + "/signal.wav";
    std::string mp3 = dir + "/" + name;
    if (!std::filesystem::exists(mp3)) {
        if (!std::filesystem::exists(wav)) {
            WriteSignal(wav);
        }
        std::string cmd = "lame --quiet " + lameArgs + " '" + wav + "' '" + mp3 + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::filesystem::remove(mp3);
        }
    }
    std::ifstream in(mp3, std::ios::binary);
    return cache[name] = std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct StreamKind {
    const char* name;
    const char* file;
    const char* lameArgs;
    int rate;     // Hz of the decoded PCM
    int seconds;  // of the decoded PCM
};

const StreamKind kKinds[5] = {
    {"128k", "cbr128.mp3", "-t -b 128", kRate, kSeconds},
    {"320k", "cbr320.mp3", "-t -b 320", kRate, kSeconds},
    {"vbr", "vbr.mp3", "-V 2", kRate, kSeconds},
    {"mpeg2-22k", "mpeg2_22k.mp3", "-t -b 64 --resample 22.05", 22050, kSeconds},
    {"1s-128k", nullptr, nullptr, kRate, 1},  // the first second of "128k"
};

// The first `frames` frames of a constant-rate MPEG-1 Layer III stream.
std::vector<uint8_t> FirstFrames(const std::vector<uint8_t>& bytes, int frames)
{
    static constexpr int kKbps[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    size_t pos = 0;
    for (int i = 0; i < frames && pos + 4 <= bytes.size(); ++i) {
        if (bytes[pos] != 0xFF) {
            break;
        }
        pos += size_t(144 * kKbps[bytes[pos + 2] >> 4] * 1000 / kRate + ((bytes[pos + 2] >> 1) & 1));
    }
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min(pos, bytes.size())));
}

const std::vector<uint8_t>& Stream(int which)
{
    const StreamKind& k = kKinds[which];
    if (k.file == nullptr) {
        static const std::vector<uint8_t> shortStream = FirstFrames(Stream(0), (kRate + 1151) / 1152);
        return shortStream;
    }
    return StreamBytes(k.file, k.lameArgs);
}

void Report(benchmark::State& state, size_t pcmBytes)
{
    const StreamKind& k = kKinds[state.range(0)];
    state.counters["realtime"] =
        benchmark::Counter(double(k.seconds) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(int64_t(pcmBytes) * int64_t(state.iterations()));
    state.SetLabel(k.name);
}

void BM_Lantern(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = Stream(int(state.range(0)));
    if (bytes.empty()) {
        state.SkipWithError("lame could not make the test stream");
        return;
    }
    std::vector<uint8_t> pcm(size_t(kRate) * (kSeconds + 2) * 4);
    size_t written = 0;
    for (auto _ : state) {
        CMp3StreamReader reader;
        Mp3StreamInfo info;
        if (!reader.OpenSource(std::make_unique<Mp3MemorySource>(bytes), "bench.mp3", &info)) {
            state.SkipWithError("the stream did not open");
            return;
        }
        written = reader.DecodeAll(pcm.data(), pcm.size());
        benchmark::DoNotOptimize(pcm.data());
    }
    Report(state, written);
}

void BM_Libmpg123(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = Stream(int(state.range(0)));
    if (bytes.empty()) {
        state.SkipWithError("lame could not make the test stream");
        return;
    }
    mpg123_init();
    std::vector<uint8_t> pcm(size_t(kRate) * (kSeconds + 2) * 4);
    size_t written = 0;
    for (auto _ : state) {
        int err = 0;
        mpg123_handle* mh = mpg123_new(nullptr, &err);
        mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
        mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        mpg123_format_none(mh);
        mpg123_format(mh, kKinds[state.range(0)].rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
        mpg123_open_feed(mh);
        size_t done = 0;
        written = 0;
        int rc = mpg123_decode(mh, bytes.data(), bytes.size(), pcm.data(), pcm.size(), &done);
        written += done;
        while (rc != MPG123_ERR && rc != MPG123_NEED_MORE && written < pcm.size()) {
            rc = mpg123_decode(mh, nullptr, 0, pcm.data() + written, pcm.size() - written, &done);
            written += done;
        }
        mpg123_delete(mh);
        benchmark::DoNotOptimize(pcm.data());
    }
    Report(state, written);
}

}  // namespace

// Side by side, row by row: each stream with our decoder, then with
// libmpg123, so that both run under the same machine conditions.
const bool kRegistered = [] {
    for (int i = 0; i < 5; ++i) {
        benchmark::RegisterBenchmark("BM_Lantern", BM_Lantern)->Arg(i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_Libmpg123", BM_Libmpg123)->Arg(i)->Unit(benchmark::kMillisecond);
    }
    return true;
}();
