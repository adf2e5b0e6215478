#include "tools/sim/CallChecker.h"

#include "device/Packet.h"
#include "tools/sim/ApiWords.h"
#include "tools/sim/BridgeFacts.h"

namespace sim {

namespace {

constexpr int kLostHandset = -1;  // dialled on a base that was already gone

}  // namespace

std::string CallChecker::RuleName(int rule) {
    static const char* const kNames[] = {"nothing left open", "nothing lost", "connected means connected",
                                         "the right party", "always live"};
    return RuleLabel(rule, kNothingLeftOpen, kNames);
}

CallChecker::CallChecker(const SimBase& base, const SimClient& client, std::function<std::uint64_t()> clock,
                         std::vector<Violation>& sink)
    : AttachFollower(std::move(clock), sink), base_(base), client_(client) {}

bool CallChecker::HeldBy(const std::string& id, int handset) const {
    auto it = held_.find(id);
    return it != held_.end() && it->second.handsets.count(handset) != 0;
}

void CallChecker::Hold(const std::string& id, int handset) {
    if (handset == 0 || id.empty()) return;
    Held& h = held_[id];
    h.handsets.insert(handset);
    h.ever = true;
    h.letGo = false;
    // On a line taken with a dial string the bridge cannot tell this handset from another.
    if (base_.HandsetModel().At(handset).dialledFromIdle) h.anyHandset = true;
}

void CallChecker::LetGo(int handset, std::uint64_t grace) {
    for (auto& entry : held_) {
        Held& h = entry.second;
        if (h.anyHandset && !h.handsets.empty()) h.handsets = {handset};
        if (handset != 0 && h.handsets.erase(handset) == 0) continue;
        if (handset == 0) {
            if (h.handsets.empty()) continue;
            h.handsets.clear();
        }
        if (!h.handsets.empty()) continue;
        h.letGo = true;
        h.letGoAt = Now();
        h.grace = grace;
    }
    for (const auto& placed : placerBySeq_)
        if (handset == 0 || placed.second == handset) placedLetGo_[placed.first] = grace;
}

// A client that starts a new call under an ended (or forgotten) call's id: what was known of
// the old one does not carry over.
void CallChecker::ForgetReusedIds() {
    for (const auto& entry : client_.Calls().Calls()) {
        int& known = serial_[entry.first];
        if (known == entry.second.serial) continue;
        known = entry.second.serial;
        held_.erase(entry.first);
        askedAt_.erase(entry.first);
        adopted_.erase(entry.first);
        toldWhileAttached_.erase(entry.first);
        Forgive(entry.first);
    }
}

// A placed call that the client has just named belongs to the handset that dialled it.
void CallChecker::AdoptNamedCalls() {
    for (const auto& entry : client_.Calls().Calls()) {
        const SimCall& call = entry.second;
        if (call.origin != CallOrigin::Placed || adopted_.count(entry.first)) continue;
        auto placer = placerBySeq_.find(call.placedSeq);
        if (placer == placerBySeq_.end()) continue;  // its CALL is still being looked at
        adopted_.insert(entry.first);
        const bool byDialString = placedByDialString_.erase(call.placedSeq) != 0;
        // Named while the bridge no longer listened (another client chosen): it never learnt
        // the call's id, so it cannot end it.
        if (!client_.BridgeAttached()) {
            placerBySeq_.erase(placer);
            continue;
        }
        if (placer->second == 0) continue;
        if (placer->second == kLostHandset) {
            HeldByLostHandset(entry.first);
            placerBySeq_.erase(placer);
            continue;
        }
        Held& h = held_[entry.first];
        h.ever = true;
        h.anyHandset = byDialString;
        auto letGo = placedLetGo_.find(call.placedSeq);
        if (letGo != placedLetGo_.end()) {
            h.letGo = true;
            h.letGoAt = Now();
            h.grace = letGo->second;
            placedLetGo_.erase(letGo);
        } else {
            h.handsets.insert(placer->second);
        }
        placerBySeq_.erase(placer);
    }
    // CALLs the client refused never get a name: only the newest, still waiting, are kept.
    const int oldestWaiting = client_.Calls().LastPlacedSeq() - static_cast<int>(client_.Calls().UnnamedPlaced()) + 1;
    placerBySeq_.erase(placerBySeq_.begin(), placerBySeq_.lower_bound(oldestWaiting));
    placedLetGo_.erase(placedLetGo_.begin(), placedLetGo_.lower_bound(oldestWaiting));
    placedByDialString_.erase(placedByDialString_.begin(), placedByDialString_.lower_bound(oldestWaiting));
}

bool CallChecker::AnotherOffHook(int handset) const {
    const Handsets& handsets = base_.HandsetModel();
    for (int h = 1; h <= Handsets::kCount; ++h)
        if (h != handset && handsets.At(h).offHook) return true;
    return false;
}

void CallChecker::OnBaseEvent(const HandsetEvent& event) {
    lastEvent_ = event;
    switch (event.kind) {
        case HandsetEvent::Kind::HangUp:
        case HandsetEvent::Kind::LineReleased:
            if (event.handset != 0) LetGo(event.handset, kEndWithinMs);
            break;
        default:
            break;
    }
    // Lifting a ringing handset answers; a dial string is a call of the handset's own. With
    // another handset already on the line no handset is free, so no answer is owed.
    if (event.wentOffHook && event.wasAlerting && attached_ && event.kind != HandsetEvent::Kind::DialString &&
        !AnotherOffHook(event.handset)) {
        answerPending_ = true;
        answerAt_ = Now();
        answerBy_ = event.handset;
    }
    Check();
}

void CallChecker::OnBridgeReport(const std::vector<std::uint8_t>& data) {
    if (!powered_) return;
    found_ = true;
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= pkt::kHandsetAt) return;
    const int handset = data[pkt::kHandsetAt];
    ++reportSeq_;
    inReport_ = true;
    switch (data[pkt::kCodeAt]) {
        case pkt::CMD_ALERT:
            lastAlert_ = Now();
            lastAlertSeq_ = reportSeq_;
            break;
        case pkt::CMD_RELEASE:
            lastStop_ = Now();
            lastStopSeq_ = reportSeq_;
            LetGo(handset == pkt::kAllHandsets ? 0 : handset, kEndWithinMs);
            break;
        case pkt::CMD_CONNECTED:
            if (!HoldsLiveCall(handset))
                Break(kConnectedMeansConnected, "",
                      "handset " + std::to_string(handset) + " shown connected with no call of its own under way");
            break;
        default:
            break;
    }
    Check();
    inReport_ = false;
}

