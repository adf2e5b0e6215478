// The handset side of CThread: hook changes, keys and dial strings from the base become
// call actions of the main dialog; the handset update decides what the handsets show.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/BridgeDlg.h"
#include "device/HandsetCodes.h"
#include "device/Packet.h"
#include "device/Thread.h"

namespace {

constexpr std::uint8_t kUnknownHandset = 0;

bool IsDialChar(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; }

}  // namespace

void CThread::OnOffHook() {
    m_nHandset = m_received[pkt::kHandsetAt];
    if (m_pDlg->Status() == STATUS_RINGING) {
        OnAnswer();
        return;
    }
    m_nCallState = CS_OFF_HOOK;
    m_pDlg->SetStatus(STATUS_OFF_HOOK);
    m_strDigits.clear();
    m_pDlg->LogDeviceLine(handset::kLogOffHook);
}

// The handset is the one the caller named: the packet's (set by its handler), or the one
// already off hook when the client link hands it a call.
void CThread::OnAnswer() {
    m_pDlg->StopCallerIdTimer();
    // The ring is over; a caller still to come only names the call on the display.
    m_pDlg->DropPending(PENDING_RING);
    m_nCallState = CS_ANSWERED;
    m_pDlg->SetStatus(STATUS_IN_CALL);
    m_pDlg->AnswerCall();
}

// An answer with nothing ringing is a handset lifted: it goes off hook like any other.
void CThread::OnAnswerEvent() {
    if (m_nCallState == CS_IDLE) OnOffHook();  // which answers what rings
}

void CThread::OnHangUp() {
    m_nHandset = m_received[pkt::kHandsetAt];
    SendBytes(pkt::HangUpAck(m_nHandset));
}

bool CThread::LeaveCall() {
    if (m_nCallState == CS_IDLE) return false;
    m_nCallState = CS_IDLE;
    dialStringSeen = 0;
    return true;
}

bool CThread::HoldsCall() const {
    return m_nCallState == CS_CONTACT_CALL || m_nCallState == CS_NUMBER_CALL || m_nCallState == CS_ANSWERED;
}

void CThread::GoIdle() {
    if (LeaveCall()) m_pDlg->OnHandsetOnHook();
}

void CThread::OnFuncKey() {
    const char key = static_cast<char>(m_received[pkt::kKeyAt]);
    if (key == handset::kMenuKey && m_nCallState == CS_OFF_HOOK) {
        displayPending = 1;
        m_nCallState = CS_MENU;
        m_nMenuItem = handset::kMenuFirstLetter;
        m_pDlg->StartContactMenu();
    } else if (key == handset::kTalkKey && m_nCallState == CS_IDLE) {
        OnOffHook();
    }
}

void CThread::OnKey() {
    const char key = static_cast<char>(m_received[pkt::kKeyAt]);
    if (m_nCallState == CS_IDLE) OnOffHook();
    if (m_nCallState == CS_OFF_HOOK) StartKeyEntry(key);

    displayPending = 1;
    switch (m_nCallState) {
    case CS_MENU:
    case CS_BROWSE: OnMenuKey(key); break;
    case CS_NUMBER_START:
    case CS_NUMBER: OnNumberKey(key); break;
    case CS_CONTACT_CALL:
    case CS_NUMBER_CALL:
    case CS_ANSWERED: OnCallKey(key); break;
    case CS_HASH_ENTRY: OnHashEntryKey(key); break;
    default: break;
    }
}

// The first key decides what the handset is doing: a number, a hash entry or the menu.
void CThread::StartKeyEntry(char key) {
    if (key == '0' || key == '1' || key == '+' || key == '#') {
        m_nCallState = key == '#' ? CS_HASH_ENTRY : CS_NUMBER_START;
        m_strDigits.clear();
        m_pDlg->SetDisplayName(std::string());
    } else {
        m_nCallState = CS_BROWSE;
        m_pDlg->StartContactMenu();
    }
}

void CThread::OnMenuKey(char key) {
    // Only a key that moves the menu shows an entry: any other would show the last
    // step's next entry, and '#' would call someone the user never chose.
    displayPending = 0;
    if (key == '#') {
        if (m_nCallState == CS_BROWSE) Dial();
    } else if (key == handset::kDownKey || key == handset::kAltDownKey) {
        m_nMenuItem = handset::kMenuStepDown;
        m_nTapCount = 0;
        displayPending = 1;
    } else if (key == handset::kUpKey || key == handset::kAltUpKey) {
        m_nMenuItem = handset::kMenuStepUp;
        m_nTapCount = 0;
        displayPending = 1;
    } else if (key >= '2' && key <= '9') {
        MultiTap(static_cast<std::uint8_t>(key));
        displayPending = 1;
    }
}

void CThread::OnNumberKey(char key) {
    if ((key >= '0' && key <= '9') || key == '+') {
        m_nCallState = CS_NUMBER;
        AddDigit(key);
    } else if (key == '#') {
        m_pDlg->LogDeviceLine(handset::kLogCallOut);
        Dial();
    }
}

