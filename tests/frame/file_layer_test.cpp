#include "frame/FileLayer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "FrameTestDir.h"
#include "frame/File.h"
#include "frame/NmmPacker.h"

namespace {

// 表 (Shift-JIS 0x95 0x5C, UTF-8 E8 A1 A8): its trail byte is "\".
const std::string kSjisHyou = "\x95\x5C";
const std::string kUtf8Hyou = "\xE8\xA1\xA8";

std::string LoadText(const std::string& name)
{
    CFile file;
    if (file.Load(name) != 0) {
        return "<not found>";
    }
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

std::vector<uint8_t> Archive(const std::vector<std::pair<std::string, std::string>>& files, int method = -1)
{
    std::vector<NmmPackInput> inputs;
    for (const auto& [name, text] : files) {
        inputs.push_back(NmmPackInput{name, std::vector<uint8_t>(text.begin(), text.end()), method});
    }
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(BuildNmmArchive(inputs, 0x5A, &bytes, &error)) << error;
    return bytes;
}

TEST(FileLayer, extension_is_the_text_after_the_last_dot_of_the_name_part)
{
    EXPECT_EQ(GetFileExtension("cg\\ev01.PNG"), "PNG") << "extension of a plain name";
    EXPECT_EQ(GetFileExtension("a.b.c"), "c") << "only the last dot counts";
    EXPECT_EQ(GetFileExtension("dir.x\\file"), "") << "a dot in a folder name is no extension";
    EXPECT_EQ(GetFileExtension("dir.x/file"), "") << "a dot in a folder name is no extension";
    EXPECT_EQ(GetFileExtension("noext"), "") << "no dot, no extension";
    // "a.b表": the 0x5C trail byte of 表 must not end the folder part.
    EXPECT_EQ(GetFileExtension("a.b" + kSjisHyou), "b" + kSjisHyou)
        << "a Shift-JIS trail byte 0x5C was taken for a path separator";
}

TEST(FileLayer, lower_cases_ascii_but_not_shift_jis_trail_bytes)
{
    // ア is 0x83 0x41: its trail byte is "A" and must stay.
    std::string text = "ABC\x83\x41Z";
    MakeLowerSjis(text);
    EXPECT_EQ(text, "abc\x83\x41z") << "the trail byte of a double-byte character was lower-cased";
}

TEST(FileLayer, set_win_main_args_stores_values_and_records_the_current_directory)
{
    FrameTestDir dir;
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
    ASSERT_EQ(chdir(dir.Root().c_str()), 0);
    int instance = 0;
    SetWinMainArgs(&instance, nullptr, "-debug", 5);
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(GetWinMainArgs().instance, &instance) << "instance not stored";
    EXPECT_EQ(GetWinMainArgs().commandLine, "-debug") << "command line not stored";
    EXPECT_EQ(GetWinMainArgs().showCommand, 5) << "show command not stored";
    EXPECT_EQ(GetStartDirectory(), dir.Root()) << "the start directory must be the directory current at start";
    dir.Write("x/y.txt", "start");
    EXPECT_EQ(LoadText("x\\y.txt"), "start") << "names must resolve against the start directory, not the current one";
}

TEST(FileLayer, full_path_folds_dots_and_matches_case_per_component)
{
    FrameTestDir dir;
    dir.Write("Scenario/Brask.INI", "x");
    EXPECT_EQ(MakeFullPath("scenario\\brask.ini"), dir.Root() + "/Scenario/Brask.INI")
        << "each component must take its on-disk spelling";
    EXPECT_EQ(MakeFullPath(".\\SCENARIO\\..\\scenario\\.\\BRASK.ini"), dir.Root() + "/Scenario/Brask.INI")
        << "'.' and '..' must fold before matching";
    EXPECT_EQ(MakeFullPath("./new\\File.txt"), dir.Root() + "/new/File.txt")
        << "missing components stay as written";
    std::string full = MakeFullPath("scenario\\brask.ini");
    EXPECT_EQ(MakeFullPath(full), full) << "a full path must resolve to itself";
}

TEST(FileLayer, finds_files_case_insensitively_with_shift_jis_names)
{
    FrameTestDir dir;
    dir.Write("Scenario/Brask.INI", "settings");
    dir.Write(kUtf8Hyou + "/" + kUtf8Hyou + ".txt", "kanji");
    EXPECT_EQ(LoadText("SCENARIO\\brask.ini"), "settings") << "case-insensitive lookup failed";
    EXPECT_EQ(LoadText(kSjisHyou + "\\" + kSjisHyou + ".TXT"), "kanji")
        << "a Shift-JIS name whose trail byte is 0x5C must be converted before splitting on \\";
    EXPECT_TRUE(FileExists("scenario\\BRASK.ini")) << "FileExists missed a loose file";
    EXPECT_FALSE(FileExists("scenario\\missing.ini")) << "FileExists found a missing file";
}

TEST(FileLayer, finds_names_stored_on_disk_as_raw_shift_jis_bytes)
{
    FrameTestDir dir;
    // "表" is 0x95 0x5C, "画像" 0x89 0xE6 0x91 0x9C: folders and files as a
    // zip made on Japanese Windows unpacks them, beside a UTF-8 name.
    const std::string sjisFolder = "\x89\xE6\x91\x9C";
    dir.Write(sjisFolder + "/\x95\x5C" + "Ga.PNG", "raw bytes");
    dir.Write("bgm/" + kUtf8Hyou + ".wav", "utf-8 name");
    EXPECT_EQ(LoadText(sjisFolder + "\\" + kSjisHyou + "ga.png"), "raw bytes")
        << "a name kept as Shift-JIS bytes must be found, ASCII letters in any case";
    EXPECT_EQ(LoadText("BGM\\" + kSjisHyou + ".WAV"), "utf-8 name") << "UTF-8 names are still found";
    EXPECT_EQ(MakeFullPath(sjisFolder + "\\" + kSjisHyou + "GA.png"), dir.Root() + "/" + sjisFolder + "/\x95\x5CGa.PNG")
        << "the full path takes the spelling on disk";
    EXPECT_TRUE(FileExists(sjisFolder + "\\" + kSjisHyou + "ga.png"));
    // "ア" is 0x83 0x41 and "ッ" 0x83 0x61: folding ASCII case must leave trail bytes alone.
    dir.Write(sjisFolder + "/\x83\x41.txt", "a");
    EXPECT_TRUE(FileExists(sjisFolder + "\\\x83\x41.TXT"));
    EXPECT_FALSE(FileExists(sjisFolder + "\\\x83\x61.txt")) << "a trail byte must not be case-folded";
}

TEST(FileLayer, sees_a_file_created_after_the_folder_was_listed)
{
    FrameTestDir dir;
    dir.Write("savedata/a.sav", "a");
    ASSERT_TRUE(FileExists("SAVEDATA\\A.SAV")) << "setup: listing not made";
    EXPECT_FALSE(FileExists("SAVEDATA\\B.SAV")) << "setup: file already there";
    dir.Write("savedata/b.sav", "b");
    EXPECT_TRUE(FileExists("SAVEDATA\\B.SAV")) << "a stale directory listing hid a new file";
}

TEST(FileLayer, finds_entries_of_the_archive_named_after_the_folder)
{
    FrameTestDir dir;
    dir.Write("cg.NMM", Archive({{"Ev01.png", "picture"}, {kSjisHyou + ".txt", "kanji entry"}}));
    EXPECT_EQ(LoadText("CG\\ev01.PNG"), "picture") << "archive entry not found case-insensitively";
    EXPECT_EQ(LoadText("cg\\" + kSjisHyou + ".TXT"), "kanji entry")
        << "an entry with a 0x5C trail byte in its Shift-JIS name was not found";
    EXPECT_TRUE(FileExists("cg\\ev01.png")) << "FileExists missed an archive entry";
    EXPECT_FALSE(FileExists("cg\\ev02.png")) << "FileExists found an entry the archive lacks";
    EXPECT_FALSE(FileExists("other\\ev01.png")) << "an entry was found through another folder's name";
    FileLocation where;
    ASSERT_TRUE(FindGameFile("cg\\EV01.png", &where));
    EXPECT_EQ(where.kind, FileLocation::kArchive) << "entry reported as a loose file";
    EXPECT_EQ(where.entryName, "Ev01.png") << "the entry keeps its stored spelling";
}

TEST(FileLayer, a_loose_file_comes_before_the_archive_entry)
{
    FrameTestDir dir;
    dir.Write("cg.nmm", Archive({{"ev01.png", "from archive"}, {"ev02.png", "only in archive"}}));
    dir.Write("CG/EV01.PNG", "loose");
    EXPECT_EQ(LoadText("cg\\ev01.png"), "loose") << "the archive entry shadowed a loose file";
    EXPECT_EQ(LoadText("cg\\ev02.png"), "only in archive")
        << "with the folder present, other names must still come from the archive";
}

TEST(FileLayer, a_corrupt_archive_finds_nothing)
{
    FrameTestDir dir;
    std::vector<uint8_t> bytes = Archive({{"a.txt", "text"}});
    bytes.resize(bytes.size() - 1);  // the entry's data now passes the end
    dir.Write("data.NMM", bytes);
    EXPECT_FALSE(FileExists("data\\a.txt")) << "an entry running past the archive's end was offered";
    CFile file;
    EXPECT_EQ(file.Load("data\\a.txt"), kFileNotFound) << "loading from a truncated archive must find nothing";
}

// A game folder "game" inside the scratch folder, made the start directory,
// with a file beside it that no name from the game may reach.
class ConfinedFolder {
public:
    ConfinedFolder()
    {
        dir_.Write("SECRET.txt", "secret");
        dir_.Write("game.NMM", Archive({{"top.txt", "beside the folder"}}));
        dir_.Write("other.NMM", Archive({{"a.txt", "another folder's archive"}}));
        dir_.Write("game/cg/a.png", "inside");
        SetStartDirectory(dir_.Root() + "/game");
        FlushFileLayerCache();
    }
    const FrameTestDir& dir() const { return dir_; }
    std::string Game() const { return dir_.Root() + "/game"; }

private:
    FrameTestDir dir_;  // restores the start directory last
};

TEST(FileLayer, names_that_climb_out_of_the_game_folder_are_not_found)
{
    ConfinedFolder folder;
    const std::string outside = folder.dir().Root() + "/SECRET.txt";
    const std::vector<std::string> names = {
        "..\\SECRET.txt",
        "cg\\..\\..\\SECRET.txt",
        "..\\..\\..\\..\\..\\..\\..\\etc\\hostname",
        "../SECRET.txt",
        "..\\game\\cg\\a.png",  // back inside, but only after leaving
        "\\etc\\hostname",
        "/etc/hostname",
        outside,
        "C:\\SECRET.txt",
        "c:..\\SECRET.txt",
        "cg\\a.png:stream",
        "..\\other\\a.txt",  // an archive beside the folder
    };
    for (const std::string& name : names) {
        CFile file;
        EXPECT_EQ(file.Load(name), kFileNotFound) << name << " was read outside the game folder";
        CArchiveFile handle;
        EXPECT_EQ(handle.Open(name), kFileNotFound) << name << " was opened outside the game folder";
        EXPECT_FALSE(FileExists(name)) << name;
        FileLocation where;
        EXPECT_FALSE(FindGameFile(name, &where)) << name;
        EXPECT_EQ(MakeFullPath(name), "") << name << ": readers that open host paths must get nothing to open";
    }
    // A file at the top of the folder has no folder archive: the one named
    // after the game folder lies outside it.
    EXPECT_EQ(LoadText("top.txt"), "<not found>") << "an entry of the archive beside the game folder was read";
}

TEST(FileLayer, names_that_stay_inside_the_game_folder_still_resolve)
{
    ConfinedFolder folder;
    for (const char* name : {"cg\\a.png", "bg\\..\\cg\\a.png", ".\\CG\\.\\x\\..\\A.PNG", "cg//a.png"}) {
        EXPECT_EQ(LoadText(name), "inside") << name << " stays in the folder and must be found";
        EXPECT_EQ(MakeFullPath(name), folder.Game() + "/cg/a.png") << name;
    }
    const std::string full = MakeFullPath("cg\\a.png");
    EXPECT_EQ(LoadText(full), "inside") << "a full path inside the folder handed back must open";
    EXPECT_EQ(MakeFullPath(""), folder.Game()) << "the empty name is the folder itself";
    EXPECT_EQ(MakeFullPath("new\\..\\save.dat"), folder.Game() + "/save.dat") << "a file still to be written";
}

TEST(FileLayer, links_placed_inside_the_game_folder_are_followed)
{
    ConfinedFolder folder;
    // A save folder kept on another disk, and one picture linked in.
    folder.dir().Write("elsewhere/a.sav", "saved");
    folder.dir().Write("shared/pic.png", "shared picture");
    std::filesystem::create_directory_symlink(folder.dir().Root() + "/elsewhere", folder.Game() + "/savedata");
    std::filesystem::create_symlink(folder.dir().Root() + "/shared/pic.png", folder.Game() + "/cg/pic.png");
    FlushFileLayerCache();
    EXPECT_EQ(LoadText("savedata\\a.sav"), "saved") << "a linked folder inside the game folder must be read";
    EXPECT_EQ(LoadText("SAVEDATA\\A.SAV"), "saved") << "names under a link still match case-insensitively";
    EXPECT_EQ(LoadText("cg\\pic.png"), "shared picture") << "a linked file inside the game folder must be read";
    EXPECT_EQ(LoadText("savedata\\..\\cg\\a.png"), "inside") << "\"..\" folds on the name, not on the link's target";
    EXPECT_EQ(LoadText("savedata\\..\\..\\SECRET.txt"), "<not found>") << "a link does not open a way up";
}

}  // namespace
