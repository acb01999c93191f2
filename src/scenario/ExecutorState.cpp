// Saving the executor's state into a profile file and loading it back. The
// layout is in docs/FORMATS.md ("Save data"). A load reads and checks every
// value first and only then replaces the running state, so a damaged save
// leaves the game exactly as it was.
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "frame/ProfileFile.h"
#include "frame/DebugOutput.h"
#include "scenario/ScenarioExecutor.h"

using namespace scenario;

namespace {

constexpr int kSaveVersion = 1;
constexpr size_t kMaxPictures = 4096;

// Strict decimal: optional '-', at least one digit, nothing else, in range.
bool ParseInt(const std::string& text, int32_t* out)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == text.size() || text.size() - i > 10)
        return false;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return false;
    *out = static_cast<int32_t>(value);
    return true;
}

// String variables may hold any byte (Shift-JIS trail bytes include '\'), so
// everything a profile line could change or trim is written as \xHH, and '\' as \\.
std::string Escape(const std::string& value)
{
    std::string out;
    for (unsigned char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c <= 0x20 || c == '=' || c == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unescape(const std::string& text, std::string* out)
{
    std::string value;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            value += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            value += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0) {
            value += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            return false;
        }
    }
    *out = std::move(value);
    return true;
}

void SetNumber(ProfileFile* file, const std::string& section, const std::string& key, int32_t value)
{
    const int v = value;
    file->SetInt(section, key, &v);
}

// Reads the whole save, with the first failure's code kept.
class SaveReader {
public:
    explicit SaveReader(const ProfileFile& file) : file_(file) {}

    bool text(const char* section, const std::string& key, std::string* out)
    {
        if (result_ != kLoadOk)
            return false;
        if (file_.GetString(section, key, out) != 0) {
            result_ = kLoadMissing;
            return false;
        }
        return true;
    }
    bool number(const char* section, const std::string& key, int32_t* out, int32_t low = INT32_MIN,
                int32_t high = INT32_MAX)
    {
        std::string value;
        if (!text(section, key, &value))
            return false;
        return check(ParseInt(value, out) && *out >= low && *out <= high);
    }
    bool check(bool ok)
    {
        if (!ok && result_ == kLoadOk)
            result_ = kLoadBadNumber;
        return ok;
    }
    int result() const { return result_; }

private:
    const ProfileFile& file_;
    int result_ = kLoadOk;
};

}  // namespace

void ScenarioExecutor::saveState(ProfileFile* file)
{
    std::string title = title_;
    for (char& c : title) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    file->SetString("title", "text", title);

    SetNumber(file, "scenario", "version", kSaveVersion);
    file->SetString("scenario", "file", scriptName_);
    SetNumber(file, "scenario", "pc", static_cast<int32_t>(pc_));
    SetNumber(file, "scenario", "effect", effect_);
    SetNumber(file, "scenario", "window", windowVisible_ ? 1 : 0);
    SetNumber(file, "scenario", "track", cdTrack);
    SetNumber(file, "scenario", "calls", static_cast<int32_t>(calls_.size()));
    for (size_t i = 0; i < calls_.size(); ++i) {
        file->SetString("calls", "file" + std::to_string(i), calls_[i].name);
        SetNumber(file, "calls", "pc" + std::to_string(i), static_cast<int32_t>(calls_[i].pc));
    }
    for (const auto& [index, value] : valsInt_)
        SetNumber(file, "valsInt", std::to_string(index), value);
    for (const auto& [index, value] : valsStr_)
        file->SetString("valsStr", std::to_string(index), Escape(value));
    SetNumber(file, "stack", "count", static_cast<int32_t>(stack.size()));
    for (size_t i = 0; i < stack.size(); ++i)
        SetNumber(file, "stack", std::to_string(i), stack.values()[i]);
    SetNumber(file, "pictures", "count", static_cast<int32_t>(layers_.size()));
    size_t i = 0;
    for (const auto& [key, layer] : layers_) {
        const std::string p = std::to_string(i++) + ".";
        SetNumber(file, "pictures", p + "key", layer.key);
        SetNumber(file, "pictures", p + "kind", layer.kind);
        file->SetString("pictures", p + "name", Escape(layer.name));
        SetNumber(file, "pictures", p + "x", layer.x);
        SetNumber(file, "pictures", p + "y", layer.y);
        SetNumber(file, "pictures", p + "blit", layer.blit);
        SetNumber(file, "pictures", p + "direction", layer.direction);
        SetNumber(file, "pictures", p + "frames", layer.frames);
    }
    if (host_ && host_->SaveSystemData() != 0)
        DebugOutput("Failed! - ScenarioExecutor::saveState SaveSystemData\n");
}