void CThread::OnCallKey(char key) {
    if (m_pDlg->InSecondCall()) {
        // With a second call '*' and '#' steer the two calls; nothing else is a tone.
        displayPending = 0;
        if (key == '*') m_pDlg->SwapCalls();
        else if (key == '#') m_pDlg->JoinConference();
    } else {
        m_pDlg->SendDtmf(key);
        AddDigit(key);
    }
}

void CThread::OnHashEntryKey(char key) {
    // Only what can be dialled joins the number; a navigation key is not part of it.
    if (!IsDialChar(key) && key != '+') {
        displayPending = 0;
        return;
    }
    m_pDlg->RestartDialTimer();
    AddDigit(key);
}

void CThread::AddDigit(char key) {
    m_strDigits += key;
    m_pDlg->SetDisplayName(m_strDigits);
}

void CThread::MultiTap(std::uint8_t key) {
    const handset::TapKey* entry = handset::FindTapKey(static_cast<char>(key));
    if (entry == nullptr) return;
    // The tap count only ever runs 1 .. count-1 before it wraps to 0.
    if (key == m_nLastMenuKey && m_nTapCount != 0) {
        m_nMenuItem = static_cast<std::uint8_t>(entry->first + m_nTapCount);
        m_nTapCount = static_cast<std::uint8_t>(m_nTapCount + 1 == entry->count ? 0 : m_nTapCount + 1);
    } else {
        m_nMenuItem = entry->first;
        m_nTapCount = 1;
        m_nLastMenuKey = key;
    }
}

void CThread::OnDialString() {
    if (m_nCallState != CS_IDLE && m_nCallState != CS_OFF_HOOK) return;
    if (m_received[pkt::kRepeatAt] != 0 && dialStringSeen != 0) return;
    dialStringSeen = 1;
    // The packet names no handset: from an idle base the one dialling is not known, so any
    // handset may end the call and a release goes to them all.
    if (m_nCallState == CS_IDLE) m_nHandset = kUnknownHandset;

    // The count byte is the base's word; never read past the packet's body (the checksum
    // ends it) nor past the copy of the packet.
    const std::size_t count = m_received[pkt::kDialCountAt];
    const std::size_t bodyEnd = pkt::ChecksumAt(m_received[pkt::kLengthAt]);  // one past the body
    std::size_t end = count >= 1 ? pkt::kDialFirstAt + count - 1 : pkt::kDialFirstAt;  // one past the text
    if (end > bodyEnd) end = bodyEnd;
    if (end > sizeof m_received) end = sizeof m_received;

    m_strDigits.clear();
    for (std::size_t i = pkt::kDialFirstAt; i < end; ++i) {
        const char c = static_cast<char>(m_received[i]);
        if (IsDialChar(c)) m_strDigits += c;
    }
    m_pDlg->SetDisplayName(m_strDigits);
    m_pDlg->LogDeviceLine(handset::kLogCallOut);
    Dial();
}

void CThread::Dial() {
    const bool contact = m_nCallState == CS_BROWSE;
    std::string target;
    int next = CS_NUMBER_CALL;
    if (contact) {
        target = m_pDlg->SelectedContact();
        next = CS_CONTACT_CALL;
    } else if (m_nCallState == CS_HASH_ENTRY) {
        // The entry starts with its '#'; a '#' alone dials nothing.
        if (m_strDigits.size() >= 2) target = m_strDigits.substr(1);
        next = CS_CONTACT_CALL;
    } else {
        target = m_strDigits;
    }
    displayPending = 0;
    if (!m_pDlg->CanPlaceCall(target)) {
        // Nothing chosen, or no client to take it: only the log says so, and the handset stays
        // where it was, with no call shown going out.
        if (contact) m_pDlg->PlaceCallToSelected();
        else m_pDlg->PlaceCall(target);
        if (m_nCallState == CS_IDLE || m_nCallState == CS_OFF_HOOK) {
            // A dial string took the line at once: the line is given back, as after a call
            // that failed.
            ReleaseHandset();
            dialStringSeen = 0;
            // The release silenced every handset: a call still ringing alerts again at once.
            if (m_pDlg->Status() == STATUS_RINGING)
                m_pDlg->AddPending(PENDING_CALLER);
        }
        return;
    }
    // A handset that dials out is not ringing for anybody: a call that rang meanwhile rings
    // again (from the call record) once the handset is free, and no stale ring bit may later
    // show this call "connected".
    ForgetRing();
    m_pDlg->OnHandsetDials();
    // Calling before the CALL goes out: the client may name the call while it is being sent.
    m_nCallState = next;
    m_pDlg->SetStatus(STATUS_CALL_OUT);
    if (contact) m_pDlg->PlaceCallToSelected();
    else m_pDlg->PlaceCall(target);
}
