// Runs the real bridge process (CBridgeApp and everything behind it) on the headless
// platform, against a simulated base station and a simulated VoIP client, on a virtual
// clock. Used by bridger-sim and by the unit tests.
//
// The bridge runs on a thread of its own, but never at the same time as the caller: each
// call below hands control to it and waits until it is idle again (waiting for the next
// event, also inside a nested message-box loop). So the caller may read the bridge's
// fields between calls.
//
// A second instance: every Harness of one test program shares one "machine", so a named
// mutex created by the bridge of one Harness is found by the bridge of another Harness
// started while the first still runs. Each Harness is a process of its own in every
// other respect (windows, clock, peers, transcript); a process's mutexes go away when its
// Harness is destroyed.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

class CBridgeDlg;

namespace sim {

class SimBase;
class SimClient;
class HeadlessPlatform;
struct Violation;
class UserView;

struct Options {
    std::string lang = "en";              // "en" or "zh-TW"
    plat::TimeOfDay clock{10, 7, 0};      // local time at virtual time 0
    plat::OsVersion os{5, 1};
    bool autoMessageBoxes = true;         // boxes close at once
    bool checkRules = false;              // run the rule checkers over the peers
};

// One observable effect: virtual time in ms, kind and text. Kinds and their texts:
//   usb> HEX / usb< HEX         a report written to / read from the base (upper-case hex)
//   client> TEXT / client< TEXT a command delivered to / a notification sent by the client
//   broadcast NAME / attach N   the discover broadcast / an attach message with its status
//   status N TEXT               m_nStatus of the main dialog changed (recorded before the
//                               next line, or after the event that changed it)
//   msgbox TEXT, balloon TEXT, shell TARGET, exit RESULT
//   tray add TIP / tray remove / tray menu ITEM|ITEM|...  ("-" stands for a separator)
//   window created NAME / window destroyed NAME
//   device-log TEXT / voip-log TEXT   a line inserted into the debug window's lists
//   file open NAME / file close NAME / file open-failed NAME
//   thread created / thread resumed / thread suspended
//   control ...                 from Show()
// The harness must only be called from the caller's thread, never from inside the process.
struct Line {
    std::uint64_t time = 0;
    std::string kind;
    std::string text;
    std::string Format() const;  // "TIME KIND TEXT"
};

class Harness {
public:
    explicit Harness(Options options = {});
    ~Harness();  // ends a bridge that is still running
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    // Starts the process with this command line; returns once it waits for events (or ended).
    void Start(const std::string& commandLine = "");
    // The process's InitInstance has returned.
    bool Ended() const;
    // Advances the virtual clock, delivering every timer that falls due, in order.
    void Run(std::uint64_t ms);
    std::uint64_t Now() const;
    // From now on every call below delivers on the caller's thread (see EventLoop::SetInline):
    // much faster, for fuzzers and long runs that open no modal window once it is on.
    void DriveInline(bool on);

    // The main dialog while the bridge runs, else nullptr.
    CBridgeDlg* Bridge() const;

    // Peers.
    SimBase& Base();
    SimClient& Client();
    void PlugBase();    // HID interface 0x0E5E/0x6611 and the wave device "VA6 USB Audio"
    void UnplugBase();
    bool BasePlugged() const;

    // The simulated client's process. Its API window exists from StartClient to StopClient;
    // while it runs it answers the discover broadcast of its kind with attach status 0.
    void StartClient(ClientKindSim kind);
    void StopClient();
    bool ClientRunning() const;
    plat::WindowHandle ClientWindow() const;
    // The client sends the attach message with this status (its window as WPARAM).
    void ClientAttach(int status);
    // The client sends one notification (copy-data, the text and its NUL).
    void ClientSay(const std::string& text);
    // The client sends these copy-data bytes exactly as given (no NUL added).
    void ClientSendRaw(const std::vector<std::uint8_t>& bytes);

    // Starts another process entry instead of the bridge (platform tests with dialogs of
    // their own); the command line is what plat::system().CommandLine() returns.
    void StartWith(std::function<int()> processMain, const std::string& commandLine = "");
    // BridgerMain's result once the process ended, else -1.
    int ExitCode() const;

    // User actions. Windows are named "main", "info", "debug", "options", "setup", "about".
    // Each returns false (and says why in *error) when the window, icon or control is not there.
    bool Command(int commandId, std::string* error = nullptr);              // to the main dialog
    bool TrayCallback(unsigned mouseMessage, std::string* error = nullptr);  // 515, 516, ...
    bool Click(const std::string& window, int controlId, std::string* error = nullptr);
    bool CheckRadio(const std::string& window, int controlId, std::string* error = nullptr);
    bool Select(const std::string& window, int controlId, int index, std::string* error = nullptr);
    bool Close(const std::string& window, std::string* error = nullptr);
    // One line per control of the window, as the transcript's "control" kind.
    bool Show(const std::string& window, std::string* error = nullptr);
    void SetAutoMessageBoxes(bool autoClose);
    // Confirms the innermost open message box; false when none is open.
    bool ConfirmMessageBox();
    int OpenMessageBoxes() const;

    // Observation.
    const std::vector<Line>& Transcript() const;
    // Lines of this kind whose text contains the fragment.
    std::vector<Line> Find(const std::string& kind, const std::string& fragment = "") const;
    // Index of the first line at or after `from` of this kind containing the fragment; -1 if none.
    int IndexOf(const std::string& kind, const std::string& fragment, int from = 0) const;

    HeadlessPlatform& Platform();
    // What the rule checkers found broken so far (always empty unless Options::checkRules).
    const std::vector<Violation>& Violations() const;
    // What the user sees of the bridge, as the rule checkers read it.
    const UserView& View() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
