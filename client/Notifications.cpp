// Parsing of the client's notifications and tracking of the call the bridge acts on.
#include <algorithm>
#include <cstring>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "client/ClientTexts.h"
#include "device/Thread.h"

namespace {

// Blank, tab, line feed, vertical tab, form feed, carriage return; bytes 128-255 are word bytes.
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr const char* kStatus = "STATUS";
constexpr const char* kPartnerHandle = "PARTNER_HANDLE";
constexpr const char* kRouting = "ROUTING";
constexpr const char* kRinging = "RINGING";
constexpr const char* kRefused = "REFUSED";
constexpr const char* kMissed = "MISSED";
constexpr const char* kFailed = "FAILED";
constexpr const char* kFinished = "FINISHED";
constexpr const char* kInProgress = "INPROGRESS";

bool IsEndStatus(const std::string& value) {
    return value == kRefused || value == kMissed || value == kFailed || value == kFinished;
}

}  // namespace

void CBridgeDlg::OnClientNotification(const char* text) {
    RestartWatchdog();
    if (!text) return;
    int length = 0;
    while (length < client::kFirstWordMax && text[length] != '\0' && !IsSeparator(text[length])) ++length;
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
        if (c == '\0' || (!restOfLine && IsSeparator(c))) {
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

// A waiting second call that ends before the user took it up is forgotten, so that the
// handset's keys no longer swap to (or join) a call that is gone.
void CBridgeDlg::ForgetEndedWaitingCall(const std::string& id) {
    if (!m_bSecondCall || m_bDndForSecondCall || id.empty() || id != m_strHeldCallId || id == m_strCallId) return;
    m_bSecondCall = 0;
    m_bWaitingCallRings = 0;
    m_strHeldCallId.clear();
}

void CBridgeDlg::OnCallNotification(const char* text) {
    const client::NotificationWords words = client::ReadNotificationWords(*this, text, 0);
    const std::string& id = words.id;
    const std::string& property = words.property;
    const std::string& value = words.value;
    // An empty id (doubled blanks) never names the current call.
    const bool current = !id.empty() && id == m_strCallId;
    // A call that ended while no handset held it (taken or refused at the PC) leaves no
    // on-hook behind to empty the record; without this the bridge would ignore every later
    // call.
    auto forgetIfStillCurrent = [this, &id] {
        if (id.empty() || id != m_strCallId) return;
        m_strCallId.clear();
        if (m_nStatus == STATUS_RINGING) m_nStatus = STATUS_READY;
        UpdateInfoDialog();
    };

    if (property == kPartnerHandle) {
        if (current) {
            m_nPending |= PENDING_CALLER;
            m_strPeerHandle = value;
        }
        return;
    }
    if (property != kStatus) return;

    // The first status of an unknown call after a placed call was abandoned names that
    // call: the client must not keep it, and the bridge must not take it as current.
    if (m_nAbandonedCalls > 0 && !id.empty() && id != m_strCallId && id != m_strHeldCallId) {
        --m_nAbandonedCalls;
        if (!IsEndStatus(value)) FinishCall(id);
        return;
    }

    if (value == kRouting || value == kRinging) {
        // An empty id (doubled blanks) names no call: it neither becomes current nor waits,
        // so a swap can never put the real call on hold for it.
        if (id.empty()) return;
        if (m_nStatus == STATUS_CALL_OUT || m_nStatus == STATUS_IN_CALL) {
            if (!m_strCallId.empty() && m_strCallId != id) {
                if (m_bDndForSecondCall) {
                    if (value == kRinging) FinishCall(id);
                } else {
                    m_bSecondCall = 1;
                    m_strHeldCallId = id;
                    m_bWaitingCallRings = value == kRinging ? 1 : 0;
                }
            } else {
                m_bCallClosed = 0;
                m_strCallId = id;
                RequestCallPartner();
            }
        } else if (!m_strCallId.empty()) {
            // busy with another call record: ignored
        } else if (m_nStatus != STATUS_OFF_HOOK && value == kRinging) {
            RingCall(id);
        } else {
            m_bCallClosed = 0;
            m_strCallId = id;
            if (m_nStatus == STATUS_OFF_HOOK && m_pThread) m_pThread->OnAnswer();
        }
    } else if (value == kRefused) {
        m_bSecondCall = 0;
        if (!m_bCallClosed && current) {
            m_bCallClosed = 1;
            m_bInCall = 0;
            if (m_pThread) m_pThread->StopRinging();
            forgetIfStillCurrent();
        }
    } else if (value == kMissed || value == kFailed) {
        ForgetEndedWaitingCall(id);
        if (!m_bCallClosed && current) {
            m_bCallClosed = 1;
            if (m_pThread) m_pThread->ReleaseAll();
        }
    } else if (value == kFinished) {
        if (m_bDndForSecondCall) {
            if (id == m_strCallId) {
                m_strCallId = m_strHeldCallId;
            } else if (id != m_strHeldCallId) {
                return;
            }
            m_bSecondCall = 0;
            m_bDndForSecondCall = 0;
            SetUserStatusOnline();
        } else {
            ForgetEndedWaitingCall(id);
        }
        // Compared with the call that may just have become current.
        if (!m_bCallClosed && !id.empty() && id == m_strCallId) {
            m_bCallClosed = 1;
            m_bInCall = 0;
            // Still ringing, no handset holds it: every handset stops, and so does the
            // repeated alert.
            if (m_pThread) {
                if (m_nStatus == STATUS_RINGING)
                    m_pThread->StopRinging();
                else
                    m_pThread->ReleaseHandset();
            }
            forgetIfStillCurrent();
        }
    } else if (value == kInProgress) {
        if (!current && !id.empty() && id == m_strHeldCallId) m_bWaitingCallRings = 0;  // taken at the PC
        if (current) {
            if (m_nStatus == STATUS_RINGING) {
                m_nStatus = STATUS_READY;
                if (m_pThread) m_pThread->StopRinging();
            }
            // Only a call a handset placed or answered is that handset's to end by going
            // on hook; a call taken at the computer is not.
            if (m_pThread && m_pThread->HoldsCall()) m_bInCall = 1;
        }
    }
}

// The link state is left alone: a call that rings right after the attachment must not
// skip the step that asks for the phone book and shows the "connected" balloon.
void CBridgeDlg::RequestCallPartner() {
    if (!m_strCallId.empty()) SendLoggedCommand(client::FormatText(client::kGetCallPartner, m_strCallId));
}

void CBridgeDlg::RingCall(const std::string& callId) {
    m_bCallClosed = 0;
    m_strCallId = callId;
    m_nStatus = STATUS_RINGING;
    m_nPending |= PENDING_RING;
    RequestCallPartner();
}

void CBridgeDlg::CopyCallPartner(char* buffer) {
    const std::size_t length = std::min<std::size_t>(m_strPeerHandle.size(), client::kHandsetTextMax);
    std::memcpy(buffer, m_strPeerHandle.data(), length);
    buffer[length] = '\0';
}

// The client has already ended the call: nothing is hung up.
void CBridgeDlg::EndCallLocally() { ReturnToIdle(false); }

void CBridgeDlg::PlaceCallToSelected() {
    if (m_bContactSelected != 1) {
        LogClientLine(client::kLogNoSelection);
        return;
    }
    m_strCallId.clear();
    m_bInCall = 1;
    // The display name is cut to the handset's 20 characters; the call needs the whole handle.
    SendLoggedCommand(client::FormatText(client::kPlaceCall, m_strSelectedHandle));
}

void CBridgeDlg::PlaceCall(const std::string& target) {
    if (target.empty()) return;
    m_strCallId.clear();
    m_bInCall = 1;
    SendLoggedCommand(client::FormatText(client::kPlaceCall, target));
}

void CBridgeDlg::OnClientDetached() {
    if (m_pThread) m_pThread->SendDisconnect();
    m_contacts.clear();
    m_pContactCursor = m_contacts.end();
    ResetClientLink();
    // A call ringing now rings for a client that is gone: the handsets stop ringing. Any
    // command this sends is only logged, the client window being forgotten.
    if (m_nStatus == STATUS_RINGING && m_pThread) {
        m_bCallClosed = 1;
        m_pThread->ReleaseAll();
    }
    UpdateInfoDialog();
}
