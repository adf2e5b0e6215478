// Parsing of the client's notifications and tracking of the call the bridge acts on.
#include <algorithm>
#include <cstring>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "client/ClientTexts.h"
#include "device/HandsetText.h"
#include "device/Thread.h"
#include "platform/Platform.h"

// Bytes 128-255 are word bytes.
bool client::IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void CBridgeDlg::OnClientNotification(const char* text) {
    RestartWatchdog();
    if (!text) return;
    int length = 0;
    while (length < client::kFirstWordMax && text[length] != '\0' && !client::IsSeparator(text[length])) ++length;
    const std::string word(text, static_cast<std::size_t>(length));
    const char* position = text + length;

    if (word == client::kWordUsers) {
        OnUsersReply(position);
    } else if (word == client::kWordUser) {
        OnUserNotification(position);
    } else if (word == client::kWordCall) {
        OnCallNotification(position);
    } else if (word == client::kWordMessage) {
        OnMessageNotification(position);
    } else if (word == client::kWordCurrentUser) {
        ReadToken(position, m_strUserHandle, 1);
    } else if (word == client::kWordConnStatus) {
        std::string value;
        ReadToken(position, value, 1);
        if (value == client::kValueLoggedOut) OnClientDetached();
    } else if (word == client::kWordAudioIn) {
        std::string value;  // read and not used
        ReadToken(position, value, 1);
    } else if (word == client::kWordError) {
        // The client could not place the oldest CALL still waiting for its id: none will come.
        m_callRecord.PlacedRefused();
    }
}

int CBridgeDlg::ReadToken(const char* position, std::string& out, int restOfLine) {
    // At the end of the text already: every further token is empty, nothing past it is read.
    if (*position == '\0') {
        out.clear();
        return 0;
    }
    std::string token;
    int offset = 1;  // the byte that ended the previous word is skipped
    for (;;) {
        const char c = position[offset];
        if (c == '\0' || (!restOfLine && client::IsSeparator(c))) {
            out = token;
            return offset;
        }
        token += c;
        ++offset;
        if (offset == client::kTokenStop) return offset;  // 99 bytes: dropped, out unchanged
    }
}

client::NotificationWords client::ReadNotificationWords(CBridgeDlg& dlg, const char* text, int valueRestOfLine) {
    NotificationWords words;
    const char* position = text;
    position += dlg.ReadToken(position, words.id, 0);
    position += dlg.ReadToken(position, words.property, 0);
    dlg.ReadToken(position, words.value, valueRestOfLine);
    return words;
}

// The link state is left alone: a call that rings right after the attachment must not
// skip the step that asks for the phone book and shows the "connected" balloon.
void CBridgeDlg::RequestCallPartner() {
    if (!m_strCallId.empty()) SendLoggedCommand(client::FormatText(client::kGetCallPartner, m_strCallId));
}

void CBridgeDlg::RingCall(const std::string& callId) {
    m_bCallClosed = 0;
    m_strCallId = callId;
    m_bInCall = 0;
    // The caller of an earlier call must not be shown for this one.
    m_strPeerHandle.clear();
    m_nPending = static_cast<std::uint8_t>((m_nPending | PENDING_RING) & ~PENDING_CALLER);
    SetStatus(STATUS_RINGING);
    RequestCallPartner();
}

void CBridgeDlg::CopyCallPartner(char* buffer) {
    const std::string text = handset::FirstBytes(m_strPeerHandle, client::kHandsetTextMax);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
}

// The client has already ended the call: nothing is hung up.
void CBridgeDlg::EndCallLocally() { ReturnToIdle(false); }

bool CBridgeDlg::PlaceCallToSelected() {
    if (m_bContactSelected != 1) {
        LogClientLine(client::kLogNoSelection);
        return false;
    }
    // The display name is cut to the handset's 20 characters; the call needs the whole handle.
    return PlaceCall(m_strSelectedHandle);
}

// A client window that is gone takes nothing, even before the link step notices it.
bool CBridgeDlg::CanPlaceCall(const std::string& target) const {
    return !target.empty() && g_hClientWnd != 0 && m_bClientAttached && plat::messages().IsWindow(g_hClientWnd);
}

bool CBridgeDlg::PlaceCall(const std::string& target) {
    if (target.empty()) return false;
    const std::string command = client::FormatText(client::kPlaceCall, target);
    // With no client to take it, the call is only logged: nothing may wait for its id.
    if (!CanPlaceCall(target)) {
        LogClientLine(command);
        return false;
    }
    m_bInCall = 1;
    m_callRecord.Placed();
    SendLoggedCommand(command);
    return true;
}

void CBridgeDlg::OnHandsetDials() {
    // The handset's call is a new one: a call taken at the computer that was the call of
    // record is not the handset's to join or to end.
    m_strCallId.clear();
}

void CBridgeDlg::OnClientDetached() {
    if (m_pThread) m_pThread->SendDisconnect();
    ClearContacts();
    ResetClientLink();
    ForgetClientCalls();
    UpdateInfoDialog();
}
