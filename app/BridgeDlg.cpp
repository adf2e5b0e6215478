// The hidden main dialog: construction, start-up, its messages and timers, and exit.
#include "app/BridgeDlg.h"

#include "app/BridgeApp.h"
#include "app/LinkWork.h"
#include "app/Modeless.h"
#include "app/ShellConstants.h"
#include "client/ClientTexts.h"
#include "device/Thread.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/DebugDlg.h"
#include "ui/InfoDlg.h"
#include "ui/OptionsSheet.h"

namespace {

constexpr unsigned kWmTimer = 0x0113;  // WM_TIMER

struct LoadedText {
    std::string CBridgeDlg::*field;
    int id;
};
constexpr LoadedText kLoadedTexts[] = {
    {&CBridgeDlg::m_strOffHook, IDS_OFF_HOOK},
    {&CBridgeDlg::m_strUsbReady, IDS_USB_READY},
    {&CBridgeDlg::m_strPress, IDS_PRESS},
    {&CBridgeDlg::m_strCallOut, IDS_CALL_OUT},
    {&CBridgeDlg::m_strIncoming, IDS_INCOMMING},
    {&CBridgeDlg::m_strReady, IDS_READY},
    {&CBridgeDlg::m_strNotReady, IDS_NOT_READY},
    {&CBridgeDlg::m_strLoopbackFail, IDS_LOOPBACK_FAIL},
    {&CBridgeDlg::m_strRefused, IDS_REFUSED},
    {&CBridgeDlg::m_strSkypeConnected, IDS_SKYPE_CONNECTED},
    {&CBridgeDlg::m_strSkypeMissing, IDS_SKYPE_MISSING},
    {&CBridgeDlg::m_strSoftPhoneConnected, IDS_SOFTPHONE_CONNECTED},
    {&CBridgeDlg::m_strSoftPhoneMissing, IDS_SOFTPHONE_MISSING},
    {&CBridgeDlg::m_strUsbDisconnected, IDS_USB_DISCONNECTED},
    {&CBridgeDlg::m_strRinging, IDS_RINGING},
    {&CBridgeDlg::m_strNoReply, IDS_NO_REPLY},
    {&CBridgeDlg::m_strRestartBase, IDS_RESTART_BASE},
};

}  // namespace

CBridgeDlg::CBridgeDlg() : plat::Dialog(IDD_BRIDGE) {
    // No contact chosen yet; m_contacts is declared after the cursors.
    m_pContactCursor = m_contacts.end();
    m_pShownContact = m_contacts.end();
}

CBridgeDlg::~CBridgeDlg() {
    // Normally OnExit has released these; a dialog ended any other way must not leak them.
    delete m_pDebugDlg;
    delete m_pInfoDlg;
    delete m_pOptionsSheet;
    // m_pThread is left alone on purpose: its (suspended) thread may still refer to it.
}

bool CBridgeDlg::OnInitDialog() {
    plat::Dialog::OnInitDialog();
    DetectWindowsVersion();

    for (const LoadedText& text : kLoadedTexts) this->*text.field = plat::resources().LoadString(text.id);

    SetTimer(TIMER_TICK, kTickMs);
    // The main loop waits on the base's read as well as on messages (app/LinkWork.cpp).
    plat::windows().WatchEvent(Handle(), m_usb.ReadEvent(), WM_BASE_REPORT);

    m_pThread = nullptr;
    m_bDevicePresent = 0;
    m_nClientKind = Skype;

    ResetClientLink();

    m_nPending = 0;
    m_bContactSelected = 0;
    m_bDndForSecondCall = 0;
    m_bInCall = 0;
    m_bSecondCall = 0;
    SetStatus(STATUS_BASE_ABSENT);
    m_bCallClosed = 1;
    m_strCallId.clear();
    m_usb.AttachTo(this);
    m_bLoopbackPending = 0;
    m_bSettingChain = 0;
    m_bDebugMode = 0;

    const std::string commandLine = plat::system().CommandLine();
    if (commandLine.rfind(CBridgeApp::kDebugWindowWord, 0) == 0) {
        OpenDebugWindow();
    } else if (commandLine == CBridgeApp::kDebugModeLine) {
        m_bDebugMode = 1;
        OpenDebugWindow();
    }

    m_bAtConsole = plat::session().AtConsole() ? 1 : 0;
    WatchSession();
    // Before the icon: Explorer may restart at any time from here on.
    m_uTaskbarCreated = plat::messages().Register(kTaskbarCreatedName);
    AddTrayIcon();
    m_nClientKind = Skype;
    OpenInfoDialog();
    return true;
}