void CallChecker::OnBasePower(bool on) {
    powered_ = on;
    found_ = false;
    if (!on) {
        lossAt_ = Now();
        lossSeen_ = true;
        LetGo(0, kEndAfterLossMs);
    }
    Check();
}

// A call the bridge took up or placed for a handset while the base was gone (before the
// bridge could notice) is held by nobody: it must be ended once the loss is noticed.
void CallChecker::HeldByLostHandset(const std::string& id) {
    Held& h = held_[id];
    h.ever = true;
    h.letGo = true;
    h.letGoAt = Now();
    h.grace = kEndAfterLossMs;
}

// The base went away (and may be back already) so recently that the bridge cannot have
// noticed yet: it may still act for handsets that lost the line.
bool CallChecker::BaseLostUnnoticed() const {
    return !powered_ || (lossSeen_ && Now() - lossAt_ < kEndAfterLossMs);
}

// Who placed the CALL; what it carries is the phone-book checker's to judge.
void CallChecker::CheckPlaced(const std::string& target) {
    const Handsets& handsets = base_.HandsetModel();
    const int holder = handsets.LineHolder();
    const int seq = client_.Calls().LastPlacedSeq();
    placerBySeq_[seq] = holder;
    const bool holderThere = holder != 0 && handsets.At(holder).offHook;
    if (!holderThere && BaseLostUnnoticed()) {
        placerBySeq_[seq] = kLostHandset;
        return;
    }
    if (!holderThere) {
        Break(kRightParty, "", "\"CALL " + target + "\" with no handset dialling");
        return;
    }
    const HandsetState& h = handsets.At(holder);
    if (h.dialString && h.dialledFromIdle) placedByDialString_.insert(seq);
}

void CallChecker::OnClientCommand(const std::string& command) {
    const std::vector<std::string> w = ApiWords(command);
    ForgetReusedIds();
    AdoptNamedCalls();
    if (w.size() >= 2 && w[0] == "CALL") {
        CheckPlaced(command.substr(command.find_first_not_of(' ', 4)));
        AdoptNamedCalls();
    } else if (w.size() == 3 && w[0] == "SET" && w[1] == "USERSTATUS") {
        dnd_ = w[2] == "DND";
    } else if (w.size() >= 4 && w[0] == "SET" && w[1] == "CALL") {
        const std::string& id = w[2];
        const int holder = base_.HandsetModel().LineHolder();
        if (w.size() == 5 && w[3] == "STATUS" && w[4] == "INPROGRESS") {
            askedAt_[id] = Now();
            answerPending_ = false;
            const SimCall* call = client_.Calls().Find(id);
            const bool holderThere = holder != 0 && base_.HandsetModel().At(holder).offHook;
            if (!holderThere && BaseLostUnnoticed()) {
                HeldByLostHandset(id);
            } else {
                if (call && call->answeredByBridge && !HeldBy(id, holder) &&
                    (holder == 0 || !base_.HandsetModel().At(holder).offHook))
                    Break(kConnectedMeansConnected, id, "taken up with no handset off hook");
                Hold(id, holder);
            }
        } else if (w.size() == 5 && w[3] == "STATUS" && w[4] == "FINISHED") {
            auto it = held_.find(id);
            if (it != held_.end() && !it->second.handsets.empty() && !it->second.anyHandset)
                Break(kConnectedMeansConnected, id,
                      "ended while handset " + std::to_string(*it->second.handsets.begin()) + " still holds it");
            const SimCall* call = client_.Calls().Find(id);
            const bool ever = it != held_.end() && it->second.ever;
            if (call && call->endedRinging && !ever && !dnd_)
                Break(kRightParty, id, "rang at the client and was ended by the bridge, though no handset took it");
        } else if (w.size() == 5 && w[3] == "DTMF" && lastEvent_.kind == HandsetEvent::Kind::Key &&
                   !HeldBy(id, lastEvent_.handset) && !(held_.count(id) && held_[id].anyHandset)) {
            Break(kConnectedMeansConnected, id,
                  "handset " + std::to_string(lastEvent_.handset) + " never joined it, yet its key became a tone in it");
        } else if (w.size() == 5 && w[3] == "JOIN_CONFERENCE") {
            Hold(id, holder);
            Hold(w[4], holder);
        }
    }
    Check();
}

void CallChecker::BeforeNotification() {
    ForgetReusedIds();
    AdoptNamedCalls();
}

}  // namespace sim
