// The call checker: from what the simulated client knows of its calls and what the
// simulated base knows of its handsets, it checks after every event that no call is left
// open, lost, shown connected unanswered, or taken for another, and names the rule and the
// call that broke it.
//
//   1 nothing left open   a call a handset placed, answered or joined is ended at the client
//                         soon after no handset holds it any more
//   2 nothing lost        a call ringing at the client rings the idle handsets within 1.5 s,
//                         again every 4 s, and a handset that answers takes it
//   3 connected means connected  "connected" (the packet, or status 5) only for a call the
//                         client has under way or was just asked to take up, by a handset that
//                         joined it; another handset's keys and hang-up never touch it
//   4 the right party     a CALL comes from a handset on the line (what it carries is the
//                         phone-book checker's rule 11); the bridge never ends a ringing call
//                         as if it were its own
//   5 always live         checked by the explorer's closing probe (a new call rings, is
//                         answered and finished)
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/sim/AttachFollower.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace sim {

class CallChecker : public AttachFollower {
public:
    // Grace times: how long the bridge may take before a rule counts as broken.
    static constexpr std::uint64_t kAlertWithinMs = 1500;
    static constexpr std::uint64_t kRepeatWithinMs = 4000 + 700;
    static constexpr std::uint64_t kEndWithinMs = 1500;        // after the last handset let go
    static constexpr std::uint64_t kEndAfterLossMs = 6000;     // after the base was unplugged
    static constexpr std::uint64_t kAnswerWithinMs = 1000;
    static constexpr std::uint64_t kConnectedGraceMs = 1000;
    static constexpr std::uint64_t kAskedRecentlyMs = 1500;

    CallChecker(const SimBase& base, const SimClient& client, std::function<std::uint64_t()> clock,
                std::vector<Violation>& sink);

    void Check() override;
    static std::string RuleName(int rule);  // "rule 2 (nothing lost)"

    // PeerObserver.
    void OnBaseEvent(const HandsetEvent& event) override;
    void OnBridgeReport(const std::vector<std::uint8_t>& data) override;
    void OnBasePower(bool on) override;
    void OnClientCommand(const std::string& command) override;

private:
    enum Rule { kNothingLeftOpen = 1, kNothingLost, kConnectedMeansConnected, kRightParty };

    void BeforeNotification() override;
    // Ringing calls count once the bridge listens to the attached client.
    bool Hears() const override { return attached_ && client_.BridgeAttached(); }
    // A handset other than this one is off hook (on the line, dialling or talking).
    bool AnotherOffHook(int handset) const;
    struct Held {
        std::set<int> handsets;          // handsets holding it now
        bool ever = false;               // some handset placed, answered or joined it
        // Placed with a dial string, whose packet names no handset: the bridge cannot tell
        // its handset from another, so any handset's hang-up may end it.
        bool anyHandset = false;
        bool letGo = false;              // ... and none holds it any more
        std::uint64_t letGoAt = 0;
        std::uint64_t grace = 0;
        bool reported = false;
    };

    void Break(int rule, const std::string& call, const std::string& text) { Checker::Break(RuleName(rule), call, text); }
    void AdoptNamedCalls();
    void ForgetReusedIds();
    void Prune();
    void LetGo(int handset, std::uint64_t grace);
    void Hold(const std::string& id, int handset);
    void HeldByLostHandset(const std::string& id);
    bool BaseLostUnnoticed() const;
    bool HeldBy(const std::string& id, int handset) const;
    void CheckPlaced(const std::string& target);
    void CheckNothingLeftOpen();
    void CheckNothingLost();
    void CheckConnectedStatus();
    // The handset holds a call the client has under way, or was just asked to take up.
    bool HoldsLiveCall(int handset) const;
    bool CanReachHandsets() const { return powered_ && found_; }

    const SimBase& base_;
    const SimClient& client_;

    std::map<std::string, Held> held_;
    std::set<std::string> adopted_;         // placed calls already given to their handset
    std::map<std::string, int> serial_;     // which call under each id the checker knows
    std::size_t tableSize_ = 0;             // calls in the client's table at the last look
    std::map<int, int> placerBySeq_;        // CALL command -> the handset that dialled it
    std::map<int, std::uint64_t> placedLetGo_;  // CALL commands given up before their name came, and the grace
    std::set<int> placedByDialString_;      // CALL commands that answered a dial string
    std::map<std::string, std::uint64_t> askedAt_;  // last take-up request per call
    HandsetEvent lastEvent_;

    bool powered_ = false;
    bool found_ = false;       // the bridge wrote to the base since it was powered
    std::uint64_t lossAt_ = 0;
    bool lossSeen_ = false;
    bool bridgeAttached_ = false;  // the bridge listens to the client (it may have let it go)
    bool dnd_ = false;

    // Reports to the base are numbered, so that an alert and a release of the same
    // millisecond keep their order.
    std::uint64_t reportSeq_ = 0;
    bool inReport_ = false;           // checking the effect of the report just written
    bool ringing_ = false;            // a call rings at the client with every handset idle
    std::uint64_t ringSince_ = 0;
    std::uint64_t ringSinceSeq_ = 0;
    std::uint64_t lastAlert_ = 0;
    std::uint64_t lastAlertSeq_ = 0;
    std::uint64_t lastStop_ = 0;      // the last release of handsets
    std::uint64_t lastStopSeq_ = 0;
    bool answerPending_ = false;
    std::uint64_t answerAt_ = 0;
    int answerBy_ = 0;
    Lasting connectedBad_;
};

}  // namespace sim
