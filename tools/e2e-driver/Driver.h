// Plays a bridger-sim scenario against the real bridge: Bridger.exe started as a process
// of its own, its base station (a HID device of Wine's) and its VoIP client played here for
// real, `run MS` waiting real time. The transcript holds what is visible from outside
// (tools/e2e-driver/Checks.h lists how each kind is seen); an expect waits for its line up
// to kExpectWaitMs, so the scenario keeps pace with a bridge on a busy machine.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/bridger-sim/Scenario.h"
#include "tools/e2e-driver/BaseServer.h"
#include "tools/e2e-driver/BridgeWatch.h"
#include "tools/e2e-driver/Checks.h"
#include "tools/e2e-driver/ClientPeer.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/LogWatch.h"
#include "tools/e2e-driver/ShellWatch.h"
#include "tools/e2e-driver/StatusWatch.h"
#include "tools/e2e-driver/Transcript.h"
#include "tools/e2e-driver/TrayArea.h"
#include "tools/e2e-driver/WindowReader.h"

namespace e2e {

// Exit statuses, as bridger-sim's, and one for a test bed that could not be set up.
constexpr int kAllHeld = 0;
constexpr int kExpectFailed = 1;
constexpr int kScriptError = 2;
constexpr int kCannotStart = 3;

// How long an expect (or a user's action) waits for what it needs: a two-core machine kept
// busy with other work runs the bridge two to three times slower (its start-up, 4 s on a
// quiet machine, took 9 s there).
constexpr double kExpectWaitMs = 10000;

struct Settings {
    std::string bridger;  // path of Bridger.exe
    std::string scenario; // file name, for messages
    std::string inf;      // the virtual base's minidriver package
    std::string self;     // path of this program, the web-address handler of the run
    std::map<int, std::string> marked;  // lines whose check the scenario says cannot be made here
    std::FILE* transcriptCopy = nullptr;
};

class Driver {
public:
    explicit Driver(Settings settings);
    int Run(const std::vector<scn::Step>& steps);

private:
    int Execute(const scn::Step& step);
    int Expect(const scn::Step& step);
    int ExpectNot(const scn::Step& step);
    int Fail(const scn::Step& step, int status, const std::string& message);
    // Whether the check can be made here and now; notes what of it cannot.
    bool Visible(const scn::Step& step, const Check& check);
    void Unseen(const scn::Step& step, const std::string& why);
    // A user's next action closes the tray menu first (choosing an item closes it too);
    // false when it stays open.
    bool CloseMenu();
    // What the shell sends the bridge for a mouse event on its icon: the event alone, or with
    // today's callback the event and the icon's id, a right press followed by its release and
    // WM_CONTEXTMENU.
    void PostTrayEvent(UINT event);
    // Waits until the state holds, up to kExpectWaitMs; false if it never did.
    bool WaitFor(const std::function<bool()>& state);
    // Reads again the window an expected `control` line names, if it changed.
    void Reread(const std::string& controlText);
    // A line whose effect only the simulated base can give: noted and skipped.
    int NotOnRealBuild(const scn::Step& step);
    // The text an expect looks for in this transcript; false for a kind it cannot hold.
    bool Observable(const scn::Step& step, std::string& text);
    bool EnsureStarted(const std::string& arguments, std::string& error);
    void Pump(double ms);
    void PumpOnce(DWORD waitMs);
    HWND Window(const std::string& name) const;
    HWND Control(const std::string& window, int id, std::string& error);
    void Finish();
    void Summary() const;

    Settings settings_;
    Transcript transcript_;
    Latency latency_;
    BaseServer base_;
    ClientPeer client_;
    BridgeWatch watch_;
    TrayArea tray_;
    ShellWatch shell_;
    StatusWatch status_;
    LogWatch logs_;
    WindowReader reader_;
    plat::OsVersion os_{5, 1};
    bool plugged_ = false;
    double lastPoll_ = -1000;
    double lastReread_ = -1000;
    int held_ = 0;
    std::map<std::string, int> unseen_;  // why a check could not be made -> how often
};

}  // namespace e2e
