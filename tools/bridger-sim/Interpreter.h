// Plays parsed scenario steps against the real bridge in a sim::Harness, streaming the
// transcript as it grows: the scenario engine over the headless world.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "tools/bridger-sim/Engine.h"
#include "tools/bridger-sim/HeadlessWorld.h"

namespace scn {

class Interpreter {
public:
    // `file` names the scenario in messages on `err`; transcript lines go to `out`.
    Interpreter(std::string lang, std::string file, std::ostream& out, std::ostream& err)
        : world_(std::move(lang), std::move(file), out, err) {}

    // Runs every step (starting the process at the first step that needs it, or at the
    // end) and stops at the first failed expect or script error; the exit status.
    int Run(const std::vector<Step>& steps) { return engine_.Run(steps); }

    // The transcript so far (empty before the process started).
    std::vector<sim::Line> Lines() const { return world_.Lines(); }

    // Runs the rule checkers over the peers (before the first step): a broken rule fails the
    // scenario at the step during which it broke.
    void CheckRules(bool on) { world_.CheckRules(on); }

    // One step at a time, for drivers that decide the next step from what happened (the
    // explorer); the harness exists once a step has started the process.
    int PlayStep(const Step& step) { return engine_.PlayStep(step); }
    sim::Harness* Harness() { return world_.Harness(); }

private:
    HeadlessWorld world_;
    Engine engine_{world_};
};

}  // namespace scn
