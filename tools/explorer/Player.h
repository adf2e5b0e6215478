// Plays scenario lines one at a time on the headless bridge under the call checker, and
// keeps the lines it played, so that what happened can be written out as a scenario file.
#pragma once
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/bridger-sim/Interpreter.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace explore {

struct Outcome {
    std::vector<std::string> lines;  // the scenario played, one command a line
    int status = 0;                  // scn::kAllHeld, scn::kExpectFailed or scn::kScriptError
    std::string rule;                // the rule that broke ("rule 2 (nothing lost)"); empty for an expect
    std::string failure;             // what failed, empty when all held
    bool Failed() const { return status != scn::kAllHeld; }
};

class Player {
public:
    Player();
    // Plays one line; false once something failed (the outcome says what). A line that no
    // real base could send now (shrinking may produce one) fails as unrealistic.
    bool Play(const std::string& line);
    // A base sends a dial string only for a handset taking the free line, or holding it with
    // nothing keyed yet, and never while the handsets ring; a client says nothing more of a
    // call that ended.
    static bool Realistic(const std::string& line, const sim::SimBase& base, const sim::SimClient& client);
    sim::Harness& Harness() { return *interpreter_.Harness(); }
    const Outcome& Result() const { return outcome_; }
    Outcome TakeResult() { return std::move(outcome_); }

private:
    std::ostream null_{nullptr};
    std::ostringstream errors_;
    scn::Interpreter interpreter_;
    Outcome outcome_;
};

// Plays fixed lines (a sequence again, or a shrunk one); stops at the first failure.
Outcome Replay(const std::vector<std::string>& lines);

}  // namespace explore
