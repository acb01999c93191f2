#pragma once
// Save slots: the file of a slot number (the setting "savedataFormat"), the
// slot items of the popup's save and load submenus, and writing a slot.
//
// A slot file is a profile file holding the scenario executor's saved state
// with the save title in section "title", key "text" (docs/FORMATS.md).
// Slot 99 is the "latest choice" slot that the scenario's save point writes;
// the menus offer the slots 0 .. min(maxSaveSlot - 3, 98), so a save item's
// id (45002 + slot) never reaches the fixed load item 45501 and slot 99 is
// never offered as an ordinary slot.
#include <cstdint>
#include <string>

namespace platform {
class Menu;
}
class ScenarioExecutor;

constexpr int kLatestChoiceSlot = 99;
constexpr uint32_t kLatestChoiceSaveId = 45001;   // fixed save item: has no command
constexpr uint32_t kLatestChoiceLoadId = 45501;   // fixed load item: loads slot 99
constexpr uint32_t kSaveSlotIdBase = 45002;       // + slot
constexpr uint32_t kLoadSlotIdBase = 45502;       // + slot

// The file name of a slot: the pattern formatted with the slot number. The
// pattern must hold exactly one integer conversion (d, i, u, o, x or X, with
// flags and a width; "%%" is a literal "%"); otherwise false and *out is
// left alone, so a bad setting never reaches printf. A name that would land
// outside the game folder (see WritePathError) is refused the same way.
bool SlotFileName(const std::string& pattern, int slot, std::string* out);
// The settings reader's check: false when the pattern holds a conversion
// other than integer ones, more than one, or names a file outside the game
// folder. A pattern without a conversion passes here; saving then refuses it.
bool IsSafeSlotPattern(const std::string& pattern);

// The highest slot the menus offer: min(maxSaveSlot - 3, 98); -1 for none.
int LastOfferedSlot(int maxSaveSlot);

// The menu text of a slot: "%02d: YYYY/MM/DD hh:mm:ss <title>" from the
// file's last modification (local time) and its save title, or
// "%02d: - nofile -" when the file does not exist (*exists false).
std::string SlotItemText(int slot, const std::string& fileName, bool* exists);

// True when the slot's file exists as a file of its own (not an archive entry).
bool SlotFileExists(const std::string& fileName);

// Rebuilds the slot items when a save or load submenu opens: the items of
// every offered slot are removed and appended anew after the fixed items
// (save items always enabled, load items greyed without a file, item data =
// slot), and the fixed load item is enabled only when slot 99's file exists.
// save or load may be null.
void FillSlotMenus(platform::Menu* save, platform::Menu* load, int maxSaveSlot, const std::string& pattern);

// Writes the executor's state into the slot's file (through a temporary file
// renamed into place). False when the pattern is bad or the write failed:
// the old file is then unchanged, *fileName holds the slot's name (when the
// pattern gave one) and *why the reason.
bool WriteSlot(ScenarioExecutor* executor, int slot, const std::string& pattern, std::string* fileName,
               std::string* why);
