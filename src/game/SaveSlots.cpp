// Save slots: file names, the slot items of the menus, and slot writes.
#include "game/SaveSlots.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "frame/FileLayer.h"
#include "frame/ProfileFile.h"
#include "frame/ProfileValueScan.h"
#include "game/WritePath.h"
#include "platform/Menu.h"
#include "scenario/ScenarioExecutor.h"

namespace {

// A file name longer than this is not a setting anyone meant.
constexpr int kMaxFileName = 1024;

// The number of conversions in the pattern, all of them integer ones with
// optional flags and width; -1 when any other conversion is there: printf
// would read an argument that is not there, or read the int as something else.
int IntConversions(const std::string& pattern)
{
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            continue;   // '%' is never a Shift-JIS trail byte
        }
        ++i;
        if (i < pattern.size() && pattern[i] == '%') {
            continue;
        }
        while (i < pattern.size() && std::string_view("-+ #0").find(pattern[i]) != std::string_view::npos) {
            ++i;
        }
        size_t digits = 0;
        while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
            ++i;
            ++digits;
        }
        if (digits > 3 || i >= pattern.size() || std::string_view("diuoxX").find(pattern[i]) == std::string_view::npos) {
            return -1;
        }
        ++conversions;
    }
    return conversions;
}

// The file's modification time when it is a file of its own.
bool LooseFileTime(const std::string& fileName, time_t* mtime)
{
    FileLocation where;
    if (!FindGameFile(fileName, &where) || where.kind != FileLocation::kLoose) {
        return false;
    }
    struct stat st;
    if (stat(where.hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    *mtime = st.st_mtime;
    return true;
}

}  // namespace

bool IsSafeSlotPattern(const std::string& pattern)
{
    // Conversions print digits, signs and spaces only, so the pattern escapes
    // the folder exactly when its names would.
    const int conversions = IntConversions(pattern);
    return conversions >= 0 && conversions <= 1 && WritePathError(pattern).empty();
}

bool SlotFileName(const std::string& pattern, int slot, std::string* out)
{
    if (IntConversions(pattern) != 1) {
        return false;
    }
    std::vector<char> buffer(kMaxFileName + 1);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(buffer.data(), buffer.size(), pattern.c_str(), slot);
#pragma GCC diagnostic pop
    if (length <= 0 || length > kMaxFileName) {
        return false;
    }
    std::string name(buffer.data(), static_cast<size_t>(length));
    // The pattern comes with the game's data: its slots must stay in the game folder.
    if (!WritePathError(name).empty()) {
        return false;
    }
    *out = std::move(name);
    return true;
}

int LastOfferedSlot(int maxSaveSlot)
{
    if (maxSaveSlot < 3) {
        return -1;
    }
    return std::min(maxSaveSlot - 3, kLatestChoiceSlot - 1);
}

bool SlotFileExists(const std::string& fileName)
{
    time_t ignored = 0;
    return LooseFileTime(fileName, &ignored);
}

std::string SlotItemText(int slot, const std::string& fileName, bool* exists)
{
    char text[64];
    time_t mtime = 0;
    *exists = LooseFileTime(fileName, &mtime);
    if (!*exists) {
        std::snprintf(text, sizeof text, "%02d: - nofile -", slot);
        return text;
    }
    std::tm local{};
    localtime_r(&mtime, &local);
    std::snprintf(text, sizeof text, "%02d: %04d/%02d/%02d %02d:%02d:%02d ", slot, local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    // Only the title: a menu lists up to 99 slots, and a save may hold
    // 65,536 variables after it.
    std::string title;
    ReadProfileValue(fileName, "title", "text", &title);
    return text + title;
}

void FillSlotMenus(platform::Menu* save, platform::Menu* load, int maxSaveSlot, const std::string& pattern)
{
    const int last = LastOfferedSlot(maxSaveSlot);
    // Every id an earlier opening may have made, whatever maxSaveSlot was then.
    for (int slot = 0; slot < kLatestChoiceSlot; ++slot) {
        if (save) {
            save->DeleteItem(kSaveSlotIdBase + static_cast<uint32_t>(slot));
        }
        if (load) {
            load->DeleteItem(kLoadSlotIdBase + static_cast<uint32_t>(slot));
        }
    }
    if (load) {
        std::string latest;
        load->EnableItem(kLatestChoiceLoadId, SlotFileName(pattern, kLatestChoiceSlot, &latest) &&
                                                  SlotFileExists(latest));
    }
    for (int slot = 0; slot <= last; ++slot) {
        std::string fileName;
        bool exists = false;
        const std::string text = SlotFileName(pattern, slot, &fileName) ? SlotItemText(slot, fileName, &exists)
                                                                        : SlotItemText(slot, std::string(), &exists);
        const auto data = static_cast<uintptr_t>(slot);
        if (save) {
            save->AppendItem(text, kSaveSlotIdBase + static_cast<uint32_t>(slot), false, data);
        }
        if (load) {
            load->AppendItem(text, kLoadSlotIdBase + static_cast<uint32_t>(slot), !exists, data);
        }
    }
}

bool WriteSlot(ScenarioExecutor* executor, int slot, const std::string& pattern, std::string* fileName,
               std::string* why)
{
    if (!SlotFileName(pattern, slot, fileName)) {
        *fileName = pattern;
        *why = "\"savedataFormat\" does not name one slot file inside the game folder";
        return false;
    }
    ProfileFile file;
    executor->saveState(&file);
    return file.save(*fileName, 0, why) == 0;
}
