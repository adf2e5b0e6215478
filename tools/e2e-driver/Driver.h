// The world of the end-to-end scenarios, played by bridger-sim's engine: Bridger.exe
// started as a process of its own, its base station (a HID device of Wine's) and its VoIP
// client played here for real, `run MS` waiting real time. The transcript holds what is visible from outside
// (tools/e2e-driver/Checks.h lists how each kind is seen); an expect waits for its line up
// to kExpectWaitMs, so the scenario keeps pace with a bridge on a busy machine.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/bridger-sim/Scenario.h"
#include "tools/bridger-sim/World.h"
#include "tools/e2e-driver/BaseServer.h"
#include "tools/e2e-driver/BridgeWatch.h"
#include "tools/e2e-driver/Checks.h"
#include "tools/e2e-driver/ClientPeer.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/LogWatch.h"
#include "tools/e2e-driver/ShellWatch.h"
#include "tools/e2e-driver/StatusWatch.h"
#include "tools/e2e-driver/Recorder.h"
#include "tools/e2e-driver/TrayArea.h"
#include "tools/e2e-driver/WindowReader.h"

namespace e2e {

// How long an expect (or a user's action) waits for what it needs: a two-core machine kept
// busy with other work runs the bridge two to three times slower (its start-up, 4 s on a
// quiet machine, took 9 s there).
constexpr double kExpectWaitMs = 10000;
// How often a pump looks at the bridge's windows, and how long a line waits for one of
// another channel that happened before it.
constexpr double kPollEveryMs = 40;
constexpr double kSettleMs = 30;

struct Settings {
    std::string bridger;  // path of Bridger.exe
    std::string scenario; // file name, for messages
    std::string inf;      // the virtual base's minidriver package
    std::string self;     // path of this program, the web-address handler of the run
    std::map<int, std::string> marked;  // lines whose check the scenario says cannot be made here
    std::FILE* transcriptCopy = nullptr;
};

class Driver : public scn::World {
public:
    explicit Driver(Settings settings);
    // Sets up the test bed and plays the steps; the exit status (scn::kCannotStart when the
    // test bed could not be set up).
    int Run(const std::vector<scn::Step>& steps);

    int Fail(const scn::Step& step, int status, const std::string& message) override;
    bool Started() const override { return watch_.Started(); }
    int SetClock(const scn::Step& step) override;
    void SetOs(const plat::OsVersion& os) override { os_ = os; }
    bool EnsureStarted(const std::string& arguments, std::string& error) override;
    // Another instance of the program, started beside the first.
    int StartAgain(const scn::Step& step) override;
    // A user's action closes the tray menu first; notes when the scenario acted.
    int BeforeStep(const scn::Step& step) override;
    // The misbehaving base (echo and replies other than on and off, hold, release) is
    // played on the headless bridge alone.
    bool Plays(const scn::Step& step) override;
    void Run(std::uint64_t ms) override { Pump(static_cast<double>(ms)); }
    // What the step set going goes out at once.
    void Sent() override { PumpOnce(0); }
    int AfterStep(const scn::Step&, int status) override { return status; }
    int Finish(const std::vector<scn::Step>& steps, int status) override;

    int PlugBase(const scn::Step& step) override;
    int UnplugBase(const scn::Step& step) override;
    void WithBase(const std::function<void(sim::SimBase&)>& act) override { base_.With(act); }
    // Notes what the client should hear of it, for the latencies.
    void Handset(const scn::Step& step, const std::function<void(sim::SimBase&)>& act) override;

    void StartClient(sim::ClientKindSim kind) override { client_.Start(kind); }
    void ClientAttach(int status) override { client_.Attach(status, watch_.MainDialog()); }
    void StopClient() override { client_.Stop(); }
    sim::SimClient& Client() override { return client_.Sim(); }
    void ClientSay(const std::string& text) override { client_.Say(text); }
    void ClientSendRaw(const std::vector<std::uint8_t>& bytes) override { client_.SendRaw(bytes); }

    bool Command(int commandId, std::string& error) override;
    bool Tray(unsigned mouseMessage, std::string& error) override;
    bool Click(const std::string& window, int controlId, std::string& error) override;
    bool CheckRadio(const std::string& window, int controlId, std::string& error) override;
    bool Select(const std::string& window, int controlId, int index, std::string& error) override;
    bool Close(const std::string& window, std::string& error) override;
    bool Show(const std::string& window, std::string& error) override;
    void AutoMessageBoxes(bool on) override;
    bool ConfirmMessageBox() override;

    int Expect(const scn::Step& step) override;
    int ExpectNot(const scn::Step& step) override;

private:
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
    bool WaitForMainDialog(std::string& error);
    // Reads again the window an expected `control` line names, if it changed.
    void Reread(const std::string& controlText);
    void Pump(double ms);
    void PumpOnce(DWORD waitMs);
    HWND Window(const std::string& name) const;
    HWND Control(const std::string& window, int id, std::string& error);
    HWND OpenWindow(const std::string& name, std::string& error);
    void EndRun();
    void Summary() const;

    Settings settings_;
    scn::Transcript transcript_;
    Recorder recorder_;
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
    double stepAt_ = 0;  // when the current step began
    double lastPoll_ = -1000;
    double lastReread_ = -1000;
    int held_ = 0;
    std::map<std::string, int> unseen_;  // why a check could not be made -> how often
};

}  // namespace e2e
