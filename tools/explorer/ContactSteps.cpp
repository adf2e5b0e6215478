// The phone-book family: contact lists of every shape (empty, long, duplicates, non-ASCII,
// odd and over-long handles, hundreds under one letter), presence changes, renames and
// buddies coming and going at any moment, the client restarting, logging out and switching
// between Skype and SoftPhone (the tray commands), and any key sequence in the letter menu
// and the '#' entry.
#include "tools/explorer/ContactSteps.h"

#include <string>
#include <vector>

#include "tools/sim/SimClient.h"

namespace explore {

namespace {

// Handles a phone book meets: case twins, prefixes, UTF-8 of two, three and four bytes
// (some cut by the display's 16 bytes or the handset's 20 inside a character), a single-byte
// code page, commas, a handle that looks like an empty entry, the user's own handle.
const char* const kPool[] = {
    "Alice", "alice", "abe", "Bob", "bob", "bobby", "carol", "Dave", "echo123", "Zo\xC3\xAB",
    "\xC3\x89mile", "\xE6\x9D\x8E\xE5\xB0\x8F\xE9\xBE\x8D", "abcdefghijklmno\xC3\xA9t\xC3\xA9",
    "abcdefghijklmnopqrs\xE2\x82\xAC", "live:.cid.7f3a09", "+4930123456", "1st", "_under", "a,b", "x,,",
    "B_EMPTY", "a_handle_longer_than_twenty_bytes", "\xC4rger", "smile\xF0\x9F\x98\x80\xF0\x9F\x98\x80x",
    "bob\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"};
const char* const kStatuses[] = {"ONLINE", "ONLINE", "ONLINE", "OFFLINE", "OFFLINE", "AWAY",
                                 "DND",    "NA",     "SKYPEME", "INVISIBLE"};
const char* const kNames[] = {"Bob Builder", "\xC3\x89mile Zola", "  two  blanks ", "", "x"};
const char kMenuKeys[] = "2223334567789***DDUU11##0A+5";
const char kEntryKeys[] = "0123456789*#UD+A";
const char kHandleBytes[] = "abcdefghijklmnopqrstuvwxyz0123456789._-";
const unsigned kRuns[] = {100, 300, 500, 1000, 2000, 3500};

std::string Generated(Choices& c, char first) {
    std::string handle(1, first);
    for (unsigned i = 0, n = 2 + c.Pick(10); i < n; ++i) handle += kHandleBytes[c.Pick(sizeof kHandleBytes - 1)];
    return handle;
}

char AnyLetter(Choices& c) {
    const char letter = static_cast<char>('a' + c.Pick(26));
    return c.Chance(30) ? static_cast<char>(letter - 32) : letter;
}

// A list of one of the shapes the family explores.
std::vector<std::string> MakeList(Choices& c) {
    std::vector<std::string> out;
    switch (c.Pick(6)) {
        case 0: break;  // empty
        case 1:
            for (unsigned i = 0, n = 2 + c.Pick(7); i < n; ++i) out.push_back(PickOf(c, kPool));
            break;
        case 2:  // the same contacts more than once
            for (unsigned i = 0, n = 3 + c.Pick(4); i < n; ++i) {
                const std::string handle = PickOf(c, kPool);
                for (unsigned k = 0, m = 2 + c.Pick(2); k < m; ++k) out.push_back(handle);
            }
            break;
        case 3:
            for (unsigned i = 0, n = 100 + c.Pick(200); i < n; ++i) out.push_back(Generated(c, AnyLetter(c)));
            break;
        case 4:  // hundreds under one letter
            for (unsigned i = 0, n = 150 + c.Pick(150); i < n; ++i)
                out.push_back(Generated(c, c.Chance(10) ? AnyLetter(c) : (c.Chance(70) ? 'b' : 'B')));
            break;
        default:  // a handle too long to keep first, then ordinary ones
            out.push_back(std::string(99 + c.Pick(60), 'q'));
            for (unsigned i = 0, n = 1 + c.Pick(6); i < n; ++i) out.push_back(PickOf(c, kPool));
            break;
    }
    return out;
}

}  // namespace

std::string ContactSteps::SomeHandle(Sequence& s) {
    Choices& c = s.Choose();
    if (!handles_.empty() && c.Chance(60)) return handles_[c.Pick(static_cast<unsigned>(handles_.size()))];
    return c.Chance(70) ? std::string(PickOf(c, kPool)) : Generated(c, AnyLetter(c));
}

// The client gets a new contact list; announced, it sends it as its contacts reply.
bool ContactSteps::NewList(Sequence& s, bool announce) {
    Choices& c = s.Choose();
    handles_ = MakeList(c);
    std::string contacts = "client contacts";
    std::string users = "USERS";
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        contacts += " " + handles_[i] + ":" + PickOf(c, kStatuses);
        users += (i ? ", " : " ") + handles_[i];
    }
    if (!s.Play(contacts)) return false;
    if (!announce || !s.clientRunning) return true;
    if (!s.Play("client say " + users)) return false;
    if (!c.Chance(50)) return true;
    // The client answers the whole sweep at once.
    s.CollectCommands();
    if (!s.PayDue(true) || !s.Play("client auto on") || !s.Play("run 200") || !s.Play("client auto off")) return false;
    s.SkipCommands();
    return true;
}

