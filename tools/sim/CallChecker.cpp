#include "tools/sim/CallChecker.h"

#include <sstream>

#include "device/Packet.h"

namespace sim {

namespace {

constexpr int kNothingLeftOpen = 1;
constexpr int kNothingLost = 2;
constexpr int kConnectedMeansConnected = 3;
constexpr int kRightParty = 4;
constexpr int kStatusInCall = 5;  // "INCOMMING": a call is connected on the handset
constexpr std::size_t kCodeAt = 3;
constexpr std::size_t kHandsetAt = 4;
constexpr int kLostHandset = -1;  // dialled on a base that was already gone

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool UnderWay(const SimCall& call) { return call.answered && !CallTable::IsEnd(call.status); }

bool IsDialChar(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+'; }

std::string Ms(std::uint64_t ms) { return std::to_string(ms) + " ms"; }

}  // namespace

std::string CallChecker::RuleName(int rule) {
    const char* name = "?";
    switch (rule) {
        case 1: name = "nothing left open"; break;
        case 2: name = "nothing lost"; break;
        case 3: name = "connected means connected"; break;
        case 4: name = "the right party"; break;
        case 5: name = "always live"; break;
        default: break;
    }
    return "rule " + std::to_string(rule) + " (" + name + ")";
}

CallChecker::CallChecker(const SimBase& base, const SimClient& client, std::function<std::uint64_t()> clock,
                         std::vector<Violation>& sink)
    : Checker(std::move(clock), sink), base_(base), client_(client) {}

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
    // Lifting a ringing handset answers; a dial string is a call of the handset's own.
    if (event.wentOffHook && event.wasAlerting && attached_ && event.kind != HandsetEvent::Kind::DialString) {
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
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= kHandsetAt) return;
    const int handset = data[kHandsetAt];
    ++reportSeq_;
    inReport_ = true;
    switch (data[kCodeAt]) {
        case pkt::CMD_ALERT:
            lastAlert_ = Now();
            lastAlertSeq_ = reportSeq_;
            break;
        case pkt::CMD_RELEASE:
            lastStop_ = Now();
            lastStopSeq_ = reportSeq_;
            LetGo(handset == pkt::kAllHandsets ? 0 : handset, kEndWithinMs);
            break;
        case pkt::CMD_CONNECTED: {
            bool ok = false;
            for (const auto& entry : held_) {
                if (!entry.second.handsets.count(handset)) continue;
                const SimCall* call = client_.Calls().Find(entry.first);
                auto asked = askedAt_.find(entry.first);
                const bool askedRecently = asked != askedAt_.end() && Now() - asked->second <= kAskedRecentlyMs;
                if ((call && UnderWay(*call)) || askedRecently) ok = true;
            }
            if (!ok)
                Break(kConnectedMeansConnected, "",
                      "handset " + std::to_string(handset) + " shown connected with no call of its own under way");
            break;
        }
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

std::string CallChecker::ExpectedNumber(const HandsetState& h) const {
    if (h.dialString) {
        std::string out;
        for (char c : h.dialled)
            if (IsDialChar(c) && c != '+') out += c;
        return out;
    }
    if (h.keys.empty() || h.menuOpened) return {};
    const char first = h.keys[0];
    std::string out;
    if (first == '0' || first == '1' || first == '+') {
        for (char c : h.keys) {
            if (c == '#') break;
            if ((c >= '0' && c <= '9') || c == '+') out += c;
        }
    } else if (first == '#') {
        for (std::size_t i = 1; i < h.keys.size(); ++i)
            if (IsDialChar(h.keys[i])) out += h.keys[i];
    }
    return out;
}

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
    const bool byNumber = h.dialString || (!h.keys.empty() && !h.menuOpened &&
                                           (h.keys[0] == '0' || h.keys[0] == '1' || h.keys[0] == '+' || h.keys[0] == '#'));
    if (byNumber) {
        const std::string expected = ExpectedNumber(h);
        if (target != expected)
            Break(kRightParty, "",
                  "\"CALL " + target + "\" but handset " + std::to_string(holder) + " dialled \"" + expected + "\"");
        return;
    }
    if (client_.Knows(target) && !h.display.empty() && target.compare(0, pkt::kDisplayWidth, h.display) == 0) return;
    Break(kRightParty, "",
          "\"CALL " + target + "\" is no listed contact shown on handset " + std::to_string(holder) + " (it shows \"" +
              h.display + "\")");
}

void CallChecker::OnClientCommand(const std::string& command) {
    const std::vector<std::string> w = Words(command);
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

void CallChecker::OnNotificationDelivered(const std::string& text) {
    ForgetReusedIds();
    AdoptNamedCalls();
    // The bridge reads the client's notifications only while the client is attached.
    const std::vector<std::string> w = CallTable::NotificationWords(text);
    if (attached_ && w.size() == 4 && !w[1].empty() && w[0] == "CALL" && w[2] == "STATUS" && w[3] == "RINGING")
        toldWhileAttached_.insert(w[1]);
    if (text.rfind("CONNSTATUS LOGGEDOUT", 0) == 0) attached_ = false;
    Check();
}

void CallChecker::OnAttachDelivered(int status) {
    if (status == 0) attached_ = true;
    Check();
}

void CallChecker::OnClientProcess(bool running) {
    if (!running) attached_ = false;
    Check();
}

void CallChecker::OnStatus(int status) {
    status_ = status;
    Check();
}

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
    const bool condition = !ringing.empty() && !base_.HandsetModel().AnyOffHook() && CanReachHandsets() && attached_;
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
    if (status_ != kStatusInCall || !CanReachHandsets() || !attached_) {
        connectedBad_ = false;
        return;
    }
    const int holder = base_.HandsetModel().LineHolder();
    bool ok = false;
    for (const auto& entry : held_) {
        if (holder == 0 || !entry.second.handsets.count(holder)) continue;
        const SimCall* call = client_.Calls().Find(entry.first);
        auto asked = askedAt_.find(entry.first);
        if ((call && UnderWay(*call)) || (asked != askedAt_.end() && Now() - asked->second <= kAskedRecentlyMs)) ok = true;
    }
    if (ok) {
        connectedBad_ = false;
        return;
    }
    if (!connectedBad_) {
        connectedBad_ = true;
        connectedBadSince_ = Now();
    } else if (Now() - connectedBadSince_ > kConnectedGraceMs) {
        Break(kConnectedMeansConnected, "", "status 5 (connected) for " + Ms(Now() - connectedBadSince_) +
                                                " with no call of the handset's under way");
    }
}

}  // namespace sim
