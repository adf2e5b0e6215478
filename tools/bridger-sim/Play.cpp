#include "tools/bridger-sim/Play.h"

#include "tools/bridger-sim/Interpreter.h"
#include "tools/bridger-sim/Scenario.h"

namespace scn {

int PlayScenario(std::istream& in, const std::string& name, const std::string& lang, std::ostream& out,
                 std::ostream& err, std::vector<sim::Line>* transcript) {
    std::vector<Step> steps;
    ScriptError error;
    if (!ParseScript(in, steps, &error)) {
        err << name << ':' << error.line << ": error: " << error.message << '\n';
        return kScriptError;
    }
    Interpreter interpreter(lang, name, out, err);
    interpreter.CheckRules(true);
    const int status = interpreter.Run(steps);
    if (transcript) *transcript = interpreter.Lines();
    return status;
}

}  // namespace scn
