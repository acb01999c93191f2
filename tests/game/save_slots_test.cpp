// Slot file names, the slot items of the save and load submenus and their
// texts, on files whose modification times the test sets.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "GameTestFolder.h"
#include "frame/ProfileFile.h"
#include "game/SaveSlots.h"
#include "platform/Menu.h"

namespace {

using namespace game_test;

TEST(SaveSlots, pattern_needs_exactly_one_integer_conversion)
{
    std::string name = "untouched";
    EXPECT_TRUE(SlotFileName("savedata\\save%02d.dat", 3, &name));
    EXPECT_EQ(name, "savedata\\save03.dat");
    EXPECT_TRUE(SlotFileName("s%-3i%%.dat", 7, &name)) << "flags, a width and %% are allowed";
    EXPECT_EQ(name, "s7  %.dat");
    EXPECT_TRUE(SlotFileName("s%x", 255, &name));
    EXPECT_EQ(name, "sff");

    name = "untouched";
    for (const char* bad : {"save.dat", "save%s.dat", "%d%d.dat", "%*d.dat", "%ld.dat", "%n", "%.dat", "s%d%",
                            "%99999d.dat", "%f.dat", "..\\%d", "%d:x", "\\save%d"}) {
        EXPECT_FALSE(SlotFileName(bad, 3, &name)) << "pattern \"" << bad << "\" must be refused, not printed";
    }
    EXPECT_EQ(name, "untouched") << "a refused pattern must leave the output alone";
}

TEST(SaveSlots, menus_offer_slots_up_to_max_minus_three_but_never_99)
{
    EXPECT_EQ(LastOfferedSlot(12), 9) << "maxSaveSlot 12 gives ten slots, 0 to 9";
    EXPECT_EQ(LastOfferedSlot(3), 0);
    EXPECT_EQ(LastOfferedSlot(2), -1) << "two or fewer: no slot items";
    EXPECT_EQ(LastOfferedSlot(-5), -1);
    EXPECT_EQ(LastOfferedSlot(102), 98) << "slot 99 is the latest-choice slot, never an ordinary one";
    EXPECT_EQ(LastOfferedSlot(1000), 98) << "a save id must never reach 45501";
}

class SlotFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (tz)
            savedTz_ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
        std::filesystem::create_directories(folder_.path() + "/savedata");
    }
    void TearDown() override
    {
        if (hadTz_)
            setenv("TZ", savedTz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    // A slot file with a title (none when empty) last modified at `when` (UTC).
    void WriteSlot(int slot, const std::string& title, std::tm when)
    {
        ProfileFile file;
        file.SetString("scenario", "version", "1");
        if (!title.empty())
            file.SetString("title", "text", title);
        char name[64];
        std::snprintf(name, sizeof name, "savedata/save%02d.dat", slot);
        folder_.Write(name, file);
        const time_t t = timegm(&when);
        utimbuf times{t, t};
        ASSERT_EQ(utime((folder_.path() + "/" + name).c_str(), &times), 0);
    }
    static std::tm At(int y, int mo, int d, int h, int mi, int s)
    {
        std::tm t{};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_sec = s;
        return t;
    }
    GameFolder folder_;
    const std::string pattern_ = "savedata\\save%02d.dat";

private:
    bool hadTz_ = false;
    std::string savedTz_;
};

TEST_F(SlotFiles, item_text_shows_modification_time_and_title)
{
    WriteSlot(3, "abc", At(2002, 3, 4, 5, 6, 7));
    WriteSlot(4, "", At(1999, 12, 31, 23, 59, 58));
    bool exists = false;
    EXPECT_EQ(SlotItemText(3, "savedata\\save03.dat", &exists), "03: 2002/03/04 05:06:07 abc");
    EXPECT_TRUE(exists);
    EXPECT_EQ(SlotItemText(4, "SAVEDATA\\SAVE04.DAT", &exists), "04: 1999/12/31 23:59:58 ")
        << "a save without a title shows the time stamp and an empty title; names match without case";
    EXPECT_EQ(SlotItemText(5, "savedata\\save05.dat", &exists), "05: - nofile -");
    EXPECT_FALSE(exists);
}

TEST_F(SlotFiles, item_text_takes_the_title_of_a_large_or_damaged_save)
{
    // A save of 100,000 variables after its title, as the game writes it.
    ProfileFile big;
    big.SetString("title", "text", "the long game");
    for (int i = 0; i < 100000; ++i)
        big.SetInt("valsInt", std::to_string(i), &i);
    folder_.Write("savedata/save07.dat", big);
    bool exists = false;
    const std::string text = SlotItemText(7, "savedata\\save07.dat", &exists);
    EXPECT_TRUE(exists);
    EXPECT_EQ(text.substr(text.size() - 14), " the long game") << text;

    // Damage after the title leaves it readable; a file of junk has none.
    std::string junk(200000, '\x81');
    std::ofstream(folder_.path() + "/savedata/save08.dat", std::ios::binary)
        << "[title]\r\ntext=before the damage\r\n[valsInt]\r\n1=" << junk;
    const std::string damaged = SlotItemText(8, "savedata\\save08.dat", &exists);
    EXPECT_EQ(damaged.substr(damaged.size() - 18), " before the damage") << damaged;
    std::ofstream(folder_.path() + "/savedata/save09.dat", std::ios::binary) << junk;
    FlushFileLayerCache();
    const std::string none = SlotItemText(9, "savedata\\save09.dat", &exists);
    EXPECT_TRUE(exists);
    EXPECT_EQ(none.size(), std::string("09: 2000/01/01 00:00:00 ").size()) << "junk must give an empty title: " << none;
}

TEST_F(SlotFiles, filling_builds_each_offered_slot_once_and_greys_missing_loads)
{
    WriteSlot(1, "one", At(2010, 1, 2, 3, 4, 5));
    platform::Menu save;
    save.AppendItem("最新の選択肢", kLatestChoiceSaveId);
    platform::Menu load;
    load.AppendItem("最新の選択肢", kLatestChoiceLoadId);
    for (int opening = 0; opening < 2; ++opening)
        FillSlotMenus(&save, &load, 12, pattern_);

    ASSERT_EQ(save.ItemCount(), 11) << "the fixed item and ten slots, however often the menu opens";
    ASSERT_EQ(load.ItemCount(), 11);
    for (int slot = 0; slot <= 9; ++slot) {
        const platform::Menu::Item* s = save.ItemAt(slot + 1);
        const platform::Menu::Item* l = load.ItemAt(slot + 1);
        EXPECT_EQ(s->id, kSaveSlotIdBase + static_cast<uint32_t>(slot));
        EXPECT_EQ(l->id, kLoadSlotIdBase + static_cast<uint32_t>(slot));
        EXPECT_EQ(s->data, static_cast<uintptr_t>(slot)) << "the item data carries the slot";
        EXPECT_EQ(l->data, static_cast<uintptr_t>(slot));
        EXPECT_FALSE(s->grayed) << "any slot can be saved into";
        EXPECT_EQ(l->grayed, slot != 1) << "only slots with a file can be loaded (slot " << slot << ")";
    }
    EXPECT_EQ(load.ItemAt(2)->text, "01: 2010/01/02 03:04:05 one");
    EXPECT_TRUE(load.FindItem(kLatestChoiceLoadId)->grayed) << "no slot 99 file yet";

    WriteSlot(99, "latest", At(2011, 1, 1, 0, 0, 0));
    FillSlotMenus(nullptr, &load, 4, pattern_);
    EXPECT_EQ(load.ItemCount(), 3) << "a smaller maxSaveSlot removes the items of the earlier opening";
    EXPECT_FALSE(load.FindItem(kLatestChoiceLoadId)->grayed) << "slot 99 exists now";
    EXPECT_EQ(save.ItemCount(), 11) << "a null save menu is left alone";
}

TEST_F(SlotFiles, a_bad_pattern_offers_slots_without_files)
{
    platform::Menu load;
    FillSlotMenus(nullptr, &load, 5, "save%s.dat");
    ASSERT_EQ(load.ItemCount(), 3);
    EXPECT_EQ(load.ItemAt(0)->text, "00: - nofile -");
    EXPECT_TRUE(load.ItemAt(0)->grayed);
}

}  // namespace
