#pragma once
// ProfileFile: a sectioned key=value file held in memory. Sections and keys
// keep their order of first appearance and match exactly (case-sensitive).
// Read from plain text or the scrambled form; written as plain text
// ("[%s]\r\n" and "%s=%s\r\n" lines) or scrambled.
//
// Beside the ordered entries an index from name to place finds a section or
// a key in logarithmic time, so reading or building a file of n keys costs
// n log n: saves hold up to 65,536 variables. (An ordered index, not a hash:
// a hostile file cannot pick keys that make it slow.)
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class ProfileFile {
public:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };

    // Reads the named file (through the file layer) into the object, replacing
    // its contents; 0 on success, 1 when it cannot be opened or read.
    int load(const std::string& fileName);
    // Parses plain or scrambled bytes; 0 on success, 1 on a bad scrambled form.
    int loadFromMemory(const void* data, size_t size);
    // Writes every section in stored order to a temporary file renamed into
    // place; 0 on success, non-zero when the file cannot be written (*why,
    // when given, then says which step failed and the system's reason).
    int save(const std::string& fileName, int scrambled = 0, std::string* why = nullptr) const;
    // The bytes save() writes.
    std::string serialize(int scrambled = 0) const;

    // 0 and the value in *out; 1 when the section or key is missing (out untouched).
    int GetString(const std::string& section, const std::string& key, std::string* out) const;
    // GetString, then ProfileTextToInt.
    int GetInt(const std::string& section, const std::string& key, int* out) const;
    // Finds or appends the section and the key; returns 0.
    int SetString(const std::string& section, const std::string& key, const std::string& value);
    int SetInt(const std::string& section, const std::string& key, const int* value);
    // The section of that exact name, or null.
    const Section* FindSection(const std::string& name) const;
    const std::vector<Section>& Sections() const { return sections_; }
    void Clear();

private:
    using Index = std::map<std::string, size_t, std::less<>>;

    // The place of the named section, appended when it is new.
    size_t SectionPlace(const std::string& name);
    // Replaces the key's value in its first place, or appends the key.
    void Put(size_t section, std::string key, std::string value);

    std::vector<Section> sections_;
    Index sectionIndex_;            // name -> place in sections_
    std::vector<Index> keyIndex_;   // per section: key -> place in its entries
};

// The decimal text-to-integer rule of profile values: leading white space,
// an optional sign, digits up to the first other character; no digits gives
// 0. Values beyond int clamp to INT_MIN / INT_MAX instead of wrapping.
int ProfileTextToInt(const std::string& text);
