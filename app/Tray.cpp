// The notification-area icon, its callback and popup menu, and the menu's own commands.
#include "app/BridgeDlg.h"
#include "app/Modeless.h"
#include "app/ShellConstants.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/OptionsSheet.h"

int CBridgeDlg::AddTrayIcon() {
    plat::Tray& tray = plat::tray();
    const bool added = tray.AddIcon(Handle(), kTrayIconId, WM_TRAY_CALLBACK, IDI_APP, m_strTrayTip);
    // Today's callback reports the keyboard's use of the icon too; an old shell refuses it.
    m_bTrayVersion4 = added && tray.SetVersion4(Handle(), kTrayIconId) ? 1 : 0;
    return added ? 1 : 0;
}

void CBridgeDlg::OnTaskbarCreated() {
    // After Exit the icon is gone for good.
    if (!m_bExited) AddTrayIcon();
}

void CBridgeDlg::RemoveTrayIcon() { plat::tray().RemoveIcon(Handle(), kTrayIconId); }

std::intptr_t CBridgeDlg::DefWindowProc(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    if (message == WM_TRAY_CALLBACK) OnTrayEvent(wparam, lparam);
    return Default(message, wparam, lparam);
}

void CBridgeDlg::OnTrayEvent(std::uintptr_t wparam, std::intptr_t lparam) {
    const unsigned event = static_cast<unsigned>(lparam) & 0xFFFFu;
    switch (event) {
        case kTrayDoubleClick:
        case kTrayKeySelect:  // the keyboard's double click
            OnOptions();
            break;
        case kTrayRightDown:
            // Today's shell follows the press with WM_CONTEXTMENU when the button is released.
            if (!m_bTrayVersion4) ShowTrayMenu();
            break;
        case kTrayContextMenu: {
            if (!m_bTrayVersion4) break;
            const int x = static_cast<std::int16_t>(wparam & 0xFFFFu);
            const int y = static_cast<std::int16_t>((wparam >> 16) & 0xFFFFu);
            ShowTrayMenuAt(x, y);
            break;
        }
        default:
            break;
    }
}

void CBridgeDlg::ShowTrayMenu() { ShowTrayMenuWhere(false, 0, 0); }

void CBridgeDlg::ShowTrayMenuAt(int x, int y) { ShowTrayMenuWhere(true, x, y); }

void CBridgeDlg::ShowTrayMenuWhere(bool placed, int x, int y) {
    // A right click can arrive as a sent message while the link waits on the client's
    // SendMessage: the menu's loop must not run its polls inside that work.
    AtRest([this, placed, x, y] {
        plat::Tray& tray = plat::tray();
        const plat::Handle menu = tray.LoadMenu(IDR_TRAY_MENU);
        if (menu == plat::kNullHandle) return;
        const plat::Handle popup = tray.SubMenu(menu, kTrayMenuPopup);
        if (popup != plat::kNullHandle) {
            // The client is chosen by command only; the popup offers Info, Options and Exit.
            tray.DeleteMenuItem(popup, kTrayConnectPosition);
            // Foreground first, or the popup would not close on a click elsewhere.
            SetForegroundWindow();
            if (placed)
                tray.TrackPopupMenuAt(popup, Handle(), x, y);
            else
                tray.TrackPopupMenu(popup, Handle());
        }
        tray.DestroyMenu(menu);
    });
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