bool ContactSteps::Boot(Sequence& s) {
    handles_ = {"Alice", "bob", "carol", "dave"};  // the explorer's boot list
    return s.Choose().Chance(20) || NewList(s, true);
}

bool ContactSteps::PresenceStep(Sequence& s) {
    if (!s.clientRunning) return s.Play("run 300");
    Choices& c = s.Choose();
    const std::string handle = SomeHandle(s);
    if (c.Chance(20)) return s.Play("client say USER " + handle + " FULLNAME " + PickOf(c, kNames));
    return s.Play("client say USER " + handle + " ONLINESTATUS " + PickOf(c, kStatuses));
}

bool ContactSteps::BuddyStep(Sequence& s) {
    if (!s.clientRunning) return s.Play("run 300");
    const char* const kBuddy[] = {"3", "3", "1", "2"};
    return s.Play("client say USER " + SomeHandle(s) + " BUDDYSTATUS " + PickOf(s.Choose(), kBuddy));
}

bool ContactSteps::MenuStep(Sequence& s) {
    Choices& c = s.Choose();
    const std::string who = "handset " + std::to_string(1 + c.Pick(static_cast<unsigned>(s.Limit().handsets))) + " ";
    switch (c.Pick(10)) {
        case 0: return s.Play(who + "talk");
        case 1: return s.Play(who + "menu");
        case 2: return s.PlayIfRealistic(who + "hangup");
        default: return s.Play(who + "key " + std::string(1, kMenuKeys[c.Pick(sizeof kMenuKeys - 1)]));
    }
}

// '#', then keys, then (mostly) the pause after which the entry is dialled.
bool ContactSteps::HashEntryStep(Sequence& s) {
    Choices& c = s.Choose();
    const std::string who = "handset " + std::to_string(1 + c.Pick(static_cast<unsigned>(s.Limit().handsets))) + " ";
    if (!s.Play(who + "key #")) return false;
    for (unsigned i = 0, n = c.Pick(7); i < n; ++i)
        if (!s.Play(who + "key " + std::string(1, kEntryKeys[c.Pick(sizeof kEntryKeys - 1)]))) return false;
    return c.Chance(30) || s.Play("run 3500");
}

// The client restarts, logs out, or the user switches between Skype and SoftPhone.
bool ContactSteps::ClientStep(Sequence& s) {
    Choices& c = s.Choose();
    switch (c.Pick(5)) {
        case 0: {
            if (s.clientRunning) {
                s.ClientGone();
                if (!s.Play("client stop")) return false;
            }
            s.clientRunning = true;
            return s.Play("client start " + s.clientKind) && s.Play("client attach 32769");
        }
        case 1: {
            // Both change: the bridge looks for the other kind, which is the one running.
            const std::string kind = s.bridgeKind == "skype" ? "softphone" : "skype";
            if (!s.Play(kind == "skype" ? "ui command 32775" : "ui command 32776")) return false;
            s.bridgeKind = s.clientKind = kind;
            if (s.clientRunning) {
                s.ClientGone();
                if (!s.Play("client stop")) return false;
            }
            s.clientRunning = true;
            return s.Play("client start " + kind) && s.Play("client attach 32769");
        }
        case 2: {
            // Only the bridge changes: the client running is not the kind it looks for.
            s.bridgeKind = s.bridgeKind == "skype" ? "softphone" : "skype";
            return s.Play(s.bridgeKind == "skype" ? "ui command 32775" : "ui command 32776");
        }
        case 3:
            if (!s.clientRunning) break;
            return s.Play("client say CONNSTATUS LOGGEDOUT");
        default:
            if (!s.clientRunning) break;
            return s.Play("client say CURRENTUSERHANDLE " + SomeHandle(s));
    }
    return s.Play("run 500");
}

bool ContactSteps::Step(Sequence& s) {
    Choices& c = s.Choose();
    const unsigned roll = c.Pick(100);
    if (roll < 35) return MenuStep(s);
    if (roll < 45) return HashEntryStep(s);
    if (roll < 60) return PresenceStep(s);
    if (roll < 67) return BuddyStep(s);
    if (roll < 72) return NewList(s, true);
    if (roll < 80) {
        // The client answers several questions of the sweep in a row.
        for (unsigned i = 0, n = 2 + c.Pick(40); i < n; ++i) {
            s.CollectCommands();
            if (!s.PayDue(true)) return false;
        }
        return true;
    }
    if (roll < 88) return ClientStep(s);
    return s.Play("run " + std::to_string(PickOf(c, kRuns)));
}

// The bridge and the client both back to Skype, the client running and attached.
bool ContactSteps::Quiesce(Sequence& s) {
    if (s.bridgeKind != "skype" && !s.Play("ui command 32775")) return false;
    if (s.clientKind != "skype" || !s.clientRunning) {
        if (s.clientRunning) {
            s.ClientGone();
            if (!s.Play("client stop")) return false;
        }
        if (!s.Play("client start skype") || !s.Play("client attach 32769")) return false;
    }
    s.bridgeKind = s.clientKind = "skype";
    s.clientRunning = true;
    for (int round = 0; round < 2; ++round) {
        if (!s.Play("run 2000")) return false;
        s.CollectCommands();
        if (!s.PayDue(true)) return false;
    }
    return true;
}

}  // namespace explore
