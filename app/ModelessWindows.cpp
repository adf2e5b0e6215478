// The modeless windows the main dialog keeps (debug, information, options) and what it
// hands to them.
#include "app/BridgeDlg.h"
#include "app/Modeless.h"
#include "res/resource.h"
#include "ui/DebugDlg.h"
#include "ui/InfoDlg.h"
#include "ui/OptionsSheet.h"

namespace {

// The settings page while the options sheet's window exists, else null.
CSettingPage* LiveSettingsPage(COptionsSheet* sheet) {
    return sheet && sheet->IsWindow() ? &sheet->Page() : nullptr;
}

// The loaded text of a status code, or null for a code without one.
const std::string* StatusTextOf(const CBridgeDlg& dlg, int status) {
    switch (status) {
        case STATUS_OFF_HOOK: return &dlg.m_strOffHook;
        case STATUS_READY: return &dlg.m_strUsbReady;
        case STATUS_PRESS: return &dlg.m_strPress;
        case STATUS_CALL_OUT: return &dlg.m_strCallOut;
        case STATUS_IN_CALL: return &dlg.m_strIncoming;
        case STATUS_BASE_ABSENT: return &dlg.m_strUsbDisconnected;
        case STATUS_RINGING: return &dlg.m_strRinging;
        case STATUS_BASE_FOUND: return &dlg.m_strUsbReady;
        case STATUS_TEST_FAILED: return &dlg.m_strRestartBase;
        default: return nullptr;
    }
}

}  // namespace

void CBridgeDlg::OpenDebugWindow() {
    OpenModeless(m_pDebugDlg, [this] { return new CDebugDlg(this); }, [this](CDebugDlg& w) { w.Create(this); });
}

void CBridgeDlg::OpenInfoDialog() {
    OpenModeless(m_pInfoDlg, [this] { return new CInfoDlg(this); }, [this](CInfoDlg& w) { w.Create(this); });
}

std::string CBridgeDlg::StatusText(int status) const {
    const std::string* text = StatusTextOf(*this, status);
    return text ? *text : std::string();
}

void CBridgeDlg::UpdateInfoDialog() {
    if (!m_pInfoDlg || !m_pInfoDlg->IsWindow()) return;
    m_pInfoDlg->SetDlgItemText(IDC_INFO_VOIP, m_bClientAttached == 1 ? m_strReady : m_strNotReady);
    // A status without a text keeps the last one shown.
    if (const std::string* text = StatusTextOf(*this, m_nStatus)) m_strStatusText = *text;
    m_pInfoDlg->SetDlgItemText(IDC_INFO_STATUS, m_strStatusText);
    m_pInfoDlg->SetDlgItemPeerText(IDC_INFO_NAME, m_strDisplayName);
}

// Some status changes come without a redraw (a ring before the caller is known, a call
// taken at the computer, which releases the handsets): the window follows at the next tick
// instead of showing the old status until a packet happens to arrive.
void CBridgeDlg::ShowChangedStatus() {
    const std::string* text = StatusTextOf(*this, m_nStatus);
    if (text && *text != m_strStatusText) UpdateInfoDialog();
}

void CBridgeDlg::RefreshSettingsPage() {
    // Registration is over (the base said so, or its link started afresh): the light goes
    // off, and stays off in a page opened later.
    m_bRegistering = 0;
    if (CSettingPage* page = LiveSettingsPage(m_pOptionsSheet)) page->SetLightOff();
}

int CBridgeDlg::ForwardToSettingsPage(const std::uint8_t* bytes, int length) {
    if (CSettingPage* page = LiveSettingsPage(m_pOptionsSheet)) page->SetVersionText(bytes, length);
    return 0;
}

void CBridgeDlg::NotifySettingsPage(int enable) {
    if (CSettingPage* page = LiveSettingsPage(m_pOptionsSheet)) page->EnableActionButtons(enable);
}
