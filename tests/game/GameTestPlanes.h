#pragma once
// Shared pieces of the game-object tests: a plane that records what the
// drawables ask of it, a PNG writer for the pictures the tests load, and a
// message-box catcher.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../../tools/PngWrite.h"
#include "display/PlaneBase.h"
#include "platform/MessageBox.h"

namespace game_test {

struct DrawCall {
    std::string op;
    int x = 0;
    int y = 0;
    int level = -1;
    bool clipped = false;
    Rect clip;
    CPlaneBase* src = nullptr;
};

// A plane of a given size that draws nothing and logs every drawing call.
class RecordingTarget : public CPlaneBase {
public:
    RecordingTarget(int width, int height) : width_(width), height_(height) {}
    std::vector<DrawCall> calls;

    int GetPlaneType() override { return 2; }
    int BltColorKey(CPlaneBase* s, int x, int y, const Rect*, const Size*, const Rect* c) override
    {
        return Log("BltColorKey", s, x, y, -1, c);
    }
    int Blt(CPlaneBase* s, int x, int y, const Rect*, const Size*, const Rect* c) override
    {
        return Log("Blt", s, x, y, -1, c);
    }
    int RateBltColorKey(CPlaneBase* s, int x, int y, Rates, Rates, const Rect*, const Size*, const Rect* c) override
    {
        return Log("RateBltColorKey", s, x, y, -1, c);
    }
    int RateBlt(CPlaneBase* s, int x, int y, Rates, Rates, const Rect*, const Size*, const Rect* c) override
    {
        return Log("RateBlt", s, x, y, -1, c);
    }
    int AlphaBltLevel(CPlaneBase* s, int x, int y, int level, const Rect*, const Size*, const Rect* c) override
    {
        return Log("AlphaBltLevel", s, x, y, level, c);
    }
    int AlphaRateBlt(CPlaneBase* s, int x, int y, Rates, Rates, const Rect*, const Size*, const Rect* c) override
    {
        return Log("AlphaRateBlt", s, x, y, -1, c);
    }
    int AlphaBlt(CPlaneBase* s, int x, int y, const Rect*, const Size*, const Rect* c) override
    {
        return Log("AlphaBlt", s, x, y, -1, c);
    }
    int BltLevel(CPlaneBase* s, int x, int y, int level, const Rect*, const Size*, const Rect* c) override
    {
        return Log("BltLevel", s, x, y, level, c);
    }
    int BltAuto(CPlaneBase* s, int x, int y, const Rect*, const Size*, const Rect* c) override
    {
        return Log("BltAuto", s, x, y, -1, c);
    }
    int AlphaBltFade(CPlaneBase* s, int x, int y, int level) override { return Log("AlphaBltFade", s, x, y, level, nullptr); }
    int MosaicEffect(int, const Rect*) override { return 0; }
    int NegativeEffect(const Rect*) override { return 0; }
    void GetSize(int* w, int* h) override
    {
        *w = width_;
        *h = height_;
    }
    bool IsCreated() override { return width_ > 0; }
    bool HasAlpha() override { return false; }
    int Clear(const Rect*) override { return 0; }
    int LoadFile(const std::string&, int, double) override { return 1; }
    void Release() override {}
    int SetColorKeyRGB(int, int, int) override { return 0; }
    int SetColorKeyByPos(int, int) override { return 0; }
    int Create(int w, int h, int) override
    {
        width_ = w;
        height_ = h;
        return 0;
    }
    int GetAlphaAt(int, int) override { return 255; }

private:
    int Log(const char* op, CPlaneBase* s, int x, int y, int level, const Rect* c)
    {
        DrawCall call{op, x, y, level, c != nullptr, c ? *c : Rect{}, s};
        calls.push_back(call);
        return 0;
    }
    int width_;
    int height_;
};

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