int ScenarioExecutor::loadState(const ProfileFile& file)
{
    SaveReader in(file);
    int32_t version = 0, pc = 0, effect = 0, window = 0, track = 0, callCount = 0;
    std::string name, title;
    in.number("scenario", "version", &version, kSaveVersion, kSaveVersion);
    in.text("scenario", "file", &name);
    in.number("scenario", "pc", &pc, 0);
    in.number("scenario", "effect", &effect, 0, 74);
    in.number("scenario", "window", &window, 0, 1);
    in.number("scenario", "track", &track);
    in.number("scenario", "calls", &callCount, 0, static_cast<int32_t>(kMaxCallDepth));
    if (in.result() == kLoadOk && file.GetString("title", "text", &title) != 0)
        title.clear();  // an untitled save is still a save

    std::vector<Frame> calls;
    for (int32_t i = 0; in.result() == kLoadOk && i < callCount; ++i) {
        Frame frame;
        int32_t framePc = 0;
        in.text("calls", "file" + std::to_string(i), &frame.name);
        in.number("calls", "pc" + std::to_string(i), &framePc, 0);
        frame.pc = static_cast<size_t>(framePc);
        calls.push_back(std::move(frame));
    }

    std::map<int32_t, int32_t> ints;
    if (const ProfileFile::Section* section = file.FindSection("valsInt")) {
        in.check(section->entries.size() <= kMaxVariables);
        for (const auto& [key, value] : section->entries) {
            int32_t index = 0, v = 0;
            if (!in.check(ParseInt(key, &index) && ParseInt(value, &v)))
                break;
            ints[index] = v;
        }
    }
    std::map<int32_t, std::string> strings;
    if (const ProfileFile::Section* section = file.FindSection("valsStr")) {
        for (const auto& [key, value] : section->entries) {
            int32_t index = 0;
            std::string v;
            if (!in.check(ParseInt(key, &index) && index >= 0 && index <= 0xFFFF && Unescape(value, &v)))
                break;
            strings[index] = std::move(v);
        }
    }
    int32_t depth = 0;
    std::vector<int32_t> values;
    in.number("stack", "count", &depth, 0, static_cast<int32_t>(SEStack::kMaxDepth));
    for (int32_t i = 0; in.result() == kLoadOk && i < depth; ++i) {
        int32_t v = 0;
        if (in.number("stack", std::to_string(i), &v))
            values.push_back(v);
    }
    int32_t pictureCount = 0;
    std::map<int32_t, PictureLayer> layers;
    in.number("pictures", "count", &pictureCount, 0, static_cast<int32_t>(kMaxPictures));
    for (int32_t i = 0; in.result() == kLoadOk && i < pictureCount; ++i) {
        const std::string p = std::to_string(i) + ".";
        PictureLayer layer;
        std::string escaped;
        in.number("pictures", p + "key", &layer.key);
        in.number("pictures", p + "kind", &layer.kind, kLayerPicture, kLayerPan);
        if (in.text("pictures", p + "name", &escaped))
            in.check(Unescape(escaped, &layer.name));
        in.number("pictures", p + "x", &layer.x);
        in.number("pictures", p + "y", &layer.y);
        in.number("pictures", p + "blit", &layer.blit);
        in.number("pictures", p + "direction", &layer.direction);
        in.number("pictures", p + "frames", &layer.frames);
        if (in.check(!layers.count(layer.key)))
            layers[layer.key] = std::move(layer);
    }
    if (in.result() != kLoadOk)
        return in.result();

    // Every file the save names must load and hold its position.
    std::string why;
    std::shared_ptr<const SCENARIO> script = loadScript(name, &why);
    if (!script)
        return kLoadBadScenario;
    if (static_cast<size_t>(pc) >= script->size())
        return kLoadBadPosition;
    for (const Frame& frame : calls) {
        std::shared_ptr<const SCENARIO> caller = loadScript(frame.name, &why);
        if (!caller)
            return kLoadBadScenario;
        if (frame.pc >= caller->size())
            return kLoadBadPosition;
    }

    // Put the saved pictures in the draw queue; on failure put the old ones back.
    if (!layers.empty() || !layers_.empty()) {
        PictureService* pictures = host_ ? host_->Pictures() : nullptr;
        if (!pictures)
            return kLoadBadPictures;
        // The saved set stops at its first refusal (the rest would only be
        // loaded to be thrown away); the old set puts back all it can.
        auto restore = [pictures](const std::map<int32_t, PictureLayer>& set, bool all) {
            bool ok = pictures->ClearPictures() == HostResult::kDone;
            for (auto it = set.begin(); it != set.end() && (ok || all); ++it)
                ok = pictures->RestorePicture(it->second) == HostResult::kDone && ok;
            return ok;
        };
        if (!restore(layers, false)) {
            restore(layers_, true);
            return kLoadBadPictures;
        }
    }

    script_ = std::move(script);
    scriptName_ = name;
    pc_ = static_cast<size_t>(pc);
    calls_ = std::move(calls);
    valsInt_ = std::move(ints);
    valsStr_ = std::move(strings);
    stack.assign(std::move(values));
    layers_ = std::move(layers);
    effect_ = effect;
    windowVisible_ = window != 0;
    cdTrack = track;
    title_ = std::move(title);
    waiting_ = false;
    pagePending_ = false;
    backlogRequested_ = false;
    error_.clear();
    errorDetail_.clear();
    errorShown_ = false;
    markAllDirty();
    return kLoadOk;
}
