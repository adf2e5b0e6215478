// The one interpreter of the scenario language: plays parsed steps against a World.
#pragma once
#include <vector>

#include "tools/bridger-sim/Scenario.h"
#include "tools/bridger-sim/World.h"

namespace scn {

class Engine {
public:
    explicit Engine(World& world) : world_(world) {}

    // Runs every step (starting the process at the first step that needs it, or at the
    // end) and stops at the first failed expect or script error; the exit status.
    int Run(const std::vector<Step>& steps);
    // One step at a time, for drivers that decide the next step from what happened.
    int PlayStep(const Step& step);

private:
    int Execute(const Step& step);
    int Base(const Step& step);
    int Handset(const Step& step);
    int Client(const Step& step);
    int User(const Step& step);

    World& world_;
};

}  // namespace scn
