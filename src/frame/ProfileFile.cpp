#include "frame/ProfileFile.h"

#include <climits>
#include <cstdio>

#include "frame/DebugOutput.h"
#include "frame/File.h"
#include "frame/FileLayer.h"
#include "frame/ProfileScramble.h"
#include "frame/WriteFileAtomic.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks are ASCII space and tab; neither is ever a Shift-JIS trail byte
// (those start at 0x40), so trimming bytes is safe on Shift-JIS text.
std::string Trim(const std::string& s, size_t begin, size_t end)
{
    while (begin < end && IsBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
}

ProfileFile::Section* FindMutable(std::vector<ProfileFile::Section>& sections, const std::string& name)
{
    for (ProfileFile::Section& s : sections) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

// Decimal text to integer: leading white space, an optional sign, digits up
// to the first other character; no digits gives 0. Values beyond int clamp
// to INT_MIN / INT_MAX instead of wrapping.
int TextToInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

int ProfileFile::load(const std::string& fileName)
{
    CFile file;
    if (file.Load(fileName) != 0) {
        DebugOutput("Failed! - ProfileFile::load() ファイルを読めない <" + fileName + ">\n");
        return 1;
    }
    return loadFromMemory(file.GetData(), file.GetSize());
}

int ProfileFile::loadFromMemory(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string text;
    if (size > 0 && profile_scramble::LooksScrambled(bytes, size)) {
        if (!profile_scramble::Unscramble(bytes, size, &text)) {
            DebugOutput("Failed! - ProfileFile::load() 暗号化ファイルが壊れている\n");
            return 1;
        }
    } else if (size > 0) {
        text.assign(reinterpret_cast<const char*>(bytes), size);
    }

    std::vector<Section> sections;
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        size_t lineEnd = end;
        if (lineEnd > pos && text[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        std::string line = Trim(text, pos, lineEnd);
        pos = end + 1;
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[' && line.size() >= 2 && line.back() == ']') {
            std::string name = Trim(line, 1, line.size() - 1);
            current = FindMutable(sections, name);
            if (current == nullptr) {
                sections.push_back(Section{name, {}});
                current = &sections.back();
            }
            continue;
        }
        size_t eq = line.find('=');
        if (current == nullptr || eq == std::string::npos) {
            continue;  // a key before any section, or not a key line
        }
        std::string key = Trim(line, 0, eq);
        if (key.empty()) {
            continue;
        }
        std::string value = Trim(line, eq + 1, line.size());
        bool replaced = false;
        for (auto& entry : current->entries) {
            if (entry.first == key) {
                entry.second = value;  // a repeated key keeps its first place
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            current->entries.emplace_back(std::move(key), std::move(value));
        }
    }
    sections_ = std::move(sections);
    return 0;
}

std::string ProfileFile::serialize(int scrambled) const
{
    std::string text;
    for (const Section& s : sections_) {
        text += "[" + s.name + "]\r\n";
        for (const auto& entry : s.entries) {
            text += entry.first + "=" + entry.second + "\r\n";
        }
    }
    return scrambled ? profile_scramble::Scramble(text) : text;
}

int ProfileFile::save(const std::string& fileName, int scrambled, std::string* why) const
{
    std::string bytes = serialize(scrambled);
    WriteFileResult rc = WriteFileAtomic(MakeFullPath(fileName), bytes.data(), bytes.size(), why);
    if (rc != kWriteOk) {
        DebugOutput("Failed! - ProfileFile::save() " + std::string(ToString(rc)) + " <" + fileName + ">\n");
    }
    return rc;
}

int ProfileFile::GetString(const std::string& section, const std::string& key, std::string* out) const
{
    const Section* s = FindSection(section);
    if (s == nullptr) {
        return 1;
    }
    for (const auto& entry : s->entries) {
        if (entry.first == key) {
            *out = entry.second;
            return 0;
        }
    }
    return 1;
}

int ProfileFile::GetInt(const std::string& section, const std::string& key, int* out) const
{
    std::string text;
    if (GetString(section, key, &text) != 0) {
        return 1;
    }
    *out = TextToInt(text);
    return 0;
}

int ProfileFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    Section* s = FindMutable(sections_, section);
    if (s == nullptr) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    for (auto& entry : s->entries) {
        if (entry.first == key) {
            entry.second = value;
            return 0;
        }
    }
    s->entries.emplace_back(key, value);
    return 0;
}

int ProfileFile::SetInt(const std::string& section, const std::string& key, const int* value)
{
    if (value == nullptr) {
        return 1;
    }
    char text[16];
    std::snprintf(text, sizeof(text), "%d", *value);
    return SetString(section, key, text);
}

const ProfileFile::Section* ProfileFile::FindSection(const std::string& name) const
{
    for (const Section& s : sections_) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}
