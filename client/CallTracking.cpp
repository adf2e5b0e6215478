// Which call the bridge acts on: the client's CALL notifications make a call current, keep a
// second call waiting, end calls, and bring the handsets to ring for every call that still
// rings at the client once they are free.
#include <string>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "device/Thread.h"

namespace {

constexpr const char* kStatus = "STATUS";
constexpr const char* kPartnerHandle = "PARTNER_HANDLE";
constexpr const char* kRouting = "ROUTING";
constexpr const char* kRinging = "RINGING";
constexpr const char* kRefused = "REFUSED";
constexpr const char* kMissed = "MISSED";
constexpr const char* kFailed = "FAILED";
constexpr const char* kFinished = "FINISHED";
constexpr const char* kBusy = "BUSY";
constexpr const char* kCancelled = "CANCELLED";
constexpr const char* kInProgress = "INPROGRESS";
// The statuses of a call under way, not ringing and not ended.
const char* const kUnderWay[] = {"INPROGRESS", "ROUTING", "EARLYMEDIA", "ONHOLD", "LOCALHOLD", "REMOTEHOLD"};

// BUSY and CANCELLED end a call as surely as FAILED and MISSED do.
bool IsEndStatus(const std::string& value) {
    return value == kRefused || value == kMissed || value == kFailed || value == kFinished || value == kBusy ||
           value == kCancelled;
}

bool IsUnderWay(const std::string& value) {
    for (const char* status : kUnderWay)
        if (value == status) return true;
    return false;
}

bool HandsetBusy(int status) {
    return status == STATUS_OFF_HOOK || status == STATUS_CALL_OUT || status == STATUS_IN_CALL;
}

}  // namespace

void CBridgeDlg::OnCallNotification(const char* text) {
    const client::NotificationWords words = client::ReadNotificationWords(*this, text, 0);
    const std::string& id = words.id;
    const std::string& value = words.value;
    // An empty id (doubled blanks) never names a call.
    if (id.empty()) return;
    if (words.property == kPartnerHandle) {
        if (id == m_strCallId) {
            m_nPending |= PENDING_CALLER;
            m_strPeerHandle = value;
        }
        return;
    }
    if (words.property != kStatus) return;
    if (value == kRinging) OnCallStarts(id, true);
    else if (IsEndStatus(value)) OnCallEnded(id, value);
    // A ringing call that turns to any other status (in progress, held, routed again) rings
    // no more: it was taken at the computer, even with no INPROGRESS first.
    else if (value == kInProgress || (IsUnderWay(value) && m_callRecord.Rings(id))) OnCallAnswered(id);
    else if (value == kRouting) OnCallStarts(id, false);
}

void CBridgeDlg::OnCallStarts(const std::string& id, bool ringing) {
    const bool busy = m_nStatus == STATUS_CALL_OUT || m_nStatus == STATUS_IN_CALL;
    if (id == m_strCallId) {
        // The same call again (the far end of a placed call rings): its caller is asked for.
        if (busy) {
            m_bCallClosed = 0;
            RequestCallPartner();
        }
        return;
    }
    // The waiting call, or one that rings already: nothing new.
    if (id == m_strHeldCallId || m_callRecord.Rings(id)) return;
    if (!ringing && m_callRecord.AwaitingName()) {
        // Only a ROUTING names a call the handset placed, and the oldest one first.
        if (m_callRecord.NamePlaced()) {
            FinishCall(id);  // the handset gave it up before the client named it
            return;
        }
        m_bCallClosed = 0;
        m_strCallId = id;
        RequestCallPartner();
        return;
    }
    // An incoming call, or one placed at the computer.
    if (ringing) m_callRecord.Ringing(id);
    if (busy && !m_strCallId.empty()) {
        if (m_bDndForSecondCall) {
            if (ringing) {
                FinishCall(id);  // a third call while two are up is turned away
                m_callRecord.StopsRinging(id);
            }
        } else {
            m_bSecondCall = 1;
            m_strHeldCallId = id;
        }
        return;
    }
    if (busy) return;  // the handset's own call has no id yet: this one waits and rings later
    if (m_nStatus == STATUS_OFF_HOOK) {
        if (!m_strCallId.empty()) return;  // rings once the handset is back on hook
        // The handset that is off hook takes the call at once.
        m_callRecord.StopsRinging(id);
        m_bCallClosed = 0;
        m_strCallId = id;
        if (m_pThread) m_pThread->OnAnswer();
        return;
    }
    if (ringing) {
        RingNextWaitingCall();
        return;
    }
    // Placed at the computer while the handsets are idle: it becomes the call of record.
    if (m_strCallId.empty()) {
        m_bCallClosed = 0;
        m_strCallId = id;
    }
}

