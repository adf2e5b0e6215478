// The notification-area icon, its callback and popup menu, and the menu's own commands.
#include "app/BridgeDlg.h"
#include "app/Modeless.h"
#include "app/ShellConstants.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/OptionsSheet.h"

int CBridgeDlg::AddTrayIcon() {
    return plat::tray().AddIcon(Handle(), kTrayIconId, WM_TRAY_CALLBACK, IDI_APP, std::string()) ? 1 : 0;
}

void CBridgeDlg::RemoveTrayIcon() { plat::tray().RemoveIcon(Handle(), kTrayIconId); }

std::intptr_t CBridgeDlg::DefWindowProc(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    if (message == WM_TRAY_CALLBACK) {
        if (lparam == kTrayDoubleClick)
            OnOptions();
        else if (lparam == kTrayRightDown)
            ShowTrayMenu();
    }
    return Default(message, wparam, lparam);
}

void CBridgeDlg::ShowTrayMenu() {
    plat::Tray& tray = plat::tray();
    const plat::Handle menu = tray.LoadMenu(IDR_TRAY_MENU);
    if (menu == plat::kNullHandle) return;
    const plat::Handle popup = tray.SubMenu(menu, kTrayMenuPopup);
    if (popup != plat::kNullHandle) {
        // The client is chosen by command only; the popup offers Info, Options and Exit.
        tray.DeleteMenuItem(popup, kTrayConnectPosition);
        // Foreground first, or the popup would not close on a click elsewhere.
        SetForegroundWindow();
        tray.TrackPopupMenu(popup, Handle());
    }
    tray.DestroyMenu(menu);
}

namespace {

// A change of client kind starts the link over, so it discovers with the new kind's names.
void ChooseClientKind(CBridgeDlg& dlg, int kind) {
    if (dlg.m_nClientKind == kind) return;
    dlg.m_nClientKind = kind;
    dlg.LetClientGo();
    dlg.UpdateInfoDialog();
}

}  // namespace

void CBridgeDlg::OnOptions() {
    // The sheet manages the base, so it only opens while a base is present.
    if (m_nStatus == STATUS_BASE_ABSENT) return;
    OpenModeless(
        m_pOptionsSheet, [this] { return new COptionsSheet(plat::resources().LoadString(IDS_OPTIONS), this); },
        [](COptionsSheet& sheet) { sheet.Create(); });
}

void CBridgeDlg::OnConnectSkype() { ChooseClientKind(*this, Skype); }

void CBridgeDlg::OnConnectSoftPhone() { ChooseClientKind(*this, SoftPhone); }
