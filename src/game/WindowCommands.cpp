// The game's window listener: the menus' commands, the slot items built when
// a save or load submenu opens, the popup menu, screen modes, and the saves
// and loads of a slot.
#include <cstdio>

#include "display/FastPlane.h"
#include "frame/CApp.h"
#include "frame/DebugOutput.h"
#include "frame/ProfileFile.h"
#include "game/ErrorReport.h"
#include "game/Game.h"
#include "game/GameConfig.h"
#include "game/GameMenus.h"
#include "game/MissingPictures.h"
#include "game/OptionsCommand.h"
#include "game/SaveSlots.h"
#include "game/ScreenMode.h"
#include "game/ScriptFrame.h"
#include "game/SystemData.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/OpenUrl.h"
#include "platform/WindowMessages.h"

namespace {

// Every question the commands ask: Yes or No, No by default.
bool Confirm(const char* question)
{
    return platform::ShowMessageBox(question, "確認", platform::MessageBoxKind::YesNo) == platform::kIdYes;
}

void ShowError(const std::string& text)
{
    platform::ShowMessageBox(text, "えら", platform::MessageBoxKind::Ok);
}

// The slot an id of a generated save or load item stands for, or -1.
int SlotOfItem(uint32_t id, uint32_t base)
{
    const int last = LastOfferedSlot(gConfig.maxSaveSlot);
    if (id < base || id > base + static_cast<uint32_t>(last) || last < 0)
        return -1;
    return static_cast<int>(id - base);
}

}  // namespace

int CGame::OnWindowMessage(platform::WindowHandle, uint32_t message, platform::WParam wParam, platform::LParam)
{
    switch (message) {
    case platform::kWmInitMenuPopup:
        OnInitMenuPopup(reinterpret_cast<platform::Menu*>(wParam));
        break;
    case platform::kWmCommand:
        OnCommand(platform::LowWord(wParam));
        break;
    case platform::kWmActivate:
        // Coming back to the front (by a click or otherwise): paint it all.
        if (platform::LowWord(wParam) != platform::kWaInactive)
            executor.markAllDirty();
        break;
    default:
        break;
    }
    // The window's other listeners and the default handling see it too.
    return 0;
}

void CGame::OnInitMenuPopup(platform::Menu* menu)
{
    if (!menu || !popupMenu)
        return;
    platform::Menu* save = nullptr;
    platform::Menu* load = nullptr;
    if (menu == popupMenu) {
        save = popupMenu->SubmenuAt(kPopupSavePosition);
        load = popupMenu->SubmenuAt(kPopupLoadPosition);
        const bool replaying = executor.sceneReplay != 0;
        popupMenu->EnableItemAt(kPopupSavePosition, !replaying);
        popupMenu->EnableItemAt(kPopupLoadPosition, !replaying);
    } else if (menu == popupMenu->SubmenuAt(kPopupLoadPosition)) {
        load = menu;   // the start menu's load button opens it alone
    } else {
        return;
    }
    FillSlotMenus(save, load, gConfig.maxSaveSlot, gConfig.savedataFormat);
    platform::DrawMenuBar();
}

void CGame::OnCommand(uint32_t id)
{
    uintptr_t data = 0;
    if (SlotOfItem(id, kSaveSlotIdBase) >= 0) {
        if (Confirm("セーブしてよろしいですか？") && popupMenu && popupMenu->GetItemData(id, &data))
            SaveToSlot(static_cast<int>(data));
        return;
    }
    if (SlotOfItem(id, kLoadSlotIdBase) >= 0) {
        if (popupMenu && popupMenu->GetItemData(id, &data))
            LoadSlot(static_cast<int>(data));
        return;
    }
    switch (id) {
    case kLatestChoiceLoadId: LoadSlot(kLatestChoiceSlot); break;
    case kCmdQuit:
        if (Confirm("終了しますか？"))
            StopGame();
        break;
    case kCmdWindowed: SetScreenMode(0); break;
    case kCmdFullScreen16: SetScreenMode(16); break;
    case kCmdFullScreen24: SetScreenMode(24); break;
    case kCmdFullScreen32: SetScreenMode(32); break;
    case kCmdVersion:
        platform::ShowMessageBox(gConfig.VersionString, "バージョン情報", platform::MessageBoxKind::Ok);
        break;
    case kCmdAutoAdvance: executor.setFastForward(2); break;
    case kCmdSkipToChoice: executor.setFastForward(1); break;
    case kCmdReturnToTitle:
        if (Confirm("タイトルに戻りますか？"))
            ReturnToTitle();
        break;
    case kCmdWebsite: platform::OpenUrl(gConfig.UrlSundrel); break;
    case kCmdHideWindow: executor.showScriptFrame(false); break;
    case kCmdBacklog: executor.openBacklog(); break;
    case kCmdOptions:
        if (RunOptionsDialog(&mixer) == 0) {
            sound.RestartMusic(executor.cdTrack);
            executor.markAllDirty();
            services.SaveSystemData();
        }
        break;
    default: break;   // 45001 ("latest choice" in the save menu) among them
    }
}

