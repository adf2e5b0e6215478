#include "ui/DebugDlg.h"

#include <cstdio>
#include <string>

#include "app/BridgeDlg.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"

namespace {

// The pair of log files the next OpenLogFiles takes. Process-wide, not a member: a new
// debug window of the same run goes on with the next pair instead of overwriting one.
int g_nLogFileCounter = 0;

constexpr const char* kDeviceLogName = "usb%d.txt";
constexpr const char* kVoipLogName = "voip%d.txt";
constexpr const char* kSaveLabel = "&Save %d";  // the "&": Alt+S, as the template's label
// What "Write" hands to the raw trace: a fixed test pattern.
constexpr std::uint8_t kWritePattern[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};
// The system-menu command id carries flags in its low four bits.
constexpr unsigned kSysCommandMask = 0xFFF0u;
// The debug edit whose first line command 1009 sends; its first 80 characters at most.
constexpr std::size_t kEditCommandMax = 80;

std::string Numbered(const char* format, int number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, number);
    return buffer;
}

}  // namespace

void ResetLogFileCounter() { g_nLogFileCounter = 0; }

CDebugDlg::CDebugDlg(CBridgeDlg* owner) : plat::Dialog(IDD_DEBUG), m_pOwner(owner), m_hIcon(IDI_APP) {}

CDebugDlg::~CDebugDlg() {
    // The buffered lines reach the disk only now.
    plat::files().Close(m_fileUsb);
    plat::files().Close(m_fileVoip);
    m_fileUsb = plat::kNullHandle;
    m_fileVoip = plat::kNullHandle;
}

bool CDebugDlg::OnInitDialog() {
    if (HasSystemMenu()) {
        const std::string about = plat::resources().LoadString(IDS_ABOUTBOX);
        if (!about.empty()) AppendSystemMenuItem(IDM_ABOUTBOX, about);
    }
    SetWindowIcon(m_hIcon, true);
    SetWindowIcon(m_hIcon, false);
    OpenLogFiles();
    ShowWindow(true);
    return true;
}

void CDebugDlg::AddLogLine(int kind, const char* text) {
    if (!text) return;
    plat::Handle file = plat::kNullHandle;
    int list = 0;
    if (kind == LOG_DEVICE) {
        file = m_fileUsb;
        list = IDC_DEVICE_LOG;
    } else if (kind == LOG_VOIP) {
        file = m_fileVoip;
        list = IDC_VOIP_LOG;
    } else {
        return;
    }
    // A file that could not be created is a null handle: the line still reaches the list.
    // Not flushed per line: a pair is complete on disk once Save, deletion or exit closes it.
    plat::files().WriteLine(file, text);
    InsertItemString(list, 0, text);
}

int CDebugDlg::OpenLogFiles() {
    // Open results are not checked: a failed file only loses its lines, never the window.
    m_fileUsb = plat::files().Create(Numbered(kDeviceLogName, g_nLogFileCounter));
    m_fileVoip = plat::files().Create(Numbered(kVoipLogName, g_nLogFileCounter));
    return g_nLogFileCounter++;
}

int CDebugDlg::RotateLogFiles() {
    plat::files().Close(m_fileUsb);
    plat::files().Close(m_fileVoip);
    m_fileUsb = plat::kNullHandle;
    m_fileVoip = plat::kNullHandle;
    return OpenLogFiles();
}

bool CDebugDlg::OnCommand(int id) {
    switch (id) {
    case IDC_SAVE:
        SetDlgItemText(IDC_SAVE, Numbered(kSaveLabel, RotateLogFiles()));
        return true;
    case IDC_WRITE:
        if (m_pOwner) m_pOwner->TraceRawSend(kWritePattern, static_cast<int>(sizeof kWritePattern));
        return true;
    case IDC_CMD_CHECK_DEVICE:
        if (m_pOwner) m_pOwner->CheckForDevice();
        return true;
    case IDC_CMD_NAME_NEXT:
    case IDC_CMD_NAME_PREV:
        // They step through a name list that nothing fills, so each logs an empty message.
        if (m_pOwner) m_pOwner->LogClientLine(std::string());
        return true;
    case IDC_CMD_SEND_EDIT:
        SendEditLine();
        return true;
    case IDC_CMD_CALL_SELECTED:
        if (m_pOwner) m_pOwner->PlaceCallToSelected();
        return true;
    case IDC_CMD_NOTHING:
    case IDC_CMD_MESSAGE_BODY:
        // Reserved for debugging aids the template never got; they stay without effect.
        return true;
    case IDOK:
    case IDCANCEL:
        // Enter and Esc: as the close box, so the window is not merely hidden for good.
        OnClose();
        return true;
    default:
        return false;
    }
}

void CDebugDlg::SendEditLine() {
    if (!m_pOwner || !HasItem(IDC_CMD_EDIT)) return;
    std::string text = GetDlgItemText(IDC_CMD_EDIT);
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
    if (text.size() > kEditCommandMax) text.resize(kEditCommandMax);
    m_pOwner->SendClientCommand(text.c_str(), 0);
}

void CDebugDlg::OnClose() {
    // The object and its open files stay until the main dialog deletes it.
    DestroyWindow();
}

bool CDebugDlg::OnSysCommand(unsigned id) {
    if ((id & kSysCommandMask) != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal(this);
    return true;
}
