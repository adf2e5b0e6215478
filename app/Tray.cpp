// The notification-area icon, its callback and popup menu, and the menu's own commands.
#include "app/BridgeDlg.h"
#include "app/ShellConstants.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/OptionsSheet.h"

int CBridgeDlg::AddTrayIcon() {
    return plat::tray().AddIcon(Handle(), kTrayIconId, WM_TRAY_CALLBACK, kTrayIconResource, std::string()) ? 1 : 0;
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

void CBridgeDlg::OnOptions() {
    // The sheet manages the base, so it only opens while a base is present.
    if (m_nStatus == STATUS_BASE_ABSENT) return;
    if (m_pOptionsSheet && m_pOptionsSheet->IsWindow()) {
        m_pOptionsSheet->SetForegroundWindow();
        return;
    }
    delete m_pOptionsSheet;
    m_pOptionsSheet = new COptionsSheet(plat::resources().LoadString(IDS_OPTIONS), this);
    m_pOptionsSheet->Create();
    m_pOptionsSheet->SetForegroundWindow();
}

void CBridgeDlg::OnConnectSkype() {
    if (m_nClientKind == Skype) return;
    m_nClientKind = Skype;
    ResetClientLink();
    UpdateInfoDialog();
}

void CBridgeDlg::OnConnectSoftPhone() {
    if (m_nClientKind == SoftPhone) return;
    m_nClientKind = SoftPhone;
    ResetClientLink();
    UpdateInfoDialog();
}
