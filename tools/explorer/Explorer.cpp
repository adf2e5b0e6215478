#include "tools/explorer/Explorer.h"

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim/CallTable.h"
#include "tools/sim/Handsets.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace explore {

namespace {

const char* const kAnyStatus[] = {"ROUTING",  "RINGING",  "EARLYMEDIA", "INPROGRESS", "ONHOLD", "LOCALHOLD", "REMOTEHOLD",
                                  "FINISHED", "MISSED", "REFUSED",    "BUSY",       "CANCELLED", "FAILED"};
const char* const kRingingNext[] = {"INPROGRESS", "MISSED", "REFUSED", "CANCELLED", "FINISHED", "FAILED", "EARLYMEDIA"};
const char* const kRoutingNext[] = {"RINGING", "EARLYMEDIA", "INPROGRESS", "BUSY",    "FAILED",
                                    "REFUSED", "CANCELLED",  "FINISHED",   "MISSED"};
const char* const kTalkingNext[] = {"FINISHED", "REMOTEHOLD", "LOCALHOLD", "INPROGRESS", "FAILED", "ONHOLD"};
const char* const kPartners[] = {"alice", "bob", "carol"};
const char kKeys[] = "0123456789*#UD";
const unsigned kRuns[] = {100, 200, 300, 500, 800, 1200, 2000, 3000, 4200, 6000, 9000};
constexpr const char* kContacts = "client contacts Alice bob carol:OFFLINE dave:AWAY";
constexpr int kProbeRule = 5;

template <typename T, std::size_t N>
const T& PickOf(Choices& c, const T (&items)[N]) {
    return items[c.Pick(static_cast<unsigned>(N))];
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

struct Owed {
    std::string text;
    int steps = 0;  // steps still to wait; 0 pays at the next chance
};

class Generator {
public:
    Generator(Choices& choices, const Limits& limits) : c_(choices), limits_(limits) {}
    Outcome Run();

private:
    bool Play(const std::string& line) { return player_.Play(line); }
    sim::SimClient& Client() { return player_.Harness().Client(); }
    const sim::Handsets& HandsetModel() { return player_.Harness().Base().HandsetModel(); }

    void Owe(const std::string& text, bool mayBeLost);
    void CollectCommands();
    bool PayDue(bool everything);
    bool RandomStep();
    bool HandsetStep();
    bool ClientCallStep();
    bool ClientLifeStep();
    bool BaseStep();
    bool Quiesce();
    bool Probe();

    Choices& c_;
    Limits limits_;
    Player player_;
    std::vector<Owed> owed_;
    std::size_t commandsSeen_ = 0;
    int callsUsed_ = 0;
    int nextIncoming_ = 200;
    int nextPlaced_ = 300;
    int nextOwn_ = 400;
    int namesOwed_ = 0;
    bool clientRunning_ = true;
    bool basePlugged_ = true;
};

// A reply of the client's: now (most often), a few steps later, or (where the protocol
// allows a client to stay silent) never.
void Generator::Owe(const std::string& text, bool mayBeLost) {
    const unsigned roll = c_.Pick(10);
    if (mayBeLost && roll == 0) return;
    owed_.push_back(Owed{text, roll >= 8 ? static_cast<int>(1 + c_.Pick(4)) : 0});
}

void Generator::CollectCommands() {
    const std::vector<std::string>& commands = Client().Commands();
    for (; commandsSeen_ < commands.size(); ++commandsSeen_) {
        const std::string& command = commands[commandsSeen_];
        const std::vector<std::string> w = Words(command);
        if (w.empty()) continue;
        if (w.size() == 2 && w[0] == "SEARCH") {
            std::string users = "USERS";
            const std::vector<sim::Contact>& contacts = Client().ContactList();
            for (std::size_t i = 0; i < contacts.size(); ++i) users += (i ? ", " : " ") + contacts[i].handle;
            owed_.push_back(Owed{users, 0});
        } else if (w.size() == 4 && w[0] == "GET" && w[1] == "USER") {
            std::string status = "OFFLINE";
            for (const sim::Contact& contact : Client().ContactList())
                if (contact.handle == w[2]) status = contact.status;
            owed_.push_back(Owed{"USER " + w[2] + " ONLINESTATUS " + status, 0});
        } else if (w.size() == 2 && w[0] == "Get") {
            owed_.push_back(Owed{"CURRENTUSERHANDLE echo123", 0});
        } else if (w.size() == 2 && w[0] == "GET" && w[1] == "CONNSTATUS") {
            owed_.push_back(Owed{"CONNSTATUS ONLINE", 0});
        } else if (w.size() == 4 && w[0] == "GET" && w[1] == "CALL") {
            Owe("CALL " + w[2] + " PARTNER_HANDLE " + PickOf(c_, kPartners), true);
        } else if (w.size() == 5 && w[0] == "SET" && w[1] == "CALL" && w[3] == "STATUS") {
            const sim::SimCall* call = Client().Calls().Find(w[2]);
            if (!call) continue;
            Owe("CALL " + w[2] + " STATUS " + (w[4] == "ONHOLD" ? std::string("LOCALHOLD") : call->status), true);
        } else if (w[0] == "CALL") {
            if (callsUsed_ < limits_.maxCalls && !c_.Chance(10)) {
                ++callsUsed_;
                ++namesOwed_;
                Owe("CALL " + std::to_string(nextPlaced_++) + " STATUS ROUTING", false);
            } else if (namesOwed_ == 0) {
                owed_.push_back(Owed{"ERROR 571 Cannot call", 0});
            }
        }
    }
}

bool Generator::PayDue(bool everything) {
    std::vector<Owed> later;
    std::vector<std::string> now;
    for (Owed& o : owed_) {
        if (everything || o.steps <= 0) now.push_back(o.text);
        else later.push_back(Owed{o.text, o.steps - 1});
    }
    owed_ = std::move(later);
    for (const std::string& text : now) {
        if (text.find("STATUS ROUTING") != std::string::npos && namesOwed_ > 0) --namesOwed_;
        const std::string line = "client say " + text;
        // An echo owed for a call that has ended since is never sent.
        if (!Player::Realistic(line, player_.Harness().Base(), Client())) continue;
        if (!Play(line)) return false;
    }
    return true;
}

bool Generator::HandsetStep() {
    const int handset = 1 + static_cast<int>(c_.Pick(static_cast<unsigned>(limits_.handsets)));
    const std::string who = "handset " + std::to_string(handset) + " ";
    switch (c_.Pick(10)) {
        case 0: case 1: case 2: case 3: return Play(who + "key " + std::string(1, kKeys[c_.Pick(sizeof kKeys - 1)]));
        case 4: return Play(who + "talk");
        case 5: return Play(who + "answer");
        case 6: case 7:
            if (!Player::Realistic(who + "hangup", player_.Harness().Base(), Client())) return Play("run 100");
            return Play(who + "hangup");
        case 8: return Play(who + "menu");
        default: {
            // A base sends a dial string for a handset that takes the free line with a number
            // keyed beforehand; never while the handsets ring or another one holds the line.
            std::string digits = c_.Chance(50) ? "0" : "1";
            for (unsigned i = 0, n = 2 + c_.Pick(4); i < n; ++i) digits += static_cast<char>('0' + c_.Pick(10));
            const std::string line = who + "dial " + digits + (c_.Chance(20) ? " repeat" : "");
            return Player::Realistic(line, player_.Harness().Base(), Client()) ? Play(line) : Play("run 100");
        }
    }
}

bool Generator::ClientCallStep() {
    if (!clientRunning_) return Play("run 300");
    if (callsUsed_ < limits_.maxCalls && c_.Chance(35)) {
        ++callsUsed_;
        return Play("client say CALL " + std::to_string(nextIncoming_++) + " STATUS RINGING");
    }
    // A call of the client's own (placed or taken at the computer); never while a CALL of
    // the bridge waits for its name, which the first ROUTING would answer.
    if (callsUsed_ < limits_.maxCalls && namesOwed_ == 0 && Client().Calls().UnnamedPlaced() == 0 && c_.Chance(10)) {
        ++callsUsed_;
        return Play("client say CALL " + std::to_string(nextOwn_++) + " STATUS " +
                    (c_.Chance(50) ? "ROUTING" : "INPROGRESS"));
    }
    std::vector<std::string> live;
    for (const auto& entry : Client().Calls().Calls())
        if (!sim::CallTable::IsEnd(entry.second.status)) live.push_back(entry.first);
    if (live.empty()) return Play("run 200");
    const std::string id = live[c_.Pick(static_cast<unsigned>(live.size()))];
    const sim::SimCall& call = *Client().Calls().Find(id);
    std::string status;
    if (c_.Chance(15)) status = PickOf(c_, kAnyStatus);
    else if (sim::CallTable::Rings(call)) status = PickOf(c_, kRingingNext);
    else if (call.status == "INPROGRESS" || call.status.find("HOLD") != std::string::npos) status = PickOf(c_, kTalkingNext);
    else status = PickOf(c_, kRoutingNext);
    return Play("client say CALL " + id + " STATUS " + status);
}

bool Generator::ClientLifeStep() {
    switch (c_.Pick(3)) {
        case 0:
            if (!clientRunning_) break;
            return Play("client say CONNSTATUS LOGGEDOUT");
        case 1:
            if (!clientRunning_) break;
            clientRunning_ = false;
            owed_.clear();
            namesOwed_ = 0;
            return Play("client stop");
        default:
            if (clientRunning_) break;
            clientRunning_ = true;
            // A client that starts announces itself, as one does on a real desktop.
            return Play("client start skype") && Play("client attach 32769");
    }
    return Play("run 500");
}

bool Generator::BaseStep() {
    basePlugged_ = !basePlugged_;
    return Play(basePlugged_ ? "base plug" : "base unplug");
}

bool Generator::RandomStep() {
    const unsigned roll = c_.Pick(20);
    if (roll < 6) return HandsetStep();
    if (roll < 10) return ClientCallStep();
    if (roll < 15) return Play("run " + std::to_string(kRuns[c_.Pick(6)]));
    if (roll < 17) return PayDue(false);
    if (roll == 17) return ClientLifeStep();
    if (roll == 18) return BaseStep();
    return Play("run " + std::to_string(PickOf(c_, kRuns)));
}

// Everything quiet: base and client back, every reply given, every call ended at the
// client, every handset on hook, and time for the bridge to settle.
bool Generator::Quiesce() {
    if (!PayDue(true)) return false;
    if (!basePlugged_ && !Play("base plug")) return false;
    if (!clientRunning_ && !(Play("client start skype") && Play("client attach 32769"))) return false;
    basePlugged_ = clientRunning_ = true;
    for (int round = 0; round < 3; ++round) {
        if (!Play("run 3000")) return false;
        CollectCommands();
        if (!PayDue(true)) return false;
    }
    std::vector<std::string> open;
    for (const auto& entry : Client().Calls().Calls())
        if (!sim::CallTable::IsEnd(entry.second.status)) open.push_back(entry.first);
    for (const std::string& id : open)
        if (!Play("client say CALL " + id + " STATUS FINISHED")) return false;
    for (int h = 1; h <= sim::Handsets::kCount; ++h)
        if (HandsetModel().At(h).offHook && !Play("handset " + std::to_string(h) + " hangup")) return false;
    for (int round = 0; round < 2; ++round) {
        if (!Play("run 3000")) return false;
        CollectCommands();
        if (!PayDue(true)) return false;
    }
    return Play("client auto on") && Play("run 1000");
}

// A new call rings, a handset answers it and its hang-up finishes it at the client.
bool Generator::Probe() {
    const char* const lines[] = {"client say CALL 900 STATUS RINGING", "run 1500",
                                 "expect client< CALL 900 STATUS RINGING", "expect usb> 24240C0581",
                                 "handset 1 answer", "run 500",
                                 "expect client> SET CALL 900 STATUS INPROGRESS", "handset 1 hangup",
                                 "run 500", "expect client> SET CALL 900 STATUS FINISHED"};
    for (const char* line : lines)
        if (!Play(line)) return false;
    return true;
}

Outcome Generator::Run() {
    const char* const boot[] = {"base plug", kContacts, "client start skype", "run 6000", "client auto off"};
    bool ok = true;
    for (const char* line : boot) ok = ok && Play(line);
    const int steps = 1 + static_cast<int>(c_.Pick(static_cast<unsigned>(limits_.maxSteps)));
    for (int i = 0; ok && i < steps; ++i) {
        ok = RandomStep();
        CollectCommands();
        ok = ok && PayDue(false);
    }
    ok = ok && Quiesce();
    const std::size_t probeFrom = player_.Result().lines.size();
    ok = ok && Probe();
    Outcome outcome = player_.TakeResult();
    if (!ok && outcome.rule == 0 && outcome.status == scn::kExpectFailed && outcome.lines.size() > probeFrom)
        outcome.rule = kProbeRule;
    return outcome;
}

}  // namespace

Outcome Explore(Choices& choices, const Limits& limits) { return Generator(choices, limits).Run(); }

}  // namespace explore
