// What the simulated client has told the bridge of its contacts while the bridge is attached
// to it: every contact it listed (a contacts reply, "buddy added", an online status for one
// not listed) in the handset's order, and whether it reported each one online since. The
// client's words are read as the bridge reads them (separators, the longest word, the
// doubled blank). A new attachment starts an empty book.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace sim {

struct BookEntry {
    std::string handle;
    bool online = false;     // reported online (any status but OFFLINE) since it was listed
    bool fromReply = false;  // listed by the last contacts reply: the bridge asks for its status
    std::string fullName;
};

class ContactBook {
public:
    // A notification that reached the bridge while it was attached to the client.
    void OnNotification(const std::string& text);
    // A new attachment, or none.
    void Clear();

    const std::vector<BookEntry>& Entries() const { return entries_; }
    const BookEntry* Find(const std::string& handle) const;
    // Listed and reported online: what the handset's menu may show.
    bool Holds(const std::string& handle) const;
    bool Empty() const;  // holds nobody
    // The first contact held, the next and previous one held (round the book), and the first
    // held whose handle begins with the letter in either case; empty when there is none.
    std::string First() const;
    std::string After(const std::string& handle) const;
    std::string Before(const std::string& handle) const;
    std::string FirstWithLetter(char letter) const;
    // The client's own handle as the bridge took it (kept across attachments, as the bridge
    // keeps it).
    const std::string& OwnHandle() const { return ownHandle_; }
    // Bumped by every change of what the book holds.
    std::size_t Changes() const { return changes_; }

    // The handset's order: case-blind, the case deciding between twins (the lower byte first
    // where the new handle meets its twin), a prefix deciding nothing.
    static std::size_t Place(const std::vector<BookEntry>& entries, const std::string& handle);

private:
    void OnUsers(const std::string& text, std::size_t from);
    void OnUser(const std::string& text, std::size_t from);
    // The index of the new entry; npos for an empty or listed handle.
    std::size_t Insert(std::vector<BookEntry>& entries, const std::string& handle);
    void Remove(const std::string& handle);
    std::size_t IndexOf(const std::string& handle) const;

    std::vector<BookEntry> entries_;
    std::string ownHandle_;
    std::size_t changes_ = 0;
};

}  // namespace sim
