#pragma once
// A scratch game folder for the file-layer tests: made under the system's
// temporary directory, set as the start directory, removed afterwards.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/FileLayer.h"

class FrameTestDir {
public:
    FrameTestDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lantern-frame-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        root_ = mkdtemp(buffer.data());
        previous_ = GetStartDirectory();
        SetStartDirectory(root_);
        FlushFileLayerCache();
    }
    ~FrameTestDir()
    {
        SetStartDirectory(previous_);
        FlushFileLayerCache();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    FrameTestDir(const FrameTestDir&) = delete;
    FrameTestDir& operator=(const FrameTestDir&) = delete;

    const std::string& Root() const { return root_; }
    // Writes a file at a path (UTF-8, "/") under the root, making its folders.
    std::string Write(const std::string& relative, const std::string& bytes) const
    {
        std::filesystem::path p = std::filesystem::path(root_) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    std::string Write(const std::string& relative, const std::vector<uint8_t>& bytes) const
    {
        return Write(relative, std::string(bytes.begin(), bytes.end()));
    }
    std::string Read(const std::string& relative) const
    {
        std::ifstream in(std::filesystem::path(root_) / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string root_;
    std::string previous_;
};
