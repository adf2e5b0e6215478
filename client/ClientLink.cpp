// Discovery and attachment of the VoIP client, the copy-data transport, the silence
// watchdog and the tray balloons.
#include "client/ClientLink.h"

#include <cstdio>
#include <cstring>

#include "app/BridgeDlg.h"
#include "client/ClientTexts.h"
#include "device/Thread.h"
#include "platform/Platform.h"

plat::WindowHandle g_hClientWnd = 0;
unsigned g_uAttachMsg = 0;
unsigned g_uDiscoverMsg = 0;

namespace client {

int g_bRefusalArmed = 1;

std::string FormatText(const char* format, const std::string& argument) {
    const int size = std::snprintf(nullptr, 0, format, argument.c_str());
    if (size <= 0) return std::string();
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(&out[0], out.size(), format, argument.c_str());
    out.resize(static_cast<std::size_t>(size));
    return out;
}

}  // namespace client

namespace {

constexpr unsigned kWmCopyData = 0x004A;

// A poll was sent and no notification has come since; cleared by every notification and
// by a tear-down.
bool s_bPollUnanswered = false;

int KindIndex(int kind) { return kind == SoftPhone ? 1 : 0; }

}  // namespace

void CBridgeDlg::DiscoverClient() {
    if (!m_bDiscoverPending) return;
    plat::Messages& messages = plat::messages();
    const int kind = KindIndex(m_nClientKind);
    if (g_uAttachMsg == 0) {
        g_uAttachMsg = messages.Register(client::kAttachNames[kind]);
        if (g_uAttachMsg == 0) return;  // retried at the next step
    }
    g_uDiscoverMsg = messages.Register(client::kDiscoverNames[kind]);
    if (g_uDiscoverMsg == 0) return;
    messages.Broadcast(g_uDiscoverMsg, Handle(), 0);
    m_bDiscoverPending = 0;
    ShowBalloon(client::kBalloonDiscover);
    UpdateInfoDialog();
}

void CBridgeDlg::StepClientLink() {
    switch (m_nLinkState) {
        case Discovering:
            DiscoverClient();
            break;
        case Attached:
            if (!plat::messages().IsWindow(g_hClientWnd)) break;
            if (m_nClientKind == Skype) SendLoggedCommand(client::kSearchFriends);
            ShowBalloon(client::kBalloonAttached);
            m_nLinkState = Ready;
            SetTimer(TIMER_BALLOON, kBalloonClearMs);
            break;
        case Detached:
            CheckForDevice();
            break;
        case Ready:
            // A client whose window is gone took its calls with it: the link starts over at
            // once instead of after two minutes of silence.
            if (m_bClientAttached && !plat::messages().IsWindow(g_hClientWnd)) {
                ResetClientLink();
                ForgetClientCalls();
                UpdateInfoDialog();
            }
            break;
        default:
            break;
    }
}

std::intptr_t CBridgeDlg::OnClientAttach(std::uintptr_t wparam, std::intptr_t lparam) {
    switch (lparam) {
        case client::kAttachSuccess: {
            LogClientLine(client::kLogAttached);
            const plat::WindowHandle window = static_cast<plat::WindowHandle>(wparam);
            // The calls the bridge knows belong to the client window that reported them: a
            // client started afresh has none of them.
            if (m_hCallsClientWnd != 0 && window != m_hCallsClientWnd) ForgetClientCalls();
            m_hCallsClientWnd = window;
            g_hClientWnd = window;
            OnClientAttached();
            break;
        }
        case client::kAttachPending:
            LogClientLine(client::kLogPending);
            break;
        case client::kAttachRefused:
            LogClientLine(client::kLogRefused);
            OnClientRefused();
            break;
        case client::kAttachNotAvailable:
            LogClientLine(client::kLogNotAvailable);
            break;
        case client::kAttachAvailable:
            // Without a registered discover message there is nothing to broadcast.
            if (g_uDiscoverMsg != 0) plat::messages().Broadcast(g_uDiscoverMsg, Handle(), 0);
            LogClientLine(client::kLogAvailable);
            break;
        default:
            break;
    }
    return 0;
}

void CBridgeDlg::OnClientAttached() {
    m_nLinkState = Attached;
    m_bClientAttached = 1;
    // The phone book is the attached client's: it lists its contacts afresh.
    ClearContacts();
    // The watchdog starts with the attachment too: a client that never says anything
    // would otherwise keep the link up for ever.
    RestartWatchdog();
    SelectAudioDevice();
    UpdateInfoDialog();
    RequestCurrentUserHandle();
    SetUserStatusOnline();
}

