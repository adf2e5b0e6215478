// What the handsets are sent on the link's behalf: the display, the connected signal, the
// ringing alert with the caller, and the releases the client link asks for.
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

}  // namespace

void CThread::UpdateHandset() {
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
        const auto packet = pkt::Display(m_nHandset, text);
        SendBytes(packet.data(), packet.size());
        return;
    }

    if ((m_pDlg->m_nPending & PENDING_RING) && m_nCallState == CS_CONTACT_CALL) {
        m_pDlg->m_nPending = static_cast<std::uint8_t>(m_pDlg->m_nPending & ~PENDING_RING);
        m_pDlg->m_nStatus = STATUS_IN_CALL;
        const auto packet = pkt::Connected(m_nHandset);
        SendBytes(packet.data(), packet.size());
        return;  // a known caller waits for the next update
    }

    if (m_pDlg->m_nPending & PENDING_CALLER) {
        m_pDlg->m_nPending = static_cast<std::uint8_t>(m_pDlg->m_nPending & ~PENDING_CALLER);
        if (m_pDlg->m_nStatus == STATUS_RINGING) {
            m_pDlg->m_nPending = static_cast<std::uint8_t>(m_pDlg->m_nPending & ~PENDING_RING);
            SendCallerAlert();
            m_pDlg->StartCallerIdTimer();
        } else if (m_strDigits.size() == handset::kDisplayedDigits) {
            displayPending = 1;  // a short number on the display gives way to the partner
        }
        char buffer[kTextBuffer] = {};
        m_pDlg->CopyCallPartner(buffer);
        m_pDlg->m_strDisplayName = Terminated(buffer);
        m_pDlg->UpdateInfoDialog();
    }
}

void CThread::SendCallerAlert() {
    char buffer[kTextBuffer] = {};
    m_pDlg->CopyCallPartner(buffer);
    const auto packet = pkt::Alert(Terminated(buffer));
    SendBytes(packet.data(), packet.size());
}

void CThread::ReleaseHandset() {
    const auto packet = pkt::Release(m_nHandset);
    SendBytes(packet.data(), packet.size());
    GoIdle();
}

void CThread::StopRinging() {
    const auto packet = pkt::Release(pkt::kAllHandsets);
    SendBytes(packet.data(), packet.size());
    m_pDlg->StopCallerIdTimer();
    GoIdle();
}

void CThread::ReleaseAll() {
    const auto packet = pkt::Release(pkt::kAllHandsets);
    SendBytes(packet.data(), packet.size());
    m_pDlg->EndCallLocally();  // the call state stays until the base reports the hang-up
}
