// The client's contact list for the handset's phone book, the online-status sweep and the
// chat-message fetch.
#include <algorithm>
#include <cstring>
#include <list>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "client/ClientTexts.h"
#include "device/HandsetCodes.h"

namespace {

constexpr const char* kOnlineStatus = "ONLINESTATUS";
constexpr const char* kBuddyStatus = "BUDDYSTATUS";
constexpr const char* kFullName = "FULLNAME";
constexpr const char* kOffline = "OFFLINE";
constexpr const char* kBuddyAdded = "3";
constexpr const char* kBuddyRemoved = "1";
constexpr const char* kMessageStatus = "STATUS";
constexpr const char* kMessageRead = "READ";
constexpr const char* kMessageBody = "BODY";
constexpr const char* kMessagePartner = "PARTNER_HANDLE";

unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// Copies at most the handset's 20 bytes and a NUL; the text as copied.
std::string CopyHandsetText(const std::string& text, char* buffer) {
    const std::size_t length = std::min<std::size_t>(text.size(), client::kHandsetTextMax);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return text.substr(0, length);
}

using ContactList = std::list<ContactRecord>;

// A cursor on the removed contact moves on to the next one (none after the last).
void RemoveContact(ContactList& contacts, ContactList::iterator& cursor, ContactList::iterator node) {
    if (cursor == node) ++cursor;
    contacts.erase(node);
}

}  // namespace

void CBridgeDlg::OnUsersReply(const char* text) {
    const char* position = text;
    std::string word;  // keeps the previous word when an over-long one is dropped
    for (int count = 0; *position != '\0' && count < client::kContactsReplyMax; ++count) {
        position += ReadToken(position, word, 0);
        if (word.empty()) break;
        if (word.back() == ',') word.pop_back();
        InsertContact(word);
    }
    m_pContactCursor = m_contacts.begin();
    QueryNextContactStatus();
}

void CBridgeDlg::OnUserNotification(const char* text) {
    const client::NotificationWords words = client::ReadNotificationWords(*this, text, 1);
    const std::string& handle = words.id;
    const std::string& property = words.property;
    const std::string& value = words.value;

    if (property == kBuddyStatus && value == kBuddyAdded) {
        InsertContact(handle);
        return;
    }
    auto node = std::find_if(m_contacts.begin(), m_contacts.end(),
                             [&](const ContactRecord& r) { return r.handle == handle; });
    if (node == m_contacts.end()) {
        if (!m_bContactScan && property == kOnlineStatus && value != kOffline && handle != m_strUserHandle)
            InsertContact(handle);
        return;
    }
    if (property == kOnlineStatus) {
        if (m_bContactScan) {
            if (node != m_pContactCursor) {
                QueryNextContactStatus();  // ask again for the contact under the cursor
                return;
            }
            ++m_pContactCursor;
        }
        if (value == kOffline) {
            RemoveContact(m_contacts, m_pContactCursor, node);
        } else {
            node->online = 1;
        }
        if (m_bContactScan) QueryNextContactStatus();
    } else if (property == kBuddyStatus) {
        if (value == kBuddyRemoved) RemoveContact(m_contacts, m_pContactCursor, node);
    } else if (property == kFullName) {
        node->fullName = value;
        if (m_bContactScan) EndStatusSweep();
    }
}

void CBridgeDlg::OnMessageNotification(const char* text) {
    const client::NotificationWords words = client::ReadNotificationWords(*this, text, 1);
    const std::string& id = words.id;
    const std::string& property = words.property;
    const std::string& value = words.value;
    // A fetched message stays in m_strMessagePartner and m_strMessageBody: the handset has
    // no packet that announces one, so nothing is sent to the base.
    if (property == kMessageStatus && value == kMessageRead) {
        if (id.empty()) return;  // doubled blanks: no message to fetch
        m_strMessageId = id;
        RequestMessagePartner();
    } else if (property == kMessageBody) {
        m_strMessageBody = value;
    } else if (property == kMessagePartner && !id.empty() && id == m_strMessageId) {
        m_strMessagePartner = value;
        SendLoggedCommand(client::FormatText(client::kGetMessageBody, id));
    }
}

