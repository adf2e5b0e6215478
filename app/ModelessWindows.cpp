// The modeless windows the main dialog keeps (debug, information, options) and what it
// hands to them.
#include "app/BridgeDlg.h"
#include "res/resource.h"
#include "ui/DebugDlg.h"
#include "ui/InfoDlg.h"
#include "ui/OptionsSheet.h"

namespace {

// Raises the window of *pointer if it still exists; otherwise replaces the object with a
// new modeless window from make(). The pointer is stored before the window is created,
// because a window's start-up may already ask the main dialog to fill it.
template <typename Window, typename Make>
void OpenModeless(Window*& pointer, Make make, plat::Dialog* parent) {
    if (pointer && pointer->IsWindow()) {
        pointer->SetForegroundWindow();
        return;
    }
    delete pointer;
    pointer = make();
    pointer->Create(parent);
    pointer->SetForegroundWindow();
}

}  // namespace

void CBridgeDlg::OpenDebugWindow() {
    OpenModeless(m_pDebugDlg, [this] { return new CDebugDlg(this); }, this);
}

void CBridgeDlg::OpenInfoDialog() {
    OpenModeless(m_pInfoDlg, [this] { return new CInfoDlg(this); }, this);
}

std::string CBridgeDlg::StatusText(int status) const {
    switch (status) {
        case STATUS_OFF_HOOK: return m_strOffHook;
        case STATUS_READY: return m_strUsbReady;
        case STATUS_PRESS: return m_strPress;
        case STATUS_CALL_OUT: return m_strCallOut;
        case STATUS_IN_CALL: return m_strIncoming;
        case STATUS_BASE_ABSENT: return m_strUsbDisconnected;
        case STATUS_RINGING: return m_strRinging;
        case STATUS_BASE_FOUND: return m_strUsbReady;
        case STATUS_TEST_FAILED: return m_strRestartBase;
        default: return std::string();
    }
}

void CBridgeDlg::UpdateInfoDialog() {
    if (!m_pInfoDlg || !m_pInfoDlg->IsWindow()) return;
    m_pInfoDlg->SetDlgItemText(IDC_INFO_VOIP, m_bClientAttached == 1 ? m_strReady : m_strNotReady);
    // A status without a text keeps the last one shown.
    const std::string text = StatusText(m_nStatus);
    if (!text.empty()) m_strStatusText = text;
    m_pInfoDlg->SetDlgItemText(IDC_INFO_STATUS, m_strStatusText);
    m_pInfoDlg->SetDlgItemText(IDC_INFO_NAME, m_strDisplayName);
}

void CBridgeDlg::RefreshSettingsPage() {
    if (m_pOptionsSheet && m_pOptionsSheet->IsWindow()) m_pOptionsSheet->m_page.SetLightOff();
}

int CBridgeDlg::ForwardToSettingsPage(const std::uint8_t* bytes, int length) {
    if (m_pOptionsSheet && m_pOptionsSheet->IsWindow()) m_pOptionsSheet->m_page.SetVersionText(bytes, length);
    return 0;
}

void CBridgeDlg::NotifySettingsPage(int enable) {
    if (m_pOptionsSheet && m_pOptionsSheet->IsWindow()) m_pOptionsSheet->m_page.EnableActionButtons(enable);
}
