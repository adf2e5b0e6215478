// The client's contact list for the handset's phone book, the online-status sweep and the
// chat-message fetch.
#include <algorithm>
#include <cstring>
#include <list>
#include <unordered_set>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "client/ClientTexts.h"
#include "device/HandsetText.h"

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

using ContactList = std::list<ContactRecord>;

unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

ContactList::iterator Find(ContactList& contacts, const std::string& handle) {
    return std::find_if(contacts.begin(), contacts.end(), [&](const ContactRecord& r) { return r.handle == handle; });
}

// Case-blind order, the case deciding between twins, a prefix deciding nothing.
ContactList::iterator InsertInOrder(ContactList& contacts, const std::string& handle) {
    for (auto it = contacts.begin(); it != contacts.end(); ++it) {
        const std::string& other = it->handle;
        const std::size_t common = std::min(handle.size(), other.size());
        for (std::size_t k = 0; k < common; ++k) {
            const unsigned char a = static_cast<unsigned char>(handle[k]);
            const unsigned char b = static_cast<unsigned char>(other[k]);
            const unsigned char ua = UpperAscii(a), ub = UpperAscii(b);
            if (ua < ub) return contacts.insert(it, ContactRecord(handle));
            if (ua > ub) break;  // next node
            if (a != b) return contacts.insert(a < b ? it : std::next(it), ContactRecord(handle));  // another case
        }
    }
    return contacts.insert(contacts.end(), ContactRecord(handle));
}

}  // namespace

void CBridgeDlg::OnUsersReply(const char* text) {
    ContactList listed;
    std::unordered_set<std::string> seen;  // each handle once
    const char* position = text;
    std::string word;
    for (int count = 0; *position != '\0' && count < client::kContactsReplyMax; ++count) {
        const int offset = ReadToken(position, word, 0);
        position += offset;
        if (offset == client::kTokenStop) {
            // A handle too long to keep is dropped alone: the reading goes on after all of it.
            while (*position != '\0' && !client::IsSeparator(*position)) ++position;
            continue;
        }
        if (!word.empty() && word.back() == ',') word.pop_back();
        if (!word.empty() && seen.insert(word).second) InsertInOrder(listed, word);
    }
    ReplaceContacts(std::move(listed));
    // Every reply is swept whole, whatever the client did before it.
    m_bContactScan = 1;
    m_pContactCursor = m_contacts.begin();
    QueryNextContactStatus();
}

void CBridgeDlg::OnUserNotification(const char* text) {
    const client::NotificationWords words = client::ReadNotificationWords(*this, text, 1);
    const std::string& handle = words.id;
    const std::string& property = words.property;
    const std::string& value = words.value;

    if (property == kBuddyStatus && value == kBuddyAdded) {
        InsertContact(handle);  // shown once the client reports it online
        return;
    }
    auto node = Find(m_contacts, handle);
    if (node == m_contacts.end()) {
        // Reported online while not listed, the sweep running or not: one more contact.
        if (property == kOnlineStatus && value != kOffline && handle != m_strUserHandle) {
            node = InsertContact(handle);
            if (node != m_contacts.end()) node->online = 1;
        }
        return;
    }
    const bool asked = m_bContactScan && node == m_pContactCursor;
    if (property == kOnlineStatus) {
        // A status for a contact other than the one asked about still counts; the answer to
        // the question comes on its own.
        if (value == kOffline) RemoveContact(node);
        else node->online = 1;
        if (asked) {
            if (value != kOffline) ++m_pContactCursor;  // a removal moved it on already
            QueryNextContactStatus();
        }
    } else if (property == kBuddyStatus) {
        if (value != kBuddyRemoved) return;
        RemoveContact(node);
        if (asked) QueryNextContactStatus();  // no answer comes for a contact that is gone
    } else if (property == kFullName) {
        // A new name changes nothing of the sweep: the contacts after it are still asked.
        node->fullName = value;
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

// Each handle once, and no empty one: a repeated "buddy added" would otherwise list it twice
// and stall the sweep.
std::list<ContactRecord>::iterator CBridgeDlg::InsertContact(const std::string& handle) {
    if (handle.empty() || Find(m_contacts, handle) != m_contacts.end()) return m_contacts.end();
    return InsertInOrder(m_contacts, handle);
}

// A cursor on the removed contact moves on to the next one (none after the last).
void CBridgeDlg::RemoveContact(std::list<ContactRecord>::iterator node) {
    if (m_pContactCursor == node) ++m_pContactCursor;
    ShownContactLeaves(node);
    m_contacts.erase(node);
}

void CBridgeDlg::ReplaceContacts(std::list<ContactRecord> listed) {
    // Within one attachment what the client reported of a contact still holds.
    std::unordered_set<std::string> online;
    for (const ContactRecord& record : m_contacts)
        if (record.online) online.insert(record.handle);
    for (ContactRecord& record : listed) record.online = online.count(record.handle) ? 1 : 0;
    const bool shown = m_pShownContact != m_contacts.end();
    const std::string shownHandle = shown ? m_pShownContact->handle : std::string();
    m_contacts.swap(listed);
    m_pContactCursor = m_contacts.end();
    m_pShownContact = m_contacts.end();
    m_bShownLeft = 0;
    if (!shown) return;
    const auto again = Find(m_contacts, shownHandle);
    if (again != m_contacts.end() && again->online) m_pShownContact = again;
    else ShownContactGone();
}

void CBridgeDlg::ClearContacts() {
    const bool shown = m_pShownContact != m_contacts.end() || m_bShownLeft;
    m_contacts.clear();
    m_pContactCursor = m_contacts.end();
    m_pShownContact = m_contacts.end();
    m_bShownLeft = 0;
    if (shown) ShownContactGone();
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

void CBridgeDlg::CopyMessagePartner(char* buffer) {
    const std::string text = handset::FirstBytes(m_strMessagePartner, client::kHandsetTextMax);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    LogClientLine(text);
}

void CBridgeDlg::RequestMessagePartner() {
    SendLoggedCommand(client::FormatText(client::kGetMessagePartner, m_strMessageId));
}
