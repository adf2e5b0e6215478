// The handset's phone-book menu: the text for each menu code, the contact shown, and what
// '#' calls. Only contacts the client reported online are shown.
#include <cstring>
#include <list>

#include "app/BridgeDlg.h"
#include "client/ClientTexts.h"
#include "device/HandsetCodes.h"
#include "device/HandsetText.h"
#include "device/Thread.h"

namespace {

using ContactList = std::list<ContactRecord>;

unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

bool IsLetterCode(int code) { return code >= handset::kMenuFirstLetter && code <= handset::kMenuLastLetter; }

ContactList::iterator FirstHeld(ContactList& contacts) {
    for (auto it = contacts.begin(); it != contacts.end(); ++it)
        if (it->online) return it;
    return contacts.end();
}

// The next contact the menu may show after `from`, round the list; `from` itself only when
// no other may be shown (and includeFrom), else end().
ContactList::iterator HeldAfter(ContactList& contacts, ContactList::iterator from, bool includeFrom) {
    auto it = from;
    for (std::size_t n = 0; n < contacts.size(); ++n) {
        if (++it == contacts.end()) it = contacts.begin();
        if (it == from) break;
        if (it->online) return it;
    }
    return includeFrom && from->online ? from : contacts.end();
}

// The one before `from`, round the list; `from` itself when no other may be shown.
ContactList::iterator HeldBefore(ContactList& contacts, ContactList::iterator from) {
    auto it = from;
    for (std::size_t n = 0; n < contacts.size(); ++n) {
        if (it == contacts.begin()) it = contacts.end();
        if (--it == from) break;
        if (it->online) return it;
    }
    return from->online ? from : contacts.end();
}

// The text becomes the selection: '#' calls the whole handle, the handset shows its start.
void ShowText(CBridgeDlg& dlg, const std::string& text, char* buffer) {
    dlg.m_bContactSelected = text.empty() ? 0 : 1;
    dlg.m_strSelectedHandle = text;
    const std::string shown = handset::FirstBytes(text, client::kHandsetTextMax);
    std::memcpy(buffer, shown.data(), shown.size());
    buffer[shown.size()] = '\0';
    dlg.m_strDisplayName = shown;
    dlg.LogClientLine(shown);
}

}  // namespace

void CBridgeDlg::SelectContactText(int menuCode, char* buffer) {
    std::string text;
    if (menuCode == handset::kMenuStepUp) {
        text = PrevContact();
    } else if (menuCode == handset::kMenuStepDown) {
        text = NextContact();
    } else if (IsLetterCode(menuCode)) {
        text = FindContactByLetter(static_cast<char>('A' + (menuCode - handset::kMenuFirstLetter)));
    } else {
        m_pShownContact = m_contacts.end();
        m_bShownLeft = 0;
    }
    ShowText(*this, text, buffer);
}

void CBridgeDlg::RefreshContactText(int menuCode, char* buffer) {
    if (IsLetterCode(menuCode)) {
        SelectContactText(menuCode, buffer);
        return;
    }
    // What now stands where the shown contact stood, or the first entry.
    if (m_pShownContact == m_contacts.end()) m_pShownContact = FirstHeld(m_contacts);
    m_bShownLeft = 0;
    ShowText(*this, m_pShownContact == m_contacts.end() ? std::string() : m_pShownContact->handle, buffer);
}

void CBridgeDlg::StartContactMenu() {
    m_pShownContact = m_contacts.end();
    m_bShownLeft = 0;
    m_bContactSelected = 0;
    m_strSelectedHandle.clear();
}

// Stepping starts at the first entry and goes on from what the handset shows; a step up with
// nothing shown starts at the first entry too.
std::string CBridgeDlg::NextContact() {
    if (m_bShownLeft) {
        m_bShownLeft = 0;  // the contact after the gap is the next one
    } else if (m_pShownContact == m_contacts.end()) {
        m_pShownContact = FirstHeld(m_contacts);
    } else {
        m_pShownContact = HeldAfter(m_contacts, m_pShownContact, true);
    }
    return m_pShownContact == m_contacts.end() ? std::string() : m_pShownContact->handle;
}

std::string CBridgeDlg::PrevContact() {
    if (m_pShownContact == m_contacts.end()) {
        m_pShownContact = FirstHeld(m_contacts);
    } else {
        // After a gap, the one before the gap: the one before the contact that followed it.
        m_pShownContact = HeldBefore(m_contacts, m_pShownContact);
    }
    m_bShownLeft = 0;
    return m_pShownContact == m_contacts.end() ? std::string() : m_pShownContact->handle;
}

std::string CBridgeDlg::FindContactByLetter(char letter) {
    const unsigned char wanted = UpperAscii(static_cast<unsigned char>(letter));
    m_bShownLeft = 0;
    for (auto it = m_contacts.begin(); it != m_contacts.end(); ++it) {
        if (it->online && !it->handle.empty() && UpperAscii(static_cast<unsigned char>(it->handle[0])) == wanted) {
            m_pShownContact = it;
            return it->handle;
        }
    }
    m_pShownContact = m_contacts.end();
    return std::string();
}

void CBridgeDlg::ShownContactLeaves(std::list<ContactRecord>::iterator node) {
    if (m_pShownContact != node) return;
    m_pShownContact = HeldAfter(m_contacts, node, false);
    ShownContactGone();
    m_bShownLeft = m_pShownContact != m_contacts.end() ? 1 : 0;
}

// Nothing is selected until the handset shows what now stands there: '#' meanwhile calls
// nobody.
void CBridgeDlg::ShownContactGone() {
    m_bContactSelected = 0;
    m_strSelectedHandle.clear();
    if (m_pThread) m_pThread->OnContactsChanged();
}
