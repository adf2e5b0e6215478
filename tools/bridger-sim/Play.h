// One whole run of bridger-sim short of the command line: parse, play, report.
#pragma once
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "tools/world/Harness.h"

namespace scn {

// Reads the scenario named `name` from `in`, plays it and streams the transcript to
// `out`; errors and failed expects go to `err` as "NAME:LINE: ...". Fills *transcript
// when given. Returns the exit status (kAllHeld, kExpectFailed or kScriptError).
int PlayScenario(std::istream& in, const std::string& name, const std::string& lang, std::ostream& out,
                 std::ostream& err, std::vector<sim::Line>* transcript = nullptr);

}  // namespace scn