void CGame::StopGame()
{
    if (app)
        app->SignalStop();
    else
        platform::PostQuitMessage(0);
}

bool CGame::SaveToSlot(int slot)
{
    // A replayed scene is not the player's game: there is nothing to save.
    if (executor.sceneReplay != 0)
        return false;
    std::string fileName, why;
    if (WriteSlot(&executor, slot, gConfig.savedataFormat, &fileName, &why))
        return true;
    // The player asked for this save: tell them every time, and the log why.
    WriteErrorLine("cannot save " + fileName + ": " + why);
    ShowError("セーブに失敗しました");
    return false;
}

bool CGame::SavePoint()
{
    if (executor.sceneReplay != 0)
        return true;
    std::string fileName, why;
    if (WriteSlot(&executor, kLatestChoiceSlot, gConfig.savedataFormat, &fileName, &why))
        return true;
    // An automatic save: the player hears of it once per run, the log every time.
    ReportWriteFailure(fileName, why);
    return false;
}

void CGame::LoadSlot(int slot)
{
    ProfileFile file;
    std::string fileName;
    // A missing or unreadable file leaves the profile empty: the load below
    // then fails and says so.
    if (SlotFileName(gConfig.savedataFormat, slot, &fileName))
        file.load(fileName);
    int result = 0;
    {
        // A save may name hundreds of pictures that are gone: one box for
        // them all, before whatever the load has to say.
        const MissingPictureBatch missing;
        result = executor.loadState(file);
    }
    if (result != kLoadOk) {
        char text[64];
        std::snprintf(text, sizeof text, "ロードに失敗(%d)", result);
        ShowError(text);
        // The game goes on as it was; chosen from the start menu there is no
        // game yet, so the start menu comes back.
        if (executor.scenarioName().empty() && !screen && !movie)
            OpenScreen(2);
        executor.markAllDirty();
        return;
    }
    ResetEffects();
    text.RestoreAfterLoad(executor.windowVisible());
    if (CScriptFrame* frame = text.GetScriptFrame())
        frame->SetShowExtras(1);
    sound.RestartMusic(executor.cdTrack);
    executor.markAllDirty();
}

void CGame::ResetEffects()
{
    executor.setFastForward(0);
    drawQueue.Quake() = CScreenQuake{};
    display.SetScreenOffset(0, 0);
    delete flashSnapshot;
    flashSnapshot = nullptr;
    effectDrawn_ = false;
}

void CGame::StartAfresh()
{
    executor.resetGame();
    ResetEffects();
    services.ClearPictures();
    text.RestoreAfterLoad(false);
    executor.markAllDirty();
}

void CGame::ReturnToTitle()
{
    StartAfresh();
    executor.stopSounds(true);
    OpenScreen(2);
}

void CGame::SetScreenMode(int depth)
{
    screenMode = ChangeScreenMode(display, gConfig.width, gConfig.height, depth);
    // The mode that took is the one kept for the next start: a refused one
    // would fail again at every start.
    gConfig.windowmode = screenMode;
    executor.markAllDirty();
    CheckScreenModeItem(screenMode);
}

int CGame::ShowPopupMenu(int x, int y)
{
    CScriptFrame* frame = text.GetScriptFrame();
    if (frame && frame->GetState() == 0) {
        // A right click on a hidden window brings it back, nothing more.
        executor.showScriptFrame(true);
        return 0;
    }
    // The frame loop switches the software cursor on again.
    cursor.SetEnabled(false);
    platform::TrackPopupMenu(popupMenu, x, y, platform::MenuResult::kPostCommand);
    return 0;
}

uint32_t CGame::TrackLoadMenu(int x, int y)
{
    if (!popupMenu)
        return 0;
    return platform::TrackPopupMenu(popupMenu->SubmenuAt(kPopupLoadPosition), x, y,
                                    platform::MenuResult::kReturnCommand);
}

void CGame::InstallMenus()
{
    popupOwner_ = BuildPopupMenu();
    popupMenu = popupOwner_.get();
    platform::SetWindowMenu(BuildMenuBar());
    CheckScreenModeItem(screenMode);
}

void CGame::RemoveMenus()
{
    popupMenu = nullptr;
    popupOwner_.reset();
    platform::SetWindowMenu(nullptr);
}
