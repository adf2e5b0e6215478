// Base-station maintenance commands of the main dialog and their reply supervision: each
// request of the settings page ends in one result the user sees, its own or its time-out.
#include <cstdint>

#include "app/BridgeDlg.h"
#include "device/Thread.h"

void CBridgeDlg::RequestBaseCommand(int request, int value) {
    // The settings page is reachable only once the link exists; a request before that is dropped.
    if (!m_pThread) return;
    m_pThread->SendBaseCommand(request, static_cast<std::uint8_t>(value));
    switch (request) {
        case REQ_LOOPBACK: SetTimer(TIMER_LOOPBACK, kReplyWaitMs); break;
        case REQ_DELETE_ALL:
        case REQ_DELETE_HANDSET:
        case REQ_RESET:
            m_pThread->AwaitReply(request);
            m_bReplyWaiting = 1;
            SetTimer(TIMER_REPLY, kReplyWaitMs);
            break;
        case REQ_REGISTER: m_bRegistering = 1; return;
        default: return;
    }
    // One request at a time: a second one would have no result of its own.
    RefreshActionButtons();
}

bool CBridgeDlg::BaseRequestWaiting() const {
    return m_bLoopbackPending == 1 || m_bReplyWaiting == 1 || m_bSettingChain == 1;
}

void CBridgeDlg::RefreshActionButtons() { NotifySettingsPage(BaseRequestWaiting() ? 0 : 1); }

void CBridgeDlg::ShowBaseResult(const std::string& text) {
    // The buttons first: the box is modal to the main dialog only, and the page stays usable.
    RefreshActionButtons();
    MessageBox(text);
}

void CBridgeDlg::StopLoopbackTimer() { KillTimer(TIMER_LOOPBACK); }

void CBridgeDlg::StopReplyTimer() {
    KillTimer(TIMER_REPLY);
    m_bReplyWaiting = 0;
}

void CBridgeDlg::OnLoopbackTimeout() {
    m_bLoopbackPending = 0;
    KillTimer(TIMER_LOOPBACK);
    m_bSettingChain = 0;
    ShowBaseResult(m_strLoopbackFail);
}

void CBridgeDlg::OnReplyTimeout() {
    StopReplyTimer();
    m_bSettingChain = 0;
    // Decision: the request is over once its time-out is shown; a reply that comes later is
    // only logged, so that the user is never told two results of one request.
    if (m_pThread) m_pThread->ForgetReply();
    ShowBaseResult(m_strNoReply);
}
