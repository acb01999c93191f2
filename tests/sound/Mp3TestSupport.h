#pragma once
// Helpers of the MP3 decoder tests: the committed streams and their mpg123
// references, a frame-by-frame decode with the float sums captured, and a
// bit writer for hand-made frames.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/mp3/Mp3Decoder.h"
#include "sound/mp3/Mp3State.h"

namespace mp3test {

// LANTERN_TEST_DATA, else the data folder beside this source tree's tests.
inline std::string DataPath(const std::string& name)
{
    const char* root = std::getenv("LANTERN_TEST_DATA");
    std::string base = root && *root ? std::string(root)
                                     : (std::filesystem::path(__FILE__).parent_path().parent_path() / "data").string();
    return base + "/mp3/" + name;
}

inline std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> Stream(const std::string& name)
{
    std::vector<uint8_t> bytes = ReadFile(DataPath(name));
    EXPECT_FALSE(bytes.empty()) << "test stream " << DataPath(name) << " is missing";
    return bytes;
}

// mpg123's float output of a stream: 24-bit integers at 2^22 per unit,
// stored as their byte count and the zlib-compressed bytes.
inline std::vector<float> Reference(const std::string& name)
{
    std::vector<uint8_t> packed = ReadFile(DataPath(name + ".f24.z"));
    std::vector<uint8_t> raw;
    if (packed.size() > 4) {
        uLongf size = uLongf(packed[0]) | uLongf(packed[1]) << 8 | uLongf(packed[2]) << 16 | uLongf(packed[3]) << 24;
        raw.resize(size);
        if (uncompress(raw.data(), &size, packed.data() + 4, uLong(packed.size() - 4)) != Z_OK) {
            raw.clear();
        }
        raw.resize(size);
    }
    EXPECT_FALSE(raw.empty()) << "the reference output of " << name << " is missing or corrupt";
    std::vector<float> out(raw.size() / 3);
    for (size_t i = 0; i < out.size(); ++i) {
        int32_t v = int32_t(uint32_t(raw[3 * i]) << 8 | uint32_t(raw[3 * i + 1]) << 16 |
                            uint32_t(raw[3 * i + 2]) << 24) >> 8;
        out[i] = float(v / 4194304.0);
    }
    return out;
}

// The decoder the single-stream tests share; each test initialises it.
inline Mp3Decoder* TestDecoder()
{
    static Mp3DecoderPtr decoder = Mp3NewDecoder();
    return decoder.get();
}

struct Decoded {
    Mp3FrameHeader header;
    int frames = 0;
    std::vector<int16_t> pcm;
    std::vector<float> sums;  // the window sums before conversion (16-bit scale)
};

// Decodes a stream held in memory frame by frame, as the stream reader does
// but without its buffering: a refused frame is skipped to the next sync.
// allSubbands decodes the 32nd subband too, as compliance checks need;
// without captureSums the PCM takes the shipped output path and sums stays
// empty.
inline Decoded DecodeAllFrames(const std::vector<uint8_t>& bytes, bool allSubbands = false,
                               Mp3Decoder* dec = TestDecoder(), bool captureSums = true)
{
    Decoded d;
    Mp3DecoderInit(dec);
    dec->allSubbands = allSubbands;
    int offset = 0;
    if (!Mp3FindSync(dec, bytes.data(), int(bytes.size()), &offset) ||
        !Mp3ReadFirstFrame(dec, bytes.data() + offset, int(bytes.size()) - offset, &d.header) ||
        !Mp3OpenStream(dec, bytes.data() + offset, int(bytes.size()) - offset)) {
        dec->allSubbands = false;
        return d;
    }
    size_t pos = size_t(offset + d.header.xingFrameBytes);
    std::vector<uint8_t> frame(size_t(d.header.pcmBytesPerFrame));
    std::vector<float> sums(frame.size() / 2);
    dec->floatCapture = captureSums ? sums.data() : nullptr;
    while (pos + 4 < bytes.size()) {
        Mp3DecodeCall call;
        call.input = bytes.data() + pos;
        call.inputBytes = int(bytes.size() - pos);
        call.output = frame.data();
        if (Mp3DecodeFrame(dec, &call)) {
            pos += size_t(call.inputBytes);
            const int16_t* p = reinterpret_cast<const int16_t*>(frame.data());
            d.pcm.insert(d.pcm.end(), p, p + frame.size() / 2);
            if (captureSums) {
                d.sums.insert(d.sums.end(), sums.begin(), sums.end());
            }
            ++d.frames;
        } else if (Mp3GetLastError(dec) == kMp3ErrorNeedData) {
            break;
        } else {
            ++pos;
            int next = 0;
            if (!Mp3FindSync(dec, bytes.data() + pos, int(bytes.size() - pos), &next)) {
                break;
            }
            pos += size_t(next);
        }
    }
    dec->floatCapture = nullptr;
    dec->allSubbands = false;
    return d;
}

// MSB-first bit writer for hand-made frames.
class BitWriter {
public:
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (pos_ / 8 >= bytes_.size()) {
                bytes_.push_back(0);
            }
            if ((value >> i) & 1) {
                bytes_[pos_ / 8] |= uint8_t(0x80 >> (pos_ % 8));
            }
            ++pos_;
        }
    }
    std::vector<uint8_t> Bytes(size_t length) const
    {
        std::vector<uint8_t> out = bytes_;
        out.resize(length, 0);
        return out;
    }

private:
    std::vector<uint8_t> bytes_;
    size_t pos_ = 0;
};

// A 48 kHz MPEG-1 Layer I mono frame at 384 kbit/s (384 bytes) whose only
// allocated subband `sb` carries 12 samples of `code` at `bits` bits with
// scale-factor index `scf`.
inline std::vector<uint8_t> LayerIMonoFrame(int sb, int bits, int scf, uint32_t code)
{
    BitWriter w;
    w.Put(0xFFF, 12);
    w.Put(1, 1);   // MPEG-1
    w.Put(3, 2);   // Layer I
    w.Put(1, 1);   // no CRC
    w.Put(12, 4);  // 384 kbit/s
    w.Put(1, 2);   // 48 kHz
    w.Put(0, 2);
    w.Put(3, 2);   // single channel
    w.Put(0, 6);
    for (int i = 0; i < 32; ++i) {
        w.Put(i == sb ? uint32_t(bits - 1) : 0, 4);
    }
    w.Put(uint32_t(scf), 6);
    for (int s = 0; s < 12; ++s) {
        w.Put(code, bits);
    }
    return w.Bytes(384);
}

}  // namespace mp3test
