// What the handsets are sent on the link's behalf: the display, the connected signal, the
// ringing alert with the caller, and the releases the client link asks for.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/BridgeDlg.h"
#include "device/HandsetCodes.h"
#include "device/HandsetText.h"
#include "device/Packet.h"
#include "device/Thread.h"

namespace {

// Room for a handset text, its terminator and a margin; the filler writes at most 21 bytes.
constexpr std::size_t kTextBuffer = pkt::kMaxHandsetText + 11;

// States whose display follows the digits or the called party rather than the menu; an
// answered call too, whose keys are tones, not steps through the menu.
bool ShowsNumber(int state) {
    return state == CS_NUMBER_START || state == CS_CONTACT_CALL || state == CS_NUMBER_CALL ||
           state == CS_NUMBER || state == CS_HASH_ENTRY || state == CS_ANSWERED;
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

}  // namespace

void CThread::UpdateHandset() {
    if (!m_pDlg->IsPending(PENDING_RING)) m_nRingWaits = 0;
    if (displayPending) {
        displayPending = 0;
        std::string text;
        if (ShowsNumber(m_nCallState)) {
            if (m_strDigits.size() > handset::kDisplayedDigits) return;
            text = m_pDlg->DisplayName();
            text = handset::LastBytes(text, pkt::kDisplayWidth);
        } else {
            m_bMenuRefresh = 0;  // this entry is shown afresh anyway
            char buffer[kTextBuffer] = {};
            m_pDlg->SelectContactText(m_nMenuItem, buffer);
            text = MenuDisplay(Terminated(buffer));
        }
        SendBytes(pkt::Display(m_nHandset, text));
        return;
    }

    if (m_bMenuRefresh) {
        m_bMenuRefresh = 0;
        if (m_nCallState == CS_MENU || m_nCallState == CS_BROWSE) {
            char buffer[kTextBuffer] = {};
            m_pDlg->RefreshContactText(m_nMenuItem, buffer);
            SendBytes(pkt::Display(m_nHandset, MenuDisplay(Terminated(buffer))));
            return;
        }
    }

    if (m_pDlg->IsPending(PENDING_RING) && m_nCallState == CS_CONTACT_CALL) {
        m_pDlg->DropPending(PENDING_RING);
        m_pDlg->SetStatus(STATUS_IN_CALL);
        SendBytes(pkt::Connected(m_nHandset));
        return;  // a known caller waits for the next update
    }

    if (m_pDlg->IsPending(PENDING_CALLER)) {
        m_pDlg->DropPending(PENDING_CALLER);
        if (m_pDlg->Status() == STATUS_RINGING) {
            m_pDlg->DropPending(PENDING_RING);
            SendCallerAlert();
            m_pDlg->StartCallerIdTimer();
        } else if (m_strDigits.size() == handset::kDisplayedDigits) {
            displayPending = 1;  // a short number on the display gives way to the partner
        }
        m_pDlg->SetDisplayName(CallerText(*m_pDlg));
        m_pDlg->UpdateInfoDialog();
        return;
    }

    // The caller's handle may never come: the handsets then ring without it rather than not
    // at all, and show it once it comes.
    if (m_pDlg->IsPending(PENDING_RING) && m_pDlg->Status() == STATUS_RINGING && m_nCallState == CS_IDLE &&
        ++m_nRingWaits >= handset::kCallerWaitUpdates) {
        m_pDlg->DropPending(PENDING_RING);
        m_nRingWaits = 0;
        SendCallerAlert();
        m_pDlg->StartCallerIdTimer();
    }
}

std::string CThread::MenuDisplay(const std::string& text) const {
    if (!text.empty()) return handset::FirstBytes(text, pkt::kDisplayWidth);
    // A letter nobody's name begins with shows that letter; a step through an empty phone
    // book has no letter to show.
    const bool letter = m_nMenuItem >= handset::kMenuFirstLetter && m_nMenuItem <= handset::kMenuLastLetter;
    return letter ? std::string(1, static_cast<char>(m_nMenuItem + handset::kMenuLetterOffset)) + handset::kEmptyEntry
                  : std::string(handset::kEmptyEntry);
}

void CThread::OnContactsChanged() {
    if (m_nCallState == CS_MENU || m_nCallState == CS_BROWSE) m_bMenuRefresh = 1;
}

void CThread::SendCallerAlert() { SendBytes(pkt::Alert(CallerText(*m_pDlg))); }

void CThread::ReleaseHandset() {
    // A handset not known (a dial string's) is released with all of them.
    SendBytes(pkt::Release(m_nHandset != 0 ? m_nHandset : pkt::kAllHandsets));
    GoIdle();
}

void CThread::ForgetRing() { m_pDlg->DropPending(PENDING_RING | PENDING_CALLER); }

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
