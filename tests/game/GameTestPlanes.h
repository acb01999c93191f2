#pragma once
// Shared pieces of the game-object tests: the recording plane (from
// tests/support), a PNG writer for the pictures the tests load, and a
// message-box catcher.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../../tools/PngWrite.h"
#include "platform/MessageBox.h"
#include "support/RecordingPlane.h"

namespace game_test {

// Writes an 8-bit RGBA (or RGB) PNG of 0xAARRGGBB pixels.
inline bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, bool alpha)
{
    return pngwrite::WritePngFile(path, width, height, argb, alpha);
}

// A flat picture of one colour.
inline bool WriteFlatPng(const std::string& path, int width, int height, uint32_t argb, bool alpha = false)
{
    return WritePng(path, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, argb), alpha);
}

// Answers every message box with its default and keeps the texts.
class MessageBoxCatcher {
public:
    MessageBoxCatcher()
    {
        platform::SetMessageBoxResponder([this](const std::string& text, const std::string& caption,
                                                platform::MessageBoxKind kind) {
            texts.push_back(text);
            captions.push_back(caption);
            return kind == platform::MessageBoxKind::Ok ? platform::kIdOk : platform::kIdNo;
        });
    }
    ~MessageBoxCatcher() { platform::SetMessageBoxResponder(nullptr); }
    std::vector<std::string> texts;
    std::vector<std::string> captions;
};

}  // namespace game_test
