#include "tools/sim/ContactBook.h"

#include <algorithm>
#include <set>

#include "tools/sim/HandsetText.h"

namespace sim {

namespace {

constexpr std::size_t kFirstWordMax = 100;
constexpr std::size_t kWordStop = 100;     // a word of 99 bytes or more is not kept
constexpr int kMostWordsInReply = 1000;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The bridge's word reader: `at` is the byte that ended the previous word (text.size() for
// the end), which is skipped. A word too long to keep leaves `out` as it was; the offset to
// the byte that ended the word is returned.
std::size_t ReadWord(const std::string& text, std::size_t at, std::string& out, bool restOfLine) {
    if (at >= text.size()) {
        out.clear();
        return 0;
    }
    std::string word;
    std::size_t offset = 1;
    for (;;) {
        const char c = at + offset < text.size() ? text[at + offset] : '\0';
        if (c == '\0' || (!restOfLine && IsSeparator(c))) {
            out = word;
            return offset;
        }
        word += c;
        if (++offset == kWordStop) return offset;
    }
}

}  // namespace

void ContactBook::Clear() {
    if (!entries_.empty()) ++changes_;
    entries_.clear();
}

void ContactBook::OnNotification(const std::string& text) {
    std::size_t length = 0;
    while (length < kFirstWordMax && length < text.size() && !IsSeparator(text[length])) ++length;
    const std::string first = text.substr(0, length);
    if (first == "USERS") OnUsers(text, length);
    else if (first == "USER") OnUser(text, length);
    else if (first == "CURRENTUSERHANDLE") ReadWord(text, length, ownHandle_, true);
}

void ContactBook::OnUsers(const std::string& text, std::size_t at) {
    std::vector<BookEntry> listed;
    std::set<std::string> seen;
    std::string word;
    for (int count = 0; at < text.size() && count < kMostWordsInReply; ++count) {
        const std::size_t offset = ReadWord(text, at, word, false);
        at += offset;
        if (offset == kWordStop) {
            while (at < text.size() && !IsSeparator(text[at])) ++at;
            continue;
        }
        if (!word.empty() && word.back() == ',') word.pop_back();
        if (word.empty() || !seen.insert(word).second) continue;
        BookEntry entry;
        entry.handle = word;
        entry.fromReply = true;
        listed.insert(listed.begin() + static_cast<std::ptrdiff_t>(Place(listed, word)), entry);
    }
    // What the client reported of a contact still holds within the attachment.
    std::set<std::string> online;
    for (const BookEntry& e : entries_)
        if (e.online) online.insert(e.handle);
    for (BookEntry& entry : listed) entry.online = online.count(entry.handle) != 0;
    entries_ = std::move(listed);
    ++changes_;
}

void ContactBook::OnUser(const std::string& text, std::size_t at) {
    std::string handle, property, value;
    at += ReadWord(text, at, handle, false);
    at += ReadWord(text, at, property, false);
    ReadWord(text, at, value, true);
    if (property == "BUDDYSTATUS" && value == "3") {
        Insert(entries_, handle);
        return;
    }
    const std::size_t index = IndexOf(handle);
    if (index == kNone) {
        if (property != "ONLINESTATUS" || value == "OFFLINE" || handle == ownHandle_) return;
        const std::size_t added = Insert(entries_, handle);
        if (added != kNone) entries_[added].online = true;
        ++changes_;
        return;
    }
    if (property == "ONLINESTATUS") {
        if (value == "OFFLINE") {
            Remove(handle);
        } else if (!entries_[index].online) {
            entries_[index].online = true;
            ++changes_;
        }
    } else if (property == "BUDDYSTATUS" && value == "1") {
        Remove(handle);
    } else if (property == "FULLNAME") {
        entries_[index].fullName = value;
    }
}

std::size_t ContactBook::Place(const std::vector<BookEntry>& entries, const std::string& handle) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& other = entries[i].handle;
        const std::size_t common = std::min(handle.size(), other.size());
        for (std::size_t k = 0; k < common; ++k) {
            const unsigned char a = static_cast<unsigned char>(handle[k]);
            const unsigned char b = static_cast<unsigned char>(other[k]);
            if (Upper(a) < Upper(b)) return i;
            if (Upper(a) > Upper(b)) break;
            if (a != b) return a < b ? i : i + 1;
        }
    }
    return entries.size();
}

std::size_t ContactBook::Insert(std::vector<BookEntry>& entries, const std::string& handle) {
    if (handle.empty()) return kNone;
    for (const BookEntry& e : entries)
        if (e.handle == handle) return kNone;
    const std::size_t at = Place(entries, handle);
    BookEntry entry;
    entry.handle = handle;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), entry);
    return at;
}

void ContactBook::Remove(const std::string& handle) {
    const std::size_t index = IndexOf(handle);
    if (index == kNone) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    ++changes_;
}

std::size_t ContactBook::IndexOf(const std::string& handle) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].handle == handle) return i;
    return kNone;
}

const BookEntry* ContactBook::Find(const std::string& handle) const {
    const std::size_t index = IndexOf(handle);
    return index == kNone ? nullptr : &entries_[index];
}

bool ContactBook::Holds(const std::string& handle) const {
    const BookEntry* e = Find(handle);
    return e && e->online;
}

bool ContactBook::Empty() const { return First().empty(); }

std::string ContactBook::First() const {
    for (const BookEntry& e : entries_)
        if (e.online) return e.handle;
    return {};
}

std::string ContactBook::After(const std::string& handle) const {
    const std::size_t from = IndexOf(handle);
    if (from == kNone) return {};
    for (std::size_t n = 1; n <= entries_.size(); ++n) {
        const BookEntry& e = entries_[(from + n) % entries_.size()];
        if (e.online) return e.handle;
    }
    return {};
}

std::string ContactBook::Before(const std::string& handle) const {
    const std::size_t from = IndexOf(handle);
    if (from == kNone) return {};
    for (std::size_t n = 1; n <= entries_.size(); ++n) {
        const BookEntry& e = entries_[(from + entries_.size() - n) % entries_.size()];
        if (e.online) return e.handle;
    }
    return {};
}

std::string ContactBook::FirstWithLetter(char letter) const {
    const unsigned char wanted = Upper(static_cast<unsigned char>(letter));
    for (const BookEntry& e : entries_)
        if (e.online && !e.handle.empty() && Upper(static_cast<unsigned char>(e.handle[0])) == wanted) return e.handle;
    return {};
}

}  // namespace sim
