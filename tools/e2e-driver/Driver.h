// Plays a bridger-sim scenario against the real bridge: Bridger.exe started as a process
// of its own, its base station (a HID device of Wine's) and its VoIP client played here for
// real, `run MS` waiting real time. The transcript holds the kinds visible from outside.
#pragma once
#include <string>
#include <vector>

#include "tools/bridger-sim/Scenario.h"
#include "tools/e2e-driver/BaseServer.h"
#include "tools/e2e-driver/BridgeWatch.h"
#include "tools/e2e-driver/ClientPeer.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/Transcript.h"

namespace e2e {

// Exit statuses, as bridger-sim's, and one for a test bed that could not be set up.
constexpr int kAllHeld = 0;
constexpr int kExpectFailed = 1;
constexpr int kScriptError = 2;
constexpr int kCannotStart = 3;

struct Settings {
    std::string bridger;  // path of Bridger.exe
    std::string scenario; // file name, for messages
    std::string inf;      // the virtual base's minidriver package
    std::FILE* transcriptCopy = nullptr;
};

class Driver {
public:
    explicit Driver(Settings settings);
    int Run(const std::vector<scn::Step>& steps);

private:
    int Execute(const scn::Step& step);
    int Fail(const scn::Step& step, int status, const std::string& message);
    // A line whose effect only the simulated base can give: noted and skipped.
    int NotOnRealBuild(const scn::Step& step);
    // The text an expect looks for in this transcript; false for a kind it cannot hold.
    bool Observable(const scn::Step& step, std::string& text);
    bool EnsureStarted(const std::string& arguments, std::string& error);
    void Pump(double ms);
    void PumpOnce(DWORD waitMs);
    HWND Control(const std::string& window, int id, std::string& error);
    void Finish();

    Settings settings_;
    Transcript transcript_;
    Latency latency_;
    BaseServer base_;
    ClientPeer client_;
    BridgeWatch watch_;
    plat::OsVersion os_{5, 1};
    bool plugged_ = false;
    double lastPoll_ = -1000;
    int unchecked_ = 0;
};

}  // namespace e2e
