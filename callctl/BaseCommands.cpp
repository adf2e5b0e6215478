// Base-station maintenance commands of the main dialog and their reply supervision.
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
            m_pThread->replyPending = 1;
            SetTimer(TIMER_REPLY, kReplyWaitMs);
            break;
        default: break;
    }
}

void CBridgeDlg::StopLoopbackTimer() { KillTimer(TIMER_LOOPBACK); }

void CBridgeDlg::StopReplyTimer() { KillTimer(TIMER_REPLY); }

void CBridgeDlg::OnLoopbackTimeout() {
    m_bLoopbackPending = 0;
    KillTimer(TIMER_LOOPBACK);
    m_bSettingChain = 0;
    MessageBox(m_strLoopbackFail);
    NotifySettingsPage(1);
}

void CBridgeDlg::OnReplyTimeout() {
    KillTimer(TIMER_REPLY);
    m_bSettingChain = 0;
    // replyPending stays as it is: a late reply still gets its own message, which tells the
    // user the command did take effect after all.
    MessageBox(m_strNoReply);
    NotifySettingsPage(1);
}
