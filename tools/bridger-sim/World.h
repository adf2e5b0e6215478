// What a scenario plays against: the headless bridge on a virtual clock (bridger-sim) or
// Bridger.exe under Windows or Wine in real time (e2e-driver). scn::Engine reads the steps
// and calls these; each world says what it cannot play, and reports failures its own way.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "tools/bridger-sim/Scenario.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace scn {

// Exit statuses of bridger-sim and e2e-driver; only the driver's test bed can fail to start.
constexpr int kAllHeld = 0;
constexpr int kExpectFailed = 1;
constexpr int kScriptError = 2;
constexpr int kCannotStart = 3;

class World {
public:
    virtual ~World() = default;

    // Says that the step failed, as "FILE:LINE: ..."; returns the exit status it ends with.
    virtual int Fail(const Step& step, int status, const std::string& message) = 0;

    // The bridge's process.
    virtual bool Started() const = 0;
    virtual int SetClock(const Step& step) = 0;  // `clock`, before start
    virtual void SetOs(const plat::OsVersion& os) = 0;
    virtual bool EnsureStarted(const std::string& arguments, std::string& error) = 0;
    virtual int StartAgain(const Step& step) = 0;  // `start` once the process runs
    // Before every step once the process runs.
    virtual int BeforeStep(const Step& step) = 0;
    // False for a step this world cannot play (it notes so); the step is skipped.
    virtual bool Plays(const Step& step) = 0;
    virtual void Run(std::uint64_t ms) = 0;
    // After a step that set something going (a report, a notification).
    virtual void Sent() = 0;
    // After every step with its status so far; returns the status it ends with.
    virtual int AfterStep(const Step& step, int status) = 0;
    // After the last step (or the first that failed); returns the exit status.
    virtual int Finish(const std::vector<Step>& steps, int status) = 0;

    // The base station.
    virtual int PlugBase(const Step& step) = 0;
    virtual int UnplugBase(const Step& step) = 0;
    virtual void WithBase(const std::function<void(sim::SimBase&)>& act) = 0;
    // A handset's action at the base (the step says which).
    virtual void Handset(const Step& step, const std::function<void(sim::SimBase&)>& act) = 0;

    // The VoIP client.
    virtual void StartClient(sim::ClientKindSim kind) = 0;
    virtual void ClientAttach(int status) = 0;
    virtual void StopClient() = 0;
    virtual sim::SimClient& Client() = 0;
    virtual void ClientSay(const std::string& text) = 0;
    virtual void ClientSendRaw(const std::vector<std::uint8_t>& bytes) = 0;

    // The user. Each action is false, saying why in error, when its window or control is
    // not there.
    virtual bool Command(int commandId, std::string& error) = 0;
    virtual bool Tray(unsigned mouseMessage, std::string& error) = 0;
    virtual bool Click(const std::string& window, int controlId, std::string& error) = 0;
    virtual bool CheckRadio(const std::string& window, int controlId, std::string& error) = 0;
    virtual bool Select(const std::string& window, int controlId, int index, std::string& error) = 0;
    virtual bool Close(const std::string& window, std::string& error) = 0;
    virtual bool Show(const std::string& window, std::string& error) = 0;
    virtual void AutoMessageBoxes(bool on) = 0;
    virtual bool ConfirmMessageBox() = 0;  // false when no box is open

    // The transcript.
    virtual int Expect(const Step& step) = 0;
    virtual int ExpectNot(const Step& step) = 0;
};

}  // namespace scn
