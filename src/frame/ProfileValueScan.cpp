#include "frame/ProfileValueScan.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "frame/File.h"
#include "frame/ProfileFile.h"
#include "frame/ProfileLine.h"
#include "frame/ProfileScramble.h"

namespace {

// Big enough that a save's title comes in the first read.
constexpr size_t kChunk = 4096;

}  // namespace

int ScanProfileValue(const std::function<size_t(char*, size_t)>& read, const std::string& section,
                     const std::string& key, std::string* out)
{
    char chunk[kChunk];
    std::string pending;  // bytes read but not yet cut into lines
    std::string value;
    bool inSection = false;
    bool found = false;
    bool started = false;  // the text's start (and a byte-order mark there) is settled
    for (;;) {
        const size_t n = read(chunk, kChunk);
        // Whole lines only: up to the last LF of this piece (none when it has
        // none: what is pending then is still the start of one line), or all
        // that is left at the end.
        size_t usable = pending.size();
        if (n > 0) {
            const size_t lf = std::string_view(chunk, n).rfind('\n');
            usable = lf == std::string_view::npos ? 0 : pending.size() + lf + 1;
            pending.append(chunk, n);
        }
        if (!started) {
            if (n > 0 && pending.size() < kProfileByteOrderMark.size()) {
                continue;  // too few bytes yet to tell a mark from text
            }
            started = true;
            // A mark holds no LF, so a line end found lies past it.
            const size_t start = ProfileTextStart(pending);
            pending.erase(0, start);
            usable -= std::min(usable, start);
        }
        const std::string_view lines = std::string_view(pending).substr(0, usable);
        size_t pos = 0;
        while (pos < lines.size()) {
            ProfileLine line = NextProfileLine(lines, &pos);
            if (line.kind == ProfileLine::kSection) {
                if (found) {
                    *out = std::move(value);  // the block that held the key has ended
                    return 0;
                }
                inSection = line.name == section;
            } else if (line.kind == ProfileLine::kEntry && inSection && line.name == key) {
                value = std::move(line.value);
                found = true;
            }
        }
        if (n == 0) {
            break;
        }
        pending.erase(0, usable);
    }
    if (!found) {
        return 1;
    }
    *out = std::move(value);
    return 0;
}

int ReadProfileValue(const std::string& fileName, const std::string& section, const std::string& key,
                     std::string* out)
{
    CArchiveFile file;
    if (file.Open(fileName) != kFileOk) {
        return 1;
    }
    uint8_t first = 0;
    if (file.Read(&first, 1) == 1 &&
        profile_scramble::LooksScrambled(&first, static_cast<size_t>(file.GetSize()))) {
        ProfileFile whole;
        return whole.load(fileName) == 0 ? whole.GetString(section, key, out) : 1;
    }
    if (file.Seek(0, 0) != 0) {
        return 1;
    }
    return ScanProfileValue(
        [&file](char* buffer, size_t capacity) {
            const int n = file.Read(buffer, static_cast<int>(capacity));
            return n > 0 ? static_cast<size_t>(n) : size_t{0};
        },
        section, key, out);
}
