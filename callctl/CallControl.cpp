// Call actions of the main dialog: what a handset event or an attachment tells the client.
#include <cstdint>
#include <string>
#include <utility>

#include "app/BridgeDlg.h"
#include "callctl/CallCommands.h"
#include "client/ClientTexts.h"
#include "device/Thread.h"

std::intptr_t CBridgeDlg::SendLoggedCommand(const std::string& text) {
    LogClientLine(text);
    return SendClientCommand(text.c_str(), 0);
}

void CBridgeDlg::AnswerCall() {
    // Without an id the call is taken when its RINGING or ROUTING arrives.
    if (m_strCallId.empty()) return;
    // From here the handset holds the call: going on hook ends it, whether or not the client
    // confirms the answer first; and it rings no more.
    m_bInCall = 1;
    m_callRecord.StopsRinging(m_strCallId);
    SendLoggedCommand(callcmd::Answer(m_strCallId));
}

void CBridgeDlg::OnHandsetOnHook() { ReturnToIdle(true); }

void CBridgeDlg::ReturnToIdle(bool onHook) {
    StopCallerIdTimer();
    // A hash entry still being typed is abandoned with the handset.
    KillTimer(TIMER_DIAL);
    SetStatus(IdleStatus());
    SetUserStatusOnline();
    m_strDisplayName.clear();
    UpdateInfoDialog();
    if (onHook) {
        if (m_bInCall == 1) HangUpCall();
        // Calls the handset placed that have no id yet are finished when the client names them.
        m_callRecord.AbandonPlaced();
    }
    // No handset is in a call any more: there is nothing left to swap or join, and the user
    // is online again, so a later caller must not be turned away as a third call. A waiting
    // call that still rings is in the call record and rings below.
    m_bSecondCall = 0;
    m_bDndForSecondCall = 0;
    m_strHeldCallId.clear();
    m_bInCall = 0;
    m_strCallId.clear();
    LogDeviceLine(client::kLogOnHook);
    RingNextWaitingCall();
}

void CBridgeDlg::HangUpCall() {
    m_bInCall = 0;
    m_bCallClosed = 1;
    if (m_strCallId.empty()) return;  // placed, not yet named: finished once the client names it
    FinishCall(m_strCallId);
    // A second call the user took up (swapped to, or joined) goes with the handset too:
    // left on hold at the client it would stay there for good.
    if (m_bDndForSecondCall && !m_strHeldCallId.empty()) FinishCall(m_strHeldCallId);
    SendLoggedCommand(callcmd::kHookOn);
}

void CBridgeDlg::OnBaseLost() {
    // The handsets lost the line with the base: a call a handset held ends at the client,
    // and a call that rings waits (in the call record) until the base is back.
    if (m_pThread) {
        m_pThread->ForgetRing();
        m_pThread->GoIdle();
    }
    StopCallerIdTimer();
    m_nPending = 0;
    RefreshSettingsPage();
}

void CBridgeDlg::OnBaseBack() {
    // A base opened afresh registers nothing, whether or not its loss was noticed.
    RefreshSettingsPage();
    RingNextWaitingCall();
}

int CBridgeDlg::IdleStatus() const { return m_pThread ? m_pThread->IdleStatus() : STATUS_READY; }

void CBridgeDlg::SendDtmf(char key) {
    // Only into a call the handset placed or answered (sent even before the call has an id;
    // the client ignores what it cannot place): after "no active!" the current call may be
    // one taken at the computer, which the handset never joined.
    if (m_bInCall != 1) return;
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
    m_callRecord.StopsRinging(callId);
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