void CBridgeDlg::OnCallAnswered(const std::string& id) {
    m_callRecord.StopsRinging(id);
    if (id != m_strCallId) return;
    if (m_nStatus == STATUS_RINGING) {
        // Taken at the computer: the handsets stop ringing for it.
        SetStatus(IdleStatus());
        if (m_pThread) m_pThread->StopRinging();
        UpdateInfoDialog();
        RingNextWaitingCall();
        return;
    }
    // Only a call a handset placed or answered is that handset's to end by going on hook.
    if (m_pThread && m_pThread->HoldsCall()) m_bInCall = 1;
}

void CBridgeDlg::OnCallEnded(const std::string& id, const std::string& value) {
    m_callRecord.StopsRinging(id);
    if (m_bDndForSecondCall) {
        // One of the two calls the handset took up ends: the other one goes on.
        if (id == m_strCallId) m_strCallId = m_strHeldCallId;
        else if (id != m_strHeldCallId) return;
        m_bSecondCall = 0;
        m_bDndForSecondCall = 0;
        m_strHeldCallId.clear();
        SetUserStatusOnline();
        return;
    }
    if (id == m_strHeldCallId) {
        // The waiting call ended before it was taken up: the keys no longer swap to it.
        m_bSecondCall = 0;
        m_strHeldCallId.clear();
        return;
    }
    if (id != m_strCallId || m_bCallClosed) return;
    m_bCallClosed = 1;
    const bool ringing = m_nStatus == STATUS_RINGING;
    // A call taken or placed at the computer has no handset to release.
    const bool handsetHolds = m_pThread && m_pThread->HoldsCall();
    if (value == kFinished || value == kRefused) m_bInCall = 0;
    if (m_pThread && (ringing || handsetHolds)) {
        if (value == kFinished) {
            if (ringing) m_pThread->StopRinging();
            else m_pThread->ReleaseHandset();
        } else if (value == kRefused) {
            m_pThread->StopRinging();
        } else {
            m_pThread->ReleaseAll();
        }
    }
    ForgetIfStillCurrent(id);
    RingNextWaitingCall();
}

// A call that ended while no handset held it leaves no on-hook behind to empty the record.
void CBridgeDlg::ForgetIfStillCurrent(const std::string& id) {
    if (id.empty() || id != m_strCallId) return;
    m_strCallId.clear();
    if (m_nStatus == STATUS_RINGING) SetStatus(IdleStatus());
    UpdateInfoDialog();
}

void CBridgeDlg::RingNextWaitingCall() {
    // A client the bridge does not listen to could not be told that a handset answered.
    if (!m_pThread || !m_pThread->Idle() || !m_bDevicePresent || !m_bClientAttached) return;
    if (m_nStatus == STATUS_RINGING || m_nStatus == STATUS_BASE_ABSENT || HandsetBusy(m_nStatus)) return;
    // A call taken at the computer does not keep the handsets from ringing for the next one.
    const std::string next = m_callRecord.OldestRinging();
    if (next.empty()) return;
    RingCall(next);
    UpdateInfoDialog();
}

void CBridgeDlg::ForgetClientCalls() {
    m_callRecord.Clear();
    // Nothing is left to tell a client that is gone.
    m_bInCall = 0;
    if (m_pThread) {
        if (m_nStatus == STATUS_RINGING) m_pThread->StopRinging();
        else if (m_pThread->HoldsCall()) m_pThread->ReleaseHandset();
    }
    m_bCallClosed = 1;
    m_strCallId.clear();
    m_strHeldCallId.clear();
    m_bSecondCall = 0;
    m_bDndForSecondCall = 0;
    if (m_nStatus == STATUS_RINGING) SetStatus(IdleStatus());
}
