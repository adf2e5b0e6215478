// The calls family: up to three calls in both directions with their statuses in any
// order, two or three handsets doing what handsets do, the client logging out, vanishing
// and coming back, the base unplugged and plugged back, and time passing.
#include "tools/explorer/CallSteps.h"

#include <string>
#include <vector>

#include "tools/sim/CallTable.h"
#include "tools/sim/Handsets.h"
#include "tools/sim/SimClient.h"

namespace explore {

namespace {

const char* const kAnyStatus[] = {"ROUTING",  "RINGING",  "EARLYMEDIA", "INPROGRESS", "ONHOLD", "LOCALHOLD", "REMOTEHOLD",
                                  "FINISHED", "MISSED", "REFUSED",    "BUSY",       "CANCELLED", "FAILED"};
const char* const kRingingNext[] = {"INPROGRESS", "MISSED", "REFUSED", "CANCELLED", "FINISHED", "FAILED", "EARLYMEDIA"};
const char* const kRoutingNext[] = {"RINGING", "EARLYMEDIA", "INPROGRESS", "BUSY",    "FAILED",
                                    "REFUSED", "CANCELLED",  "FINISHED",   "MISSED"};
const char* const kTalkingNext[] = {"FINISHED", "REMOTEHOLD", "LOCALHOLD", "INPROGRESS", "FAILED", "ONHOLD"};
const char kKeys[] = "0123456789*#UD";
const unsigned kRuns[] = {100, 200, 300, 500, 800, 1200, 2000, 3000, 4200, 6000, 9000};

bool HandsetStep(Sequence& s) {
    Choices& c = s.Choose();
    const int handset = 1 + static_cast<int>(c.Pick(static_cast<unsigned>(s.Limit().handsets)));
    const std::string who = "handset " + std::to_string(handset) + " ";
    switch (c.Pick(10)) {
        case 0: case 1: case 2: case 3: return s.Play(who + "key " + std::string(1, kKeys[c.Pick(sizeof kKeys - 1)]));
        case 4: return s.Play(who + "talk");
        case 5: return s.Play(who + "answer");
        case 6: case 7: return s.PlayIfRealistic(who + "hangup");
        case 8: return s.Play(who + "menu");
        default: {
            std::string digits = c.Chance(50) ? "0" : "1";
            for (unsigned i = 0, n = 2 + c.Pick(4); i < n; ++i) digits += static_cast<char>('0' + c.Pick(10));
            return s.PlayIfRealistic(who + "dial " + digits + (c.Chance(20) ? " repeat" : ""));
        }
    }
}

bool ClientCallStep(Sequence& s) {
    Choices& c = s.Choose();
    if (!s.clientRunning) return s.Play("run 300");
    if (s.CanUseCall() && c.Chance(35)) return s.Play("client say CALL " + s.NewIncomingId() + " STATUS RINGING");
    // A call of the client's own (placed or taken at the computer); never while a CALL of
    // the bridge waits for its name, which the first ROUTING would answer.
    if (s.CanUseCall() && !s.NamesOwed() && s.Client().Calls().UnnamedPlaced() == 0 && c.Chance(10))
        return s.Play("client say CALL " + s.NewOwnId() + " STATUS " + (c.Chance(50) ? "ROUTING" : "INPROGRESS"));
    std::vector<std::string> live;
    for (const auto& entry : s.Client().Calls().Calls())
        if (!sim::CallTable::IsEnd(entry.second.status)) live.push_back(entry.first);
    if (live.empty()) return s.Play("run 200");
    const std::string id = live[c.Pick(static_cast<unsigned>(live.size()))];
    const sim::SimCall& call = *s.Client().Calls().Find(id);
    std::string status;
    if (c.Chance(15)) status = PickOf(c, kAnyStatus);
    else if (sim::CallTable::Rings(call)) status = PickOf(c, kRingingNext);
    else if (call.answered) status = PickOf(c, kTalkingNext);
    else status = PickOf(c, kRoutingNext);
    return s.Play("client say CALL " + id + " STATUS " + status);
}

bool ClientLifeStep(Sequence& s) {
    switch (s.Choose().Pick(3)) {
        case 0:
            if (!s.clientRunning) break;
            return s.Play("client say CONNSTATUS LOGGEDOUT");
        case 1:
            if (!s.clientRunning) break;
            s.clientRunning = false;
            s.ClientGone();
            return s.Play("client stop");
        default:
            if (s.clientRunning) break;
            s.clientRunning = true;
            // A client that starts announces itself, as one does on a real desktop.
            return s.Play("client start " + s.clientKind) && s.Play("client attach 32769");
    }
    return s.Play("run 500");
}

bool BaseStep(Sequence& s) {
    s.basePlugged = !s.basePlugged;
    return s.Play(s.basePlugged ? "base plug" : "base unplug");
}

}  // namespace

bool CallSteps::Step(Sequence& s) {
    Choices& c = s.Choose();
    const unsigned roll = c.Pick(20);
    if (roll < 6) return HandsetStep(s);
    if (roll < 10) return ClientCallStep(s);
    if (roll < 15) return s.Play("run " + std::to_string(kRuns[c.Pick(6)]));
    if (roll < 17) return s.PayDue(false);
    if (roll == 17) return ClientLifeStep(s);
    if (roll == 18) return BaseStep(s);
    return s.Play("run " + std::to_string(PickOf(c, kRuns)));
}

// Base and client back, every reply given, every call ended at the client, every handset on
// hook, and time for the bridge to settle.
bool CallSteps::Quiesce(Sequence& s) {
    if (!s.PayDue(true)) return false;
    if (!s.basePlugged && !s.Play("base plug")) return false;
    if (!s.clientRunning && !(s.Play("client start " + s.clientKind) && s.Play("client attach 32769"))) return false;
    s.basePlugged = s.clientRunning = true;
    for (int round = 0; round < 3; ++round) {
        if (!s.Play("run 3000")) return false;
        s.CollectCommands();
        if (!s.PayDue(true)) return false;
    }
    std::vector<std::string> open;
    for (const auto& entry : s.Client().Calls().Calls())
        if (!sim::CallTable::IsEnd(entry.second.status)) open.push_back(entry.first);
    for (const std::string& id : open)
        if (!s.Play("client say CALL " + id + " STATUS FINISHED")) return false;
    for (int h = 1; h <= sim::Handsets::kCount; ++h)
        if (s.HandsetModel().At(h).offHook && !s.Play("handset " + std::to_string(h) + " hangup")) return false;
    for (int round = 0; round < 2; ++round) {
        if (!s.Play("run 3000")) return false;
        s.CollectCommands();
        if (!s.PayDue(true)) return false;
    }
    return true;
}

}  // namespace explore
