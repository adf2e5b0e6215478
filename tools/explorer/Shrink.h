// Shrinks a failing sequence to a short scenario that fails the same way.
#pragma once
#include <string>
#include <vector>

#include "tools/explorer/Player.h"

namespace explore {

// Removes lines (in ever smaller chunks) as long as the replay still fails with the same
// rule; returns the shortest failing outcome found.
Outcome Shrink(const Outcome& failing);

// The outcome as a scenario file: a comment saying what failed and how it was found, then
// the lines.
std::string ScenarioText(const Outcome& outcome, const std::string& origin);

}  // namespace explore
