#include "tools/explorer/Explorer.h"

#include <memory>
#include <string>
#include <vector>

#include "tools/explorer/Family.h"

namespace explore {

namespace {

constexpr const char* kContacts = "client contacts Alice bob carol:OFFLINE dave:AWAY";
constexpr const char* kProbeRule = "rule 5 (always live)";

Family& PickFamily(Choices& c, const std::vector<std::unique_ptr<Family>>& families) {
    unsigned total = 0;
    for (const auto& f : families) total += f->Weight();
    unsigned roll = c.Pick(total);
    for (const auto& f : families) {
        if (roll < f->Weight()) return *f;
        roll -= f->Weight();
    }
    return *families.back();
}

// A new call rings, a handset answers it and its hang-up finishes it at the client.
bool Probe(Sequence& s) {
    const char* const lines[] = {"client auto on",
                                 "run 1000",
                                 "client say CALL 900 STATUS RINGING",
                                 "run 1500",
                                 "expect client< CALL 900 STATUS RINGING",
                                 "expect usb> 24240C0581",
                                 "handset 1 answer",
                                 "run 500",
                                 "expect client> SET CALL 900 STATUS INPROGRESS",
                                 "handset 1 hangup",
                                 "run 500",
                                 "expect client> SET CALL 900 STATUS FINISHED"};
    for (const char* line : lines)
        if (!s.Play(line)) return false;
    return true;
}

}  // namespace

Outcome Explore(Choices& choices, const Limits& limits) {
    Sequence s(choices, limits);
    const std::vector<std::unique_ptr<Family>> families = Families(limits.family);
    const char* const boot[] = {"base plug", kContacts, "client start skype", "run 6000", "client auto off"};
    bool ok = true;
    for (const char* line : boot) ok = ok && s.Play(line);
    for (const auto& f : families) ok = ok && f->Boot(s);
    const int steps = 1 + static_cast<int>(choices.Pick(static_cast<unsigned>(limits.maxSteps)));
    for (int i = 0; ok && i < steps; ++i) {
        ok = PickFamily(choices, families).Step(s);
        s.CollectCommands();
        ok = ok && s.PayDue(false);
    }
    for (const auto& f : families) ok = ok && f->Quiesce(s);
    const std::size_t probeFrom = s.Play().Result().lines.size();
    ok = ok && Probe(s);
    Outcome outcome = s.TakeResult();
    if (!ok && outcome.rule.empty() && outcome.status == scn::kExpectFailed && outcome.lines.size() > probeFrom)
        outcome.rule = kProbeRule;
    return outcome;
}

}  // namespace explore