void CBridgeDlg::OnClientRefused() {
    if (!client::g_bRefusalArmed) return;
    client::g_bRefusalArmed = 0;
    ShowBalloon(client::kBalloonClear);
    ShowBalloon(client::kBalloonRefused);
    // A client may send its answer while the link waits on it: the box, and the exit after
    // it, wait until the link's work is over.
    AtRest([this] {
        MessageBox(m_strRefused);
        OnExit();
    });
}

void CBridgeDlg::ResetClientLink() {
    m_bClientAttached = 0;
    m_bContactScan = 1;
    // With no client attached there is nobody to call: no contact stays selectable.
    ClearContacts();
    m_bOnlinePending = 1;
    KillTimer(TIMER_AUDIO);
    m_bDiscoverPending = 1;
    m_nLinkState = Detached;
    g_hClientWnd = 0;
    g_uAttachMsg = 0;
    g_uDiscoverMsg = 0;
    s_bPollUnanswered = false;
}

// Its calls go with it: a handset's call is hung up there while it still listens, and no
// handset rings or talks for any of them afterwards (what it says of them is no longer heard).
void CBridgeDlg::LetClientGo() {
    m_bClientAttached = 0;  // from here no call of its rings the handsets
    if (m_pThread && m_pThread->HoldsCall()) m_pThread->ReleaseHandset();
    ForgetClientCalls();
    ResetClientLink();
}

std::intptr_t CBridgeDlg::SendClientCommand(const char* text, std::uint32_t tag) {
    if (g_hClientWnd == 0) return 0;
    if (!text) text = "";
    plat::CopyData data;
    data.tag = tag;
    data.size = static_cast<std::uint32_t>(std::strlen(text) + 1);  // the NUL travels too
    data.data = text;
    return plat::messages().SendCopyData(g_hClientWnd, Handle(), data);
}

bool CBridgeDlg::OnCopyData(plat::WindowHandle from, const plat::CopyData& data) {
    if (g_hClientWnd == 0 || from != g_hClientWnd) return Default(kWmCopyData, from, 0) != 0;
    // The client's bytes are read up to the first NUL but never past cbData; a message with
    // no bytes is an empty notification, which only proves the client alive.
    const char* bytes = static_cast<const char*>(data.data);
    std::size_t length = 0;
    if (bytes)
        while (length < data.size && bytes[length] != '\0') ++length;
    const std::string text(bytes ? bytes : "", length);
    const unsigned tag = data.tag;
    const int shown = static_cast<int>(length);
    const int size = std::snprintf(nullptr, 0, client::kLogNotification, tag, shown, text.c_str());
    std::string line(size > 0 ? static_cast<std::size_t>(size) + 1 : 1, '\0');
    std::snprintf(&line[0], line.size(), client::kLogNotification, tag, shown, text.c_str());
    line.resize(line.size() - 1);
    LogClientLine(line);
    const std::uint8_t pendingBefore = m_nPending;
    OnClientNotification(text.c_str());
    if ((m_nPending & ~pendingBefore) != 0) RequestHandsetUpdate();
    return true;
}

void CBridgeDlg::PollConnStatus() { SendLoggedCommand(client::kGetConnStatus); }

void CBridgeDlg::ShowBalloon(int kind) {
    const bool softPhone = m_nClientKind == SoftPhone;
    std::string text;
    switch (kind) {
        case client::kBalloonDiscover:
            text = softPhone ? m_strSoftPhoneMissing : m_strSkypeMissing;
            break;
        case client::kBalloonAttached:
            text = softPhone ? m_strSoftPhoneConnected : m_strSkypeConnected;
            break;
        case client::kBalloonRefused:
            text = m_strRefused;
            break;
        default:
            break;  // kind 3 and unknown kinds: an empty text removes the balloon
    }
    if (text.size() >= client::kBalloonTextBytes) text.resize(client::kBalloonTextBytes - 1);
    plat::tray().ShowBalloon(Handle(), kTrayIconId, text, client::kBalloonTimeoutMs);
}

void CBridgeDlg::RestartWatchdog() {
    s_bPollUnanswered = false;
    KillTimer(TIMER_RECONNECT);
    KillTimer(TIMER_SILENCE);
    SetTimer(TIMER_SILENCE, kSilenceMs);
}

void CBridgeDlg::OnSilenceTimer() {
    if (!m_bClientAttached) return;
    // Timer 1009 restarts 1010 on every expiry, so 1010 may never come due: a second
    // expiry with the last poll still unanswered tears the link down instead (120 s).
    if (s_bPollUnanswered) {
        OnReconnectTimer();
        return;
    }
    PollConnStatus();
    s_bPollUnanswered = true;
    SetTimer(TIMER_RECONNECT, kSilenceMs);
}

void CBridgeDlg::OnReconnectTimer() {
    if (!m_bClientAttached) return;
    LogClientLine(client::kLogReconnect);
    ResetClientLink();
}
