// One explored sequence as it is being played: the random choices, the lines played so far,
// and the client's side of the conversation (which replies it owes the bridge, and when it
// gives them). Step families draw on it.
#pragma once
#include <string>
#include <vector>

#include "tools/explorer/Choices.h"
#include "tools/explorer/Player.h"

namespace explore {

struct Limits {
    int maxSteps = 40;   // random steps before the closing probe
    int maxCalls = 3;    // call ids the client uses (incoming, placed and its own)
    int handsets = 3;    // handsets 1 .. this many act
    std::string family;  // only the family of this name (calls, contacts, link, settings); empty: all
};

class Sequence {
public:
    Sequence(Choices& choices, const Limits& limits) : choices_(choices), limits_(limits) {}

    Choices& Choose() { return choices_; }
    const Limits& Limit() const { return limits_; }
    Player& Play() { return player_; }
    bool Play(const std::string& line) { return player_.Play(line); }
    // Plays the line if a real peer could do it now, else does nothing (true).
    bool PlayIfRealistic(const std::string& line);
    sim::SimClient& Client() { return player_.Harness().Client(); }
    sim::SimBase& Base() { return player_.Harness().Base(); }
    const sim::Handsets& HandsetModel() { return player_.Harness().Base().HandsetModel(); }

    // ---- the client's replies ----
    // Looks at the commands the client got since the last look and owes their replies.
    void CollectCommands();
    // Plays the replies that are due (every one owed, with `everything`).
    bool PayDue(bool everything);
    // Forgets what a client that vanished owed.
    void ClientGone();
    // Takes the commands so far as seen without owing anything for them (the client
    // answered them by itself).
    void SkipCommands() { commandsSeen_ = Client().Commands().size(); }

    // ---- calls and ids ----
    bool CanUseCall() const { return callsUsed_ < limits_.maxCalls; }
    std::string NewIncomingId();
    std::string NewOwnId();
    bool NamesOwed() const { return namesOwed_ > 0; }
    bool clientRunning = true;
    bool basePlugged = true;
    // The kind of client running ("skype" or "softphone"), and the kind the bridge looks for.
    std::string clientKind = "skype";
    std::string bridgeKind = "skype";

    Outcome TakeResult() { return player_.TakeResult(); }

private:
    struct Owed {
        std::string text;
        int steps = 0;  // steps still to wait; 0 pays at the next chance
    };
    void Owe(const std::string& text, bool mayBeLost);

    Choices& choices_;
    Limits limits_;
    Player player_;
    std::vector<Owed> owed_;
    std::size_t commandsSeen_ = 0;
    int callsUsed_ = 0;
    int nextIncoming_ = 200;
    int nextPlaced_ = 300;
    int nextOwn_ = 400;
    int namesOwed_ = 0;
};

template <typename T, std::size_t N>
const T& PickOf(Choices& c, const T (&items)[N]) {
    return items[c.Pick(static_cast<unsigned>(N))];
}

}  // namespace explore
