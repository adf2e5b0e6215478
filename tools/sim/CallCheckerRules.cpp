// The call checker's rules that depend on time passing, judged after every event.
#include "tools/sim/CallChecker.h"

#include "tools/sim/BridgeFacts.h"

namespace sim {

namespace {

bool UnderWay(const SimCall& call) { return call.answered && !CallTable::IsEnd(call.status); }

}  // namespace

// What is kept of each call goes once the client's table has dropped the call.
void CallChecker::Prune() {
    const auto& calls = client_.Calls().Calls();
    if (calls.size() >= tableSize_) {
        tableSize_ = calls.size();
        return;
    }
    tableSize_ = calls.size();
    const auto gone = [&calls](const std::string& id) { return calls.find(id) == calls.end(); };
    for (auto it = held_.begin(); it != held_.end();) it = gone(it->first) ? held_.erase(it) : ++it;
    for (auto it = askedAt_.begin(); it != askedAt_.end();) it = gone(it->first) ? askedAt_.erase(it) : ++it;
    for (auto it = serial_.begin(); it != serial_.end();) it = gone(it->first) ? serial_.erase(it) : ++it;
    for (auto it = adopted_.begin(); it != adopted_.end();) it = gone(*it) ? adopted_.erase(it) : ++it;
    for (auto it = toldWhileAttached_.begin(); it != toldWhileAttached_.end();)
        it = gone(*it) ? toldWhileAttached_.erase(it) : ++it;
}

void CallChecker::Check() {
    Prune();
    ForgetReusedIds();
    // What the client says while the bridge does not listen is not heard; a bridge that let it
    // go (another client chosen) starts afresh with the next attachment.
    if (bridgeAttached_ && !client_.BridgeAttached()) toldWhileAttached_.clear();
    bridgeAttached_ = client_.BridgeAttached();
    AdoptNamedCalls();
    CheckNothingLeftOpen();
    CheckNothingLost();
    CheckConnectedStatus();
}

void CallChecker::CheckNothingLeftOpen() {
    if (!attached_) return;
    for (auto& entry : held_) {
        Held& h = entry.second;
        if (!h.ever || !h.letGo || h.reported) continue;
        const SimCall* call = client_.Calls().Find(entry.first);
        if (!call || !CallTable::Open(*call)) continue;
        const std::uint64_t waited = Now() - h.letGoAt;
        if (waited <= h.grace) continue;
        h.reported = true;
        Break(kNothingLeftOpen, entry.first, "still " + call->status + " at the client " + Ms(waited) +
                                                 " after no handset held it");
    }
}

void CallChecker::CheckNothingLost() {
    std::string ringing;
    for (const auto& entry : client_.Calls().Calls())
        if (CallTable::Rings(entry.second) && toldWhileAttached_.count(entry.first)) ringing = entry.first;
    const std::uint64_t now = Now();
    if (answerPending_ && now - answerAt_ > kAnswerWithinMs) {
        answerPending_ = false;
        if (!ringing.empty())
            Break(kNothingLost, ringing, "handset " + std::to_string(answerBy_) + " answered the ring, but no call was taken up");
    }
    // Only while the bridge listens to the client: a client it let go (another kind chosen)
    // rings for nobody.
    const bool condition = !ringing.empty() && !base_.HandsetModel().AnyOffHook() && CanReachHandsets() && attached_ &&
                           client_.BridgeAttached();
    if (!condition) {
        ringing_ = false;
        return;
    }
    if (!ringing_) {
        ringing_ = true;
        ringSince_ = now;
        // Begun by the report just written (the base found again): an alert in it counts.
        ringSinceSeq_ = inReport_ ? reportSeq_ - 1 : reportSeq_;
        // The handsets still ring from before: the ring goes on, it need not start again.
        if (base_.HandsetModel().AnyAlerting() && lastAlertSeq_ > 0) {
            ringSince_ = lastAlert_;
            ringSinceSeq_ = lastAlertSeq_ - 1;
        }
    }
    // The ring must be (re)started after the condition began, and after any release of it.
    std::uint64_t start = ringSince_;
    std::uint64_t startSeq = ringSinceSeq_;
    if (lastStopSeq_ > startSeq && lastStopSeq_ > lastAlertSeq_) {
        start = lastStop_;
        startSeq = lastStopSeq_;
    }
    if (lastAlertSeq_ <= startSeq) {
        if (now - start > kAlertWithinMs)
            Break(kNothingLost, ringing, "rings at the client with every handset idle, but no alert for " + Ms(now - start));
    } else if (now - lastAlert_ > kRepeatWithinMs) {
        Break(kNothingLost, ringing, "the alert was not repeated for " + Ms(now - lastAlert_));
    }
}

void CallChecker::CheckConnectedStatus() {
    const int holder = base_.HandsetModel().LineHolder();
    const bool unfounded = status_ == shown::kInCall && CanReachHandsets() && attached_ &&
                           !(holder != 0 && HoldsLiveCall(holder));
    if (connectedBad_.For(unfounded, Now(), kConnectedGraceMs))
        Break(kConnectedMeansConnected, "", "status 5 (connected) for " + Ms(Now() - connectedBad_.since) +
                                                " with no call of the handset's under way");
}

bool CallChecker::HoldsLiveCall(int handset) const {
    for (const auto& entry : held_) {
        if (!entry.second.handsets.count(handset)) continue;
        const SimCall* call = client_.Calls().Find(entry.first);
        auto asked = askedAt_.find(entry.first);
        const bool askedRecently = asked != askedAt_.end() && Now() - asked->second <= kAskedRecentlyMs;
        if ((call && UnderWay(*call)) || askedRecently) return true;
    }
    return false;
}

}  // namespace sim
