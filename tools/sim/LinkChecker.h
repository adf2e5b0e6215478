// The link checker: from what the base hears and says, what the client is told and the status
// the information window shows, it checks after every event that the base link recovers and
// that the status tells the truth about calls.
//
//   6 the link recovers     once the base is present and answers correctly for 6 s, the
//                           status is "USB READY" (2 or 8) or a call's, and the base hears
//                           from the bridge at least once a second; a base plugged in again
//                           is tested again and its sound device chosen again
//   7 a call's status wins  no link-test result (nor anything else) hides a call: handsets
//                           that ring for a ringing call show a call's status, a handset that holds
//                           the line shows a call's status, and "Ringing" means a call rings
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/sim/AttachFollower.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace sim {

class LinkChecker : public AttachFollower {
public:
    static constexpr std::uint64_t kSettledMs = 6000;     // answering correctly this long: ready
    static constexpr std::uint64_t kReportGapMs = 1000;   // keep-alives go every 400 ms
    static constexpr std::uint64_t kRetestWithinMs = 4500;  // found within 2 s, tested 1.2 s later
    static constexpr std::uint64_t kStatusGraceMs = 1000;

    LinkChecker(const SimBase& base, const SimClient& client, const UserView& user,
                std::function<std::uint64_t()> clock, std::vector<Violation>& sink);

    void Check() override;
    static std::string RuleName(int rule);  // "rule 6 (the link recovers)"

    // PeerObserver.
    void OnBridgeReport(const std::vector<std::uint8_t>& data) override;
    void OnBasePower(bool on) override;
    void OnClientCommand(const std::string& command) override;

private:
    void Break(int rule, const std::string& text) { Checker::Break(RuleName(rule), "", text); }
    void CheckRecovered();
    void CheckRetested();
    void CheckStatusTruth();
    bool CallRings() const;  // a call the bridge was told of rings at the client
    bool Reachable() const { return powered_ && heard_; }

    const SimBase& base_;
    const SimClient& client_;
    const UserView& user_;

    bool powered_ = false;
    bool heard_ = false;  // the bridge wrote to the base since it was powered
    std::uint64_t lastReport_ = 0;
    // Answering correctly since.
    bool healthy_ = false;
    std::uint64_t healthySince_ = 0;
    int oddities_ = 0;
    // A base plugged in again, waiting to be tested and to have its sound device chosen.
    bool retest_ = false;
    std::uint64_t retestSince_ = 0;
    bool retested_ = false;
    bool audioChosen_ = false;
    bool audioKnown_ = false;  // this system chooses the base's sound device at all
    bool attachedAtPlug_ = false;

    Lasting ringsHidden_;
    Lasting callHidden_;
    Lasting ringingForNothing_;
};

}  // namespace sim
