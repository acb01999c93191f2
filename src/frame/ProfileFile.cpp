#include "frame/ProfileFile.h"

#include <climits>
#include <cstdio>

#include "frame/DebugOutput.h"
#include "frame/File.h"
#include "frame/FileLayer.h"
#include "frame/ProfileLine.h"
#include "frame/ProfileScramble.h"
#include "frame/WriteFileAtomic.h"

int ProfileTextToInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
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

    // Parsed aside, so that the object is replaced only by a complete read.
    ProfileFile parsed;
    size_t current = 0;
    bool inSection = false;
    // An editor's byte-order mark is skipped whatever the form, though only a
    // plain file can carry one: a decoded text starts with "[" by its test.
    size_t pos = ProfileTextStart(text);
    while (pos < text.size()) {
        ProfileLine line = NextProfileLine(text, &pos);
        if (line.kind == ProfileLine::kSection) {
            current = parsed.SectionPlace(line.name);  // a name seen before reopens its section
            inSection = true;
        } else if (line.kind == ProfileLine::kEntry && inSection) {
            parsed.Put(current, std::move(line.name), std::move(line.value));
        }
        // Anything else, and a key before any section, is ignored.
    }
    *this = std::move(parsed);
    return 0;
}

std::string ProfileFile::serialize(int scrambled) const
{
    std::string text;
    for (const Section& s : sections_) {
        text.append("[").append(s.name).append("]\r\n");
        for (const auto& entry : s.entries) {
            text.append(entry.first).append("=").append(entry.second).append("\r\n");
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
    const auto s = sectionIndex_.find(section);
    if (s == sectionIndex_.end()) {
        return 1;
    }
    const Index& keys = keyIndex_[s->second];
    const auto k = keys.find(key);
    if (k == keys.end()) {
        return 1;
    }
    *out = sections_[s->second].entries[k->second].second;
    return 0;
}

int ProfileFile::GetInt(const std::string& section, const std::string& key, int* out) const
{
    std::string text;
    if (GetString(section, key, &text) != 0) {
        return 1;
    }
    *out = ProfileTextToInt(text);
    return 0;
}

int ProfileFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    Put(SectionPlace(section), key, value);
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
    const auto s = sectionIndex_.find(name);
    return s == sectionIndex_.end() ? nullptr : &sections_[s->second];
}

void ProfileFile::Clear()
{
    sections_.clear();
    sectionIndex_.clear();
    keyIndex_.clear();
}

size_t ProfileFile::SectionPlace(const std::string& name)
{
    const auto [it, added] = sectionIndex_.try_emplace(name, sections_.size());
    if (added) {
        sections_.push_back(Section{name, {}});
        keyIndex_.emplace_back();
    }
    return it->second;
}

void ProfileFile::Put(size_t section, std::string key, std::string value)
{
    std::vector<std::pair<std::string, std::string>>& entries = sections_[section].entries;
    const auto [it, added] = keyIndex_[section].try_emplace(key, entries.size());
    if (added) {
        entries.emplace_back(std::move(key), std::move(value));
    } else {
        entries[it->second].second = std::move(value);  // a repeated key keeps its first place
    }
}
