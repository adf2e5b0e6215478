// The link family: a base that misbehaves. It echoes as it should, never, twice or wrongly;
// replies never, twice or for another command; holds its answers back and lets them go late
// or out of order; sends bursts of stray echoes and replies; is lost for a fraction of a
// second or for many seconds, and flaps.
#include "tools/explorer/LinkSteps.h"

#include <string>

namespace explore {

namespace {

const char* const kEchoModes[] = {"on", "on", "off", "twice", "wrong"};
const char* const kReplyModes[] = {"on", "on", "off", "twice", "other"};
// Echoes of loopbacks the bridge may or may not have sent, and replies to commands it may or
// may not have asked for.
const char* const kStray[] = {"10 08 01 02 03 04 05", "10 08 02 03 04 05 06", "10 08 05 06 07 08 09",
                              "13 03",                "13 04 03",             "13 04 01",
                              "13 0B",                "10 0B",                "13 0A"};
const unsigned kLosses[] = {50, 100, 300, 700, 1500, 2500, 4000, 9000};
const unsigned kRuns[] = {100, 300, 600, 1000, 2000, 4000};

bool Lose(Sequence& s) {
    Choices& c = s.Choose();
    if (!s.basePlugged) {
        s.basePlugged = true;
        return s.Play("base plug");
    }
    // Lost and back, once or flapping a few times.
    for (unsigned i = 0, n = c.Chance(25) ? 2 + c.Pick(3) : 1; i < n; ++i) {
        if (!s.Play("base unplug") || !s.Play("run " + std::to_string(PickOf(c, kLosses)))) return false;
        if (!s.Play("base plug")) return false;
        if (i + 1 < n && !s.Play("run " + std::to_string(PickOf(c, kLosses)))) return false;
    }
    return true;
}

bool Burst(Sequence& s) {
    Choices& c = s.Choose();
    for (unsigned i = 0, n = 1 + c.Pick(5); i < n; ++i)
        if (!s.Play(std::string("base packet ") + PickOf(c, kStray))) return false;
    return true;
}

}  // namespace

bool LinkSteps::Step(Sequence& s) {
    Choices& c = s.Choose();
    switch (c.Pick(10)) {
        case 0: return s.Play(std::string("base echo ") + PickOf(c, kEchoModes));
        case 1: return s.Play(std::string("base replies ") + PickOf(c, kReplyModes));
        case 2: return s.Play(c.Chance(50) ? "base hold on" : "base hold off");
        case 3: return s.Play(c.Chance(30) ? "base release reversed" : "base release");
        case 4: case 5: return Lose(s);
        case 6: return Burst(s);
        default: return s.Play("run " + std::to_string(PickOf(c, kRuns)));
    }
}

// A healthy base again, plugged in, with nothing held back, and time for a test to pass.
bool LinkSteps::Quiesce(Sequence& s) {
    const char* const lines[] = {"base echo on", "base replies on", "base hold off", "base release"};
    for (const char* line : lines)
        if (!s.Play(line)) return false;
    if (!s.basePlugged && !s.Play("base plug")) return false;
    s.basePlugged = true;
    return s.Play("run 7000");
}

}  // namespace explore
