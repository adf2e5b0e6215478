#include "tools/sim/LinkChecker.h"

#include "device/Packet.h"
#include "tools/sim/BridgeFacts.h"

namespace sim {

namespace {

constexpr int kLinkRecovers = 6;
constexpr int kCallStatusWins = 7;

constexpr const char* kAudioIn = "SET AUDIO_IN ";

bool CallStatus(int status) {
    return status == shown::kOffHook || status == shown::kCallOut || status == shown::kInCall ||
           status == shown::kRinging;
}

}  // namespace

std::string LinkChecker::RuleName(int rule) {
    static const char* const kNames[] = {"the link recovers", "a call's status wins"};
    return RuleLabel(rule, kLinkRecovers, kNames);
}

LinkChecker::LinkChecker(const SimBase& base, const SimClient& client, const UserView& user,
                         std::function<std::uint64_t()> clock, std::vector<Violation>& sink)
    : AttachFollower(std::move(clock), sink), base_(base), client_(client), user_(user) {}

void LinkChecker::OnBridgeReport(const std::vector<std::uint8_t>& data) {
    if (!powered_) return;
    heard_ = true;
    lastReport_ = Now();
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict == pkt::Verdict::Valid && packet.length > pkt::kSubCodeAt && data[pkt::kCodeAt] == pkt::CMD_BASE &&
        data[pkt::kSubCodeAt] == pkt::BASE_LOOPBACK)
        retested_ = true;
    Check();
}

void LinkChecker::OnBasePower(bool on) {
    powered_ = on;
    heard_ = false;
    retest_ = on;
    if (on) {
        retestSince_ = Now();
        retested_ = false;
        audioChosen_ = false;
        attachedAtPlug_ = attached_;
    }
    Check();
}

void LinkChecker::OnClientCommand(const std::string& command) {
    if (command.rfind(kAudioIn, 0) == 0) {
        audioKnown_ = true;
        audioChosen_ = true;
    }
    Check();
}

void LinkChecker::Check() {
    if (!user_.BridgeRunning()) return;
    CheckRecovered();
    CheckRetested();
    CheckStatusTruth();
}

// A base that answers as it should (and has nothing odd queued) for a while is ready: its
// status says so and keep-alives flow.
void LinkChecker::CheckRecovered() {
    const std::uint64_t now = Now();
    const bool healthy = base_.Healthy() && base_.Backlog() <= 1 && base_.Oddities() == oddities_;
    oddities_ = base_.Oddities();
    if (!healthy || !healthy_) healthySince_ = now;
    healthy_ = healthy;
    if (!healthy || now - healthySince_ < kSettledMs) return;
    const std::string since = " after the base answered correctly for " + Ms(now - healthySince_);
    if (status_ != shown::kReady && status_ != shown::kFound && !CallStatus(status_))
        Break(kLinkRecovers, "status " + std::to_string(status_) + since);
    if (now - lastReport_ > kReportGapMs)
        Break(kLinkRecovers, "nothing reached the base for " + Ms(now - lastReport_) + since);
}

void LinkChecker::CheckRetested() {
    if (!retest_ || Now() - retestSince_ <= kRetestWithinMs) return;
    retest_ = false;
    if (!retested_) Break(kLinkRecovers, "the base plugged in again was not tested within " + Ms(kRetestWithinMs));
    // Only a client the bridge still listens to is told (not one it left for the other kind).
    if (audioKnown_ && attachedAtPlug_ && attached_ && client_.BridgeAttached() && !audioChosen_)
        Break(kLinkRecovers, "the sound device of the base plugged in again was not chosen within " +
                                 Ms(kRetestWithinMs));
}

bool LinkChecker::CallRings() const {
    // A call the client says rings, whatever it was before.
    for (const auto& entry : client_.Calls().Calls())
        if ((CallTable::Rings(entry.second) || entry.second.status == "RINGING") && toldWhileAttached_.count(entry.first))
            return true;
    return false;
}

void LinkChecker::CheckStatusTruth() {
    const std::uint64_t now = Now();
    const Handsets& handsets = base_.HandsetModel();
    const bool watch = attached_ && Reachable();
    const bool rings = CallRings();
    // Another call's status (a handset dialling, say) may stand while the handsets ring.
    if (ringsHidden_.For(watch && rings && handsets.AnyAlerting() && !CallStatus(status_), now, kStatusGraceMs))
        Break(kCallStatusWins, "the handsets ring for a ringing call, but the status is " + std::to_string(status_));
    const int holder = handsets.LineHolder();
    const bool holds = holder != 0 && handsets.At(holder).offHook;
    if (callHidden_.For(Reachable() && holds && status_ != shown::kOffHook && status_ != shown::kCallOut && status_ != shown::kInCall, now,
                        kStatusGraceMs))
        Break(kCallStatusWins,
              "handset " + std::to_string(holder) + " holds the line, but the status is " + std::to_string(status_));
    if (ringingForNothing_.For(watch && status_ == shown::kRinging && !rings, now, kStatusGraceMs))
        Break(kCallStatusWins, "status 7 (Ringing) for " + Ms(now - ringingForNothing_.since) + " with no call ringing");
}

}  // namespace sim