void CBridgeDlg::OnPaint() {
    // The backend has begun and ends the painting; the dialog only stays invisible.
    ShowWindow(false);
}

void CBridgeDlg::OnTimer(unsigned id) {
    switch (id) {
        case TIMER_TICK:
            KeepWatchingSession();
            StepClientLink();
            PollDevice();
            ShowChangedStatus();
            break;
        case TIMER_CALLER_ID:
            if (m_pThread) {
                LinkWork work(*this);
                m_pThread->SendCallerAlert();
            }
            break;
        case TIMER_LOOPBACK:
            OnLoopbackTimeout();
            break;
        case TIMER_AUDIO:
            break;
        case TIMER_REPLY:
            OnReplyTimeout();
            break;
        case TIMER_DIAL:
            KillTimer(TIMER_DIAL);
            // Only an entry still being typed is dialled: going on hook or taking a call abandons it.
            if (m_pThread && m_pThread->EntersHashNumber()) {
                LinkWork work(*this);
                m_pThread->Dial();
            }
            break;
        case TIMER_BALLOON:
            KillTimer(TIMER_BALLOON);
            ShowBalloon(client::kBalloonClear);
            break;
        case TIMER_SILENCE:
            OnSilenceTimer();  // client/: the poll, and the bounded reset of a silent client
            break;
        case TIMER_RECONNECT:
            OnReconnectTimer();
            break;
        case TIMER_HANDSETS:
            OnHandsetUpdate();
            break;
        default:
            break;
    }
    Default(kWmTimer, id, 0);
}

bool CBridgeDlg::OnCommand(int id) {
    switch (id) {
        case ID_TRAY_OPTIONS: OnOptions(); return true;
        case ID_TRAY_EXIT: OnExit(); return true;
        case ID_TRAY_DEBUG: OpenDebugWindow(); return true;
        case ID_TRAY_INFO: OpenInfoDialog(); return true;
        case ID_CONNECT_SKYPE: OnConnectSkype(); return true;
        case ID_CONNECT_SOPHONE: OnConnectSoftPhone(); return true;
        default: return false;
    }
}

void CBridgeDlg::OnClose() {
    // The window is never shown, so a close request comes from outside (the installer, a
    // task manager): leave in order, so no icon or window is left behind.
    OnExit();
}

bool CBridgeDlg::OnQueryEndSession() { return true; }

void CBridgeDlg::OnEndSession(bool ending) {
    // Windows sends no WM_CLOSE and ends the process as soon as this returns: leave through
    // Exit now, so the client gets its code, the log files are closed and the icon goes.
    if (ending) OnExit();
}

bool CBridgeDlg::OnMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t& result) {
    if (OnLinkMessage(message)) {
        result = 0;
        return true;
    }
    // Registered numbers are never 0, so an unregistered attach message matches nothing.
    if (g_uAttachMsg != 0 && message == g_uAttachMsg) {
        result = OnClientAttach(wparam, lparam);
        return true;
    }
    if (message == WM_TRAY_CALLBACK) {
        result = DefWindowProc(message, wparam, lparam);
        return true;
    }
    if (message == kWmQueryEndSession) {
        result = OnQueryEndSession() ? 1 : 0;
        return true;
    }
    if (message == kWmEndSession) {
        OnEndSession(wparam != 0);
        result = 0;
        return true;
    }
    if (message == kWmSessionChange) {
        OnSessionChange(static_cast<unsigned>(wparam));
        result = 0;
        return true;
    }
    if (m_uTaskbarCreated != 0 && message == m_uTaskbarCreated) {
        OnTaskbarCreated();
        result = 0;
        return true;
    }
    return false;
}

void CBridgeDlg::SendClientCode(int code, std::uint32_t value) {
    if (g_hClientWnd == 0 || !plat::messages().IsWindow(g_hClientWnd)) return;
    plat::CopyData data;
    data.tag = static_cast<std::uint32_t>(code);
    data.size = sizeof value;
    data.data = &value;
    plat::messages().SendCopyData(g_hClientWnd, Handle(), data);
}

void CBridgeDlg::OnExit() {
    if (m_bExited) return;
    m_bExited = 1;
    plat::windows().UnwatchEvent(Handle(), m_usb.ReadEvent());
    CloseModeless(m_pDebugDlg);
    CloseModeless(m_pInfoDlg);
    CloseModeless(m_pOptionsSheet);
    RemoveTrayIcon();
    if (m_bSessionWatched) plat::session().Unwatch(Handle());
    m_bSessionWatched = 0;
    if (m_pThread) m_pThread->SuspendThread();
    SendClientCode(kClientExitCode, kClientExitValue);
    EndDialog(kExitResult);
}
