#pragma once
// Shared by the sound tests: a scratch game folder (the file layer's start
// directory) where each test writes the WAVE files it needs, and the manual
// audio clock so that nothing depends on a real device.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "frame/FileLayer.h"
#include "platform/Audio.h"

namespace soundtest {

inline void Put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    Put16(v, static_cast<uint16_t>(x));
    Put16(v, static_cast<uint16_t>(x >> 16));
}
inline void PutId(std::vector<uint8_t>& v, const char* id)
{
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(id[i]));
}

// A RIFF WAVE image: "fmt " with the given header (plus extra bytes), then "data".
inline std::vector<uint8_t> WaveImage(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                      uint16_t blockAlign, const std::vector<uint8_t>& data,
                                      const std::vector<uint8_t>& fmtExtra = {},
                                      uint32_t declaredDataSize = UINT32_MAX)
{
    std::vector<uint8_t> fmt;
    Put16(fmt, tag);
    Put16(fmt, channels);
    Put32(fmt, rate);
    Put32(fmt, rate * blockAlign);
    Put16(fmt, blockAlign);
    Put16(fmt, bits);
    if (!fmtExtra.empty()) {
        Put16(fmt, static_cast<uint16_t>(fmtExtra.size()));
        fmt.insert(fmt.end(), fmtExtra.begin(), fmtExtra.end());
    }
    std::vector<uint8_t> v;
    PutId(v, "RIFF");
    Put32(v, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
    PutId(v, "WAVE");
    PutId(v, "fmt ");
    Put32(v, static_cast<uint32_t>(fmt.size()));
    v.insert(v.end(), fmt.begin(), fmt.end());
    PutId(v, "data");
    Put32(v, declaredDataSize == UINT32_MAX ? static_cast<uint32_t>(data.size()) : declaredDataSize);
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

inline std::vector<uint8_t> PcmWave(uint16_t channels, uint32_t rate, uint16_t bits,
                                    const std::vector<uint8_t>& data)
{
    return WaveImage(1, channels, rate, bits, static_cast<uint16_t>(channels * bits / 8), data);
}

inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& s)
{
    std::vector<uint8_t> out(s.size() * 2);
    std::memcpy(out.data(), s.data(), out.size());
    return out;
}

// A ramp of `frames` 16-bit frames: value i x step (each channel offset by c).
inline std::vector<int16_t> Ramp(size_t frames, int channels, int step)
{
    std::vector<int16_t> s(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            s[i * channels + c] = static_cast<int16_t>((static_cast<int>(i) * step + c * 7) % 30000);
        }
    }
    return s;
}

// A fresh folder made the file layer's start directory, on the manual clock.
class SoundFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lantern_sound_XXXXXX";
        char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr) << "a scratch folder is needed for the test files";
        dir_ = made;
        previousStart_ = GetStartDirectory();
        SetStartDirectory(dir_);
        FlushFileLayerCache();
        platform::UseManualClock(true);
    }
    void TearDown() override
    {
        SetStartDirectory(previousStart_);
        FlushFileLayerCache();
        platform::UseManualClock(false);
        std::string cmd = "rm -rf '" + dir_ + "'";
        if (std::system(cmd.c_str()) != 0) {
            ADD_FAILURE() << "could not remove " << dir_;
        }
    }

    // Writes bytes as a file of the scratch folder (sub-folders made as needed).
    void Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::string path = dir_ + "/" + name;
        for (size_t slash = path.find('/', dir_.size() + 1); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            std::string sub = path.substr(0, slash);
            mkdir(sub.c_str(), 0755);
        }
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << "cannot write " << path;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        FlushFileLayerCache();
    }

    std::string dir_;
    std::string previousStart_;
};

}  // namespace soundtest
