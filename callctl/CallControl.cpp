// Call actions of the main dialog: what a handset event or an attachment tells the client.
#include <cstdint>
#include <string>
#include <utility>

#include "app/BridgeDlg.h"
#include "callctl/CallCommands.h"
#include "client/ClientTexts.h"

std::intptr_t CBridgeDlg::SendLoggedCommand(const std::string& text) {
    LogClientLine(text);
    return SendClientCommand(text.c_str(), 0);
}

void CBridgeDlg::AnswerCall() {
    // Without an id the call is taken when its RINGING or ROUTING arrives.
    if (!m_strCallId.empty()) SendLoggedCommand(callcmd::Answer(m_strCallId));
}

void CBridgeDlg::OnHandsetOnHook() { ReturnToIdle(true); }

void CBridgeDlg::ReturnToIdle(bool onHook) {
    // A second call that still rings at the client and was never taken up.
    const std::string waiting =
        m_bSecondCall && !m_bDndForSecondCall && m_bWaitingCallRings ? m_strHeldCallId : std::string();
    StopCallerIdTimer();
    m_nStatus = STATUS_READY;
    SetUserStatusOnline();
    m_strDisplayName.clear();
    UpdateInfoDialog();
    if (onHook && m_bInCall == 1) HangUpCall();
    if (onHook || !waiting.empty()) {
        // The user is online again, so a later caller must not be turned away as a third
        // call.
        m_bSecondCall = 0;
        m_bDndForSecondCall = 0;
        m_bWaitingCallRings = 0;
        m_strHeldCallId.clear();
    }
    m_bInCall = 0;  // whoever ended it, no handset holds a call any more
    m_strCallId.clear();
    LogDeviceLine(client::kLogOnHook);
    // No handset is busy any more: the waiting call rings on all of them.
    if (!waiting.empty()) {
        RingCall(waiting);
        UpdateInfoDialog();
    }
}

void CBridgeDlg::HangUpCall() {
    m_bInCall = 0;
    m_bCallClosed = 1;
    if (m_strCallId.empty()) {
        // Placed, but not yet named by the client: it is finished once the client names it.
        ++m_nAbandonedCalls;
        return;
    }
    SendLoggedCommand(callcmd::Finish(m_strCallId));
    // A second call the user took up (swapped to, or joined) goes with the handset too:
    // left on hold at the client it would stay there for good.
    if (m_bDndForSecondCall && !m_strHeldCallId.empty()) SendLoggedCommand(callcmd::Finish(m_strHeldCallId));
    SendLoggedCommand(callcmd::kHookOn);
}

void CBridgeDlg::SendDtmf(char key) {
    // Sent even before the call has an id; the client ignores what it cannot place.
    SendLoggedCommand(callcmd::Dtmf(m_strCallId, key));
}

namespace {

// Swapping or joining with a second call shows the user as do-not-disturb, so that a third
// caller is turned away instead of ringing into two calls.
void EnterSecondCallDnd(CBridgeDlg& dlg) {
    if (dlg.m_bSecondCall != 1) return;
    dlg.m_bDndForSecondCall = 1;
    dlg.SetUserStatusDnd();
}

}  // namespace

void CBridgeDlg::SwapCalls() {
    EnterSecondCallDnd(*this);
    std::swap(m_strCallId, m_strHeldCallId);
    SendLoggedCommand(callcmd::Resume(m_strCallId));
    SendLoggedCommand(callcmd::Hold(m_strHeldCallId));
}

void CBridgeDlg::JoinConference() {
    EnterSecondCallDnd(*this);
    SendLoggedCommand(callcmd::Resume(m_strHeldCallId));
    SendLoggedCommand(callcmd::Join(m_strHeldCallId, m_strCallId));
}

void CBridgeDlg::FinishCall(const std::string& callId) {
    SendLoggedCommand(callcmd::Finish(callId));
}

void CBridgeDlg::SetUserStatusDnd() {
    SendLoggedCommand(callcmd::kUserStatusDnd);
}

void CBridgeDlg::SetUserStatusOnline() {
    SendLoggedCommand(callcmd::kUserStatusOnline);
}

void CBridgeDlg::SelectAudioDevice() {
    KillTimer(TIMER_AUDIO);
    SetTimer(TIMER_AUDIO, kAudioMs);
    // On the oldest systems the client keeps its own sound devices.
    if (m_nOsVersion == 0) return;
    SendLoggedCommand(callcmd::AudioIn(m_strAudioDevice));
    SendLoggedCommand(callcmd::AudioOut(m_strAudioDevice));
}

void CBridgeDlg::RequestCurrentUserHandle() {
    SendLoggedCommand(callcmd::kGetUserHandle);
}

void CBridgeDlg::StartCallerIdTimer() {
    SetTimer(TIMER_CALLER_ID, kCallerIdMs);
}

void CBridgeDlg::StopCallerIdTimer() {
    KillTimer(TIMER_CALLER_ID);
}

void CBridgeDlg::RestartDialTimer() {
    KillTimer(TIMER_DIAL);
    SetTimer(TIMER_DIAL, kDialPauseMs);
}
