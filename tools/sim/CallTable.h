// What the VoIP client knows of its calls: each id with where it came from and its last
// status. Kept up to date from the commands the client obeys and the notifications it sends.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace sim {

enum class CallOrigin {
    Incoming,  // first reported ringing
    Placed,    // the answer to a CALL command
    Computer,  // placed or taken at the computer without the bridge
};

struct SimCall {
    CallOrigin origin = CallOrigin::Incoming;
    std::string status;            // the last status the client gave it
    std::string target;            // what a placed call was placed to
    bool told = false;             // the bridge has had a notification for it
    bool answeredByBridge = false; // the bridge asked to take it up while it rang
    int placedSeq = 0;             // which CALL command a placed call answers (1, 2, ...)
    bool endedRinging = false;     // the bridge ended it while it rang here
    bool answered = false;         // it has been under way (in progress or held; incoming: any state but ringing)
    // Every call the table makes gets a serial of its own: a client that reuses an ended (or
    // forgotten) call's id starts a new call, and onlookers can tell.
    int serial = 0;
};

class CallTable {
public:
    // A statuses that ends a call: FINISHED, MISSED, REFUSED, FAILED, BUSY, CANCELLED.
    static bool IsEnd(const std::string& status);
    // A known call status word.
    static bool IsStatus(const std::string& status);
    static std::vector<std::string> NotificationWords(const std::string& text);

    // The client obeys a command of the bridge. With `autoName` a CALL gets its id at once
    // (returned); otherwise it waits for the client to name it with a ROUTING.
    std::string OnCommand(const std::string& command, bool autoName);
    // A notification the client sent reached the bridge.
    void OnNotification(const std::string& text);
    // The client's process ended or its user logged out: its calls are gone.
    void EndAll();
    // The client refused to place the oldest CALL not yet named.
    void DropOldestUnnamed();
    // Drops the ended calls (long runs that would otherwise keep every call ever made).
    void ForgetEnded();

    const std::map<std::string, SimCall>& Calls() const { return calls_; }
    const SimCall* Find(const std::string& id) const;
    std::size_t UnnamedPlaced() const { return unnamed_.size(); }
    // The sequence number of the last CALL command (0 before the first).
    int LastPlacedSeq() const { return placedSeq_; }
    // Ringing at the client: an incoming call not yet answered or ended.
    static bool Rings(const SimCall& call) {
        return call.origin == CallOrigin::Incoming && !call.answered && !IsEnd(call.status);
    }
    // Under way at the client: answered, routing or held, not ended.
    static bool Open(const SimCall& call);

private:
    void SetStatus(const std::string& id, const std::string& status);

    std::map<std::string, SimCall> calls_;
    struct Unnamed {
        std::string target;
        int seq;
    };
    std::deque<Unnamed> unnamed_;  // CALL commands waiting for their id
    int nextId_ = 100;
    int placedSeq_ = 0;
    int nextSerial_ = 1;
};

}  // namespace sim
