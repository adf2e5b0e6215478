// e2e-driver: plays a bridger-sim scenario against the real bridge under Windows or Wine,
// as its VoIP client and its base station, and prints what it saw.
//
//   e2e-driver [--transcript FILE] [--inf FILE] BRIDGER-EXE SCENARIO-FILE
//   e2e-driver --shell-open URL     (the run's handler of web addresses, see ShellWatch.h)
//
// The base is the virtual base station of tools/base-device: `base plug` adds its device
// node with the minidriver of the INF (by default bridger-base.inf beside this program).
// Exit status: 0 every expect held, 1 one failed, 2 script error, 3 the test bed (the
// virtual base, the bridge's process) could not be set up. Besides bridger-sim's language,
// a second `start` starts another instance beside the first. At the end standard error
// says how many checks held and which could not be made from outside, and why.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <windows.h>

#include "tools/bridger-sim/Scenario.h"
#include "tools/e2e-driver/Checks.h"
#include "tools/e2e-driver/Driver.h"
#include "tools/e2e-driver/ProgramFolder.h"
#include "tools/e2e-driver/ShellWatch.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: e2e-driver [--transcript FILE] [--inf FILE] BRIDGER-EXE SCENARIO-FILE\n");
    return scn::kScriptError;
}

}  // namespace

int main(int argc, char** argv) {
    // Plain line feeds, as the Unix side reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc == 3 && std::strcmp(argv[1], "--shell-open") == 0) return e2e::ShellWatch::Report(argv[2]);
    e2e::Settings settings;
    std::string transcriptFile;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--transcript" || arg == "--inf") && i + 1 < argc) {
            (arg == "--inf" ? settings.inf : transcriptFile) = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) return Usage();
    settings.bridger = positional[0];
    settings.scenario = positional[1];
    if (settings.inf.empty()) settings.inf = e2e::BesideThisProgram("bridger-base.inf");
    settings.self = e2e::BesideThisProgram("e2e-driver.exe");

    std::ifstream in(settings.scenario);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read the scenario\n", settings.scenario.c_str());
        return scn::kScriptError;
    }
    settings.marked = e2e::MarkedChecks(in);
    in.clear();
    in.seekg(0);
    std::vector<scn::Step> steps;
    scn::ScriptError error;
    if (!scn::ParseScript(in, steps, &error)) {
        std::fprintf(stderr, "%s:%d: %s\n", settings.scenario.c_str(), error.line, error.message.c_str());
        return scn::kScriptError;
    }
    if (!transcriptFile.empty()) {
        settings.transcriptCopy = std::fopen(transcriptFile.c_str(), "w");
        if (!settings.transcriptCopy) {
            std::fprintf(stderr, "%s: cannot write the transcript\n", transcriptFile.c_str());
            return scn::kScriptError;
        }
    }
    e2e::Driver driver(settings);
    const int status = driver.Run(steps);
    if (settings.transcriptCopy) std::fclose(settings.transcriptCopy);
    return status;
}
