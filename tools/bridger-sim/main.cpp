// bridger-sim: runs the bridge on the headless platform against a simulated base station
// and VoIP client, playing a scenario and printing the transcript.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/bridger-sim/Interpreter.h"
#include "tools/bridger-sim/Play.h"

namespace {

constexpr const char* kUsage = "usage: bridger-sim [--transcript FILE] [--lang en|zh-TW] SCENARIO-FILE|-\n";

struct Arguments {
    std::string transcript;
    std::string lang = "en";
    std::string scenario;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--transcript" || a == "--lang") && i + 1 < argc) {
            (a == "--transcript" ? args.transcript : args.lang) = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return false;
        } else if (args.scenario.empty()) {
            args.scenario = a;
        } else {
            return false;
        }
    }
    return !args.scenario.empty() && (args.lang == "en" || args.lang == "zh-TW");
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::cerr << kUsage;
        return scn::kScriptError;
    }
    const bool fromStdin = args.scenario == "-";
    const std::string name = fromStdin ? "<stdin>" : args.scenario;
    std::ifstream file;
    if (!fromStdin) {
        file.open(args.scenario);
        if (!file) {
            std::cerr << name << ": error: cannot read the scenario\n";
            return scn::kScriptError;
        }
    }
    std::vector<sim::Line> lines;
    int status = scn::PlayScenario(fromStdin ? std::cin : file, name, args.lang, std::cout, std::cerr, &lines);
    if (!args.transcript.empty()) {
        std::ofstream out(args.transcript);
        for (const sim::Line& line : lines) out << line.Format() << '\n';
        out.flush();
        if (!out) {
            std::cerr << args.transcript << ": error: cannot write the transcript\n";
            if (status == scn::kAllHeld) status = scn::kScriptError;
        }
    }
    return status;
}
