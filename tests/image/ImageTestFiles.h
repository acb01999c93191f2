#pragma once
// Test pictures of tests/data/image (made by make_images.py) and their
// expected pixels.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// LANTERN_TEST_DATA, else the data folder beside this source tree's tests.
inline std::string ImageDataPath(const std::string& name)
{
    const char* root = std::getenv("LANTERN_TEST_DATA");
    std::string base = root && *root ? std::string(root)
                                     : (std::filesystem::path(__FILE__).parent_path().parent_path() / "data").string();
    return base + "/image/" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The ".bgra" file beside a picture, as 32-bit pixels 0xAARRGGBB.
inline std::vector<uint32_t> ExpectedPixels(const std::string& name)
{
    std::vector<uint8_t> raw = ReadBytes(ImageDataPath(name + ".bgra"));
    std::vector<uint32_t> out(raw.size() / 4);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = raw[4 * i] | (raw[4 * i + 1] << 8) | (raw[4 * i + 2] << 16) | (uint32_t(raw[4 * i + 3]) << 24);
    }
    return out;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}
