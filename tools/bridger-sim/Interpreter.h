// Plays parsed scenario steps against the real bridge in a sim::Harness, streaming the
// transcript as it grows.
#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/world/Harness.h"
#include "tools/bridger-sim/Expect.h"
#include "tools/bridger-sim/Scenario.h"

namespace scn {

// Exit statuses of bridger-sim.
constexpr int kAllHeld = 0;
constexpr int kExpectFailed = 1;
constexpr int kScriptError = 2;

class Interpreter {
public:
    // `file` names the scenario in messages on `err`; transcript lines go to `out`.
    Interpreter(std::string lang, std::string file, std::ostream& out, std::ostream& err);
    ~Interpreter();

    // Runs every step (starting the process at the first step that needs it, or at the
    // end) and stops at the first failed expect or script error; the exit status.
    int Run(const std::vector<Step>& steps);

    // The transcript so far (empty before the process started).
    std::vector<sim::Line> Lines() const;

    // Runs the rule checkers over the peers (before the first step): a broken rule fails the
    // scenario at the step during which it broke.
    void CheckRules(bool on) { options_.checkRules = on; }

    // One step at a time, for drivers that decide the next step from what happened (the
    // explorer); the harness exists once a step has started the process.
    int PlayStep(const Step& step);
    sim::Harness* Harness() { return harness_.get(); }

private:
    int Execute(const Step& step);
    int CheckedCalls(const Step& step);
    int Expect(const Step& step);
    void EnsureStarted(const std::string& commandLine);
    void Flush();
    int Report(const Step& step, int status, const std::string& message);

    std::string lang_;
    std::string file_;
    std::ostream& out_;
    std::ostream& err_;
    sim::Options options_;
    std::unique_ptr<sim::Harness> harness_;
    ExpectCursor cursor_;
    std::size_t printed_ = 0;
    std::size_t violationsSeen_ = 0;
};

}  // namespace scn