void CBridgeDlg::InsertContact(const std::string& handle) {
    // The phone book holds each handle once, and no empty one: a repeated contacts reply or
    // "buddy added" after a re-attachment would otherwise list it twice and stall the sweep.
    if (handle.empty()) return;
    for (const ContactRecord& r : m_contacts)
        if (r.handle == handle) return;

    auto it = m_contacts.begin();
    for (; it != m_contacts.end(); ++it) {
        const std::string& other = it->handle;
        const std::size_t common = std::min(handle.size(), other.size());
        for (std::size_t k = 0; k < common; ++k) {
            const unsigned char a = static_cast<unsigned char>(handle[k]);
            const unsigned char b = static_cast<unsigned char>(other[k]);
            const unsigned char ua = UpperAscii(a), ub = UpperAscii(b);
            if (ua < ub) {
                m_contacts.insert(it, ContactRecord(handle));
                return;
            }
            if (ua > ub) break;  // next node
            if (a != b) {        // the same letter in another case
                m_contacts.insert(a < b ? it : std::next(it), ContactRecord(handle));
                return;
            }
        }
    }
    m_contacts.insert(m_contacts.end(), ContactRecord(handle));
}

void CBridgeDlg::QueryNextContactStatus() {
    if (m_pContactCursor != m_contacts.end()) {
        SendLoggedCommand(client::FormatText(client::kGetUserStatus, m_pContactCursor->handle));
        return;
    }
    m_pContactCursor = m_contacts.begin();
    EndStatusSweep();
}

void CBridgeDlg::EndStatusSweep() {
    m_pContactCursor = m_contacts.begin();
    m_nLinkState = Ready;
    UpdateInfoDialog();
    m_bContactScan = 0;
}

void CBridgeDlg::SelectContactText(int menuCode, char* buffer) {
    std::string text;
    if (!m_contacts.empty()) {
        if (menuCode == handset::kMenuStepUp) {
            text = PrevContact();
        } else if (menuCode == handset::kMenuStepDown) {
            text = NextContact();
        } else if (menuCode >= handset::kMenuFirstLetter && menuCode <= handset::kMenuLastLetter) {
            text = FindContactByLetter(static_cast<char>('A' + (menuCode - handset::kMenuFirstLetter)));
        }
    }
    m_bContactSelected = text.empty() ? 0 : 1;
    m_strSelectedHandle = text;
    m_strDisplayName = CopyHandsetText(text, buffer);
    LogClientLine(m_strDisplayName);
}

std::string CBridgeDlg::NextContact() {
    if (m_contacts.empty()) return std::string();
    // No cursor counts as lying after the last contact.
    if (m_pContactCursor == m_contacts.end() || ++m_pContactCursor == m_contacts.end())
        m_pContactCursor = m_contacts.begin();
    return m_pContactCursor->handle;
}

std::string CBridgeDlg::PrevContact() {
    if (m_contacts.empty()) return std::string();
    if (m_pContactCursor == m_contacts.begin() || m_pContactCursor == m_contacts.end())
        m_pContactCursor = m_contacts.end();
    --m_pContactCursor;
    return m_pContactCursor->handle;
}

std::string CBridgeDlg::FindContactByLetter(char letter) {
    const unsigned char wanted = UpperAscii(static_cast<unsigned char>(letter));
    for (auto it = m_contacts.begin(); it != m_contacts.end(); ++it) {
        if (!it->handle.empty() && UpperAscii(static_cast<unsigned char>(it->handle[0])) == wanted) {
            m_pContactCursor = it;
            return it->handle;
        }
    }
    m_pContactCursor = m_contacts.begin();
    return std::string();
}

void CBridgeDlg::CopyMessagePartner(char* buffer) {
    LogClientLine(CopyHandsetText(m_strMessagePartner, buffer));
}

void CBridgeDlg::RequestMessagePartner() {
    SendLoggedCommand(client::FormatText(client::kGetMessagePartner, m_strMessageId));
}
