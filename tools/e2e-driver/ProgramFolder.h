// Where the test programs find their companions: the files shipped beside them in bin/.
#pragma once
#include <string>

namespace e2e {

// The path of `name` in the folder this program was started from.
std::string BesideThisProgram(const char* name);

}  // namespace e2e
