// What the handsets are sent on the link's behalf: the display, the connected signal, the
// ringing alert with the caller, and the releases the client link asks for.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/BridgeDlg.h"
#include "device/HandsetCodes.h"
#include "device/Packet.h"
#include "device/Thread.h"

namespace {

// Room for a handset text, its terminator and a margin; the filler writes at most 21 bytes.
constexpr std::size_t kTextBuffer = pkt::kMaxHandsetText + 11;

// States whose display follows the digits or the called party rather than the menu.
bool ShowsNumber(int state) {
    return state == CS_NUMBER_START || state == CS_CONTACT_CALL || state == CS_NUMBER_CALL ||
           state == CS_NUMBER || state == CS_HASH_ENTRY;
}

std::string Terminated(char* buffer) {
    buffer[pkt::kMaxHandsetText] = '\0';
    return std::string(buffer);
}

std::string CallerText(CBridgeDlg& dlg) {
    char buffer[kTextBuffer] = {};
    dlg.CopyCallPartner(buffer);
    return Terminated(buffer);
}

void ClearPending(CBridgeDlg& dlg, std::uint8_t bit) {
    dlg.m_nPending = static_cast<std::uint8_t>(dlg.m_nPending & ~bit);
}

}  // namespace

void CThread::UpdateHandset() {
    if (!(m_pDlg->m_nPending & PENDING_RING)) m_nRingWaits = 0;
    if (displayPending) {
        displayPending = 0;
        std::string text;
        if (ShowsNumber(m_nCallState)) {
            if (m_strDigits.size() > handset::kDisplayedDigits) return;
            text = m_pDlg->m_strDisplayName;
            if (text.size() > pkt::kDisplayWidth) text = text.substr(text.size() - pkt::kDisplayWidth);
        } else {
            char buffer[kTextBuffer] = {};
            m_pDlg->SelectContactText(m_nMenuItem, buffer);
            text = Terminated(buffer);
            if (text.empty())
                text = std::string(1, static_cast<char>(m_nMenuItem + handset::kMenuLetterOffset)) +
                       handset::kEmptyEntry;
        }
        SendBytes(pkt::Display(m_nHandset, text));
        return;
    }

    if ((m_pDlg->m_nPending & PENDING_RING) && m_nCallState == CS_CONTACT_CALL) {
        ClearPending(*m_pDlg, PENDING_RING);
        m_pDlg->m_nStatus = STATUS_IN_CALL;
        SendBytes(pkt::Connected(m_nHandset));
        return;  // a known caller waits for the next update
    }

    if (m_pDlg->m_nPending & PENDING_CALLER) {
        ClearPending(*m_pDlg, PENDING_CALLER);
        if (m_pDlg->m_nStatus == STATUS_RINGING) {
            ClearPending(*m_pDlg, PENDING_RING);
            SendCallerAlert();
            m_pDlg->StartCallerIdTimer();
        } else if (m_strDigits.size() == handset::kDisplayedDigits) {
            displayPending = 1;  // a short number on the display gives way to the partner
        }
        m_pDlg->m_strDisplayName = CallerText(*m_pDlg);
        m_pDlg->UpdateInfoDialog();
        return;
    }

    // The caller's handle may never come: the handsets then ring without it rather than not
    // at all, and show it once it comes.
    if ((m_pDlg->m_nPending & PENDING_RING) && m_pDlg->m_nStatus == STATUS_RINGING && m_nCallState == CS_IDLE &&
        ++m_nRingWaits >= handset::kCallerWaitUpdates) {
        ClearPending(*m_pDlg, PENDING_RING);
        m_nRingWaits = 0;
        SendCallerAlert();
        m_pDlg->StartCallerIdTimer();
    }
}

void CThread::SendCallerAlert() { SendBytes(pkt::Alert(CallerText(*m_pDlg))); }

void CThread::ReleaseHandset() {
    // A handset not known (a dial string's) is released with all of them.
    SendBytes(pkt::Release(m_nHandset != 0 ? m_nHandset : pkt::kAllHandsets));
    GoIdle();
}

void CThread::ForgetRing() { ClearPending(*m_pDlg, PENDING_RING | PENDING_CALLER); }

void CThread::StopRinging() {
    SendBytes(pkt::Release(pkt::kAllHandsets));
    ForgetRing();
    m_pDlg->StopCallerIdTimer();
    GoIdle();
}

void CThread::ReleaseAll() {
    SendBytes(pkt::Release(pkt::kAllHandsets));
    ForgetRing();
    // The released handsets are idle: a later call must ring, not find a call state that
    // still looks like a call being set up. The client ended the call, so the main dialog
    // only ends it locally.
    LeaveCall();
    m_pDlg->EndCallLocally();
}
