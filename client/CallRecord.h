// What the client has told the bridge of its calls beyond the one the handsets act on:
// the incoming calls that still ring at the client, and the calls the handsets placed that
// are still waiting for their id. The handsets ring for a waiting call as soon as they are
// free, and a placed call the handset gave up is finished the moment the client names it.
#pragma once
#include <deque>
#include <string>
#include <vector>

class CallRecord {
public:
    // ---- calls the handsets placed, in the order placed ----
    void Placed() { awaiting_.push_back(false); }
    // The handset went on hook: it wants none of its calls still waiting for their id.
    void AbandonPlaced();
    bool AwaitingName() const { return !awaiting_.empty(); }
    // The oldest placed call got its id (its ROUTING); true when the handset had given it up.
    bool NamePlaced();
    // The client refused the oldest CALL (an ERROR): no id will come for it.
    void PlacedRefused();

    // ---- incoming calls ringing at the client, in the order they began ----
    void Ringing(const std::string& id);
    // Answered (here or at the computer) or ended: it no longer rings.
    void StopsRinging(const std::string& id);
    bool Rings(const std::string& id) const;
    // The call that has rung longest and still rings; empty when none does.
    std::string OldestRinging() const { return ringing_.empty() ? std::string() : ringing_.front(); }

    // The client is gone, and its calls with it.
    void Clear();

private:
    std::deque<bool> awaiting_;  // given up by the handset?
    std::vector<std::string> ringing_;
};
