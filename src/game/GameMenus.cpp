// The game's menus and the helpers that switch their entries.
#include "game/GameMenus.h"

#include "game/SaveSlots.h"

std::unique_ptr<platform::Menu> BuildMenuBar()
{
    auto bar = std::make_unique<platform::Menu>();
    platform::Menu* file = bar->AppendSubmenu("ファイル(&F)");
    file->AppendItem("タイトルに戻る(&T)", kCmdReturnToTitle);
    file->AppendSeparator();
    file->AppendItem("SUNDREL Website", kCmdWebsite);
    file->AppendItem("バージョン(&V)...", kCmdVersion);
    file->AppendItem("ゲーム終了(&X)...", kCmdQuit);
    platform::Menu* settings = bar->AppendSubmenu("設定(&H)");
    settings->AppendItem("オプション(&O)...", kCmdOptions);
    platform::Menu* mode = settings->AppendSubmenu("画面モード(&M)");
    mode->AppendItem("ウィンドウ(&W)", kCmdWindowed);
    platform::Menu* full = mode->AppendSubmenu("フルスクリーン");
    full->AppendItem("ハイカラー (１６bit)", kCmdFullScreen16);
    full->AppendItem("フルカラー (２４bit)", kCmdFullScreen24);
    full->AppendItem("フルカラー (３２bit)", kCmdFullScreen32);
    return bar;
}

std::unique_ptr<platform::Menu> BuildPopupMenu()
{
    auto popup = std::make_unique<platform::Menu>();
    popup->AppendItem("ウインドウを隠す", kCmdHideWindow);
    popup->AppendSeparator();
    popup->AppendSubmenu("セーブ(&S)")->AppendItem("最新の選択肢", kLatestChoiceSaveId);
    popup->AppendSubmenu("ロード(&L)")->AppendItem("最新の選択肢", kLatestChoiceLoadId);
    popup->AppendSeparator();
    popup->AppendItem("自動的に進む(&A)", kCmdAutoAdvance);
    popup->AppendItem("次の選択肢へ(&N)", kCmdSkipToChoice);
    popup->AppendSeparator();
    popup->AppendItem("バックログ", kCmdBacklog);
    return popup;
}

void UpdateWindowMenu(bool on)
{
    if (platform::Menu* bar = platform::GetWindowMenu()) {
        bar->EnableItemAt(kMenuBarSettingsPosition, on);
        platform::DrawMenuBar();
    }
}

void CheckScreenModeItem(int mode)
{
    platform::Menu* bar = platform::GetWindowMenu();
    if (!bar) {
        return;
    }
    static constexpr struct {
        int mode;
        uint32_t id;
    } kItems[] = {{0, kCmdWindowed}, {16, kCmdFullScreen16}, {24, kCmdFullScreen24}, {32, kCmdFullScreen32}};
    for (const auto& item : kItems) {
        bar->SetRadioMark(item.id, item.mode == mode);
    }
    platform::DrawMenuBar();
}

int CenterWindow(platform::WindowHandle window)
{
    // The main window is the only one the program has: dialogs are drawn
    // inside it.
    if (window && window == platform::GetMainWindow())
        platform::CenterMainWindow();
    return 0;
}
