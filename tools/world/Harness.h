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
#include "tools/bridger-sim/Line.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

class CBridgeDlg;

namespace scn {
class Transcript;
}  // namespace scn

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
    bool atConsole = true;                // the process's session has the console
    bool checkRules = false;              // run the rule checkers over the peers
};

// One observable effect (a Line): virtual time in ms, kind and text. Kinds and their texts:
//   usb> HEX / usb< HEX         a report written to / read from the base (upper-case hex)
//   client> TEXT / client< TEXT a command delivered to / a notification sent by the client
//   broadcast NAME / attach N   the discover broadcast / an attach message with its status
//   status N TEXT               m_nStatus of the main dialog changed (recorded before the
//                               next line, or after the event that changed it)
//   msgbox TEXT, balloon TEXT, shell TARGET, exit RESULT
//   tray add TIP / tray remove / tray menu ITEM|ITEM|...  ("-" stands for a separator; an
//                               item as it reads, without its key's "&") / tray restart (Explorer)
//   window created NAME / window destroyed NAME
//   device-log TEXT / voip-log TEXT   a line inserted into the debug window's lists
//   file open NAME / file close NAME / file open-failed NAME
//   thread created / thread resumed / thread suspended
//   session CHANGE              the session's console state changed (SessionChange)
//   control ...                 from Show()
// The harness must only be called from the caller's thread, never from inside the process.

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

    // Reads of the base behave as on a real bus (HeadlessHid::SetLiveReads): a report
    // completes the bridge's outstanding read as soon as the base has it, setting the read's
    // event, and a poll's wait for its report lasts its full time. Off (the default) a report
    // reaches the bus just as the bridge's poll looks for one.
    void LiveReads(bool on);
    // Runs `during` inside each command the bridge sends to the client, while the bridge
    // waits in SendMessage for the client (the command as argument). What it sends to the
    // bridge (ClientSayNow, SendNow) is handled nested in that wait, as sent messages are;
    // it must not call the other members of the harness. Empty: none.
    void DuringClientCommand(std::function<void(const std::string& command)> during);
    void ClientSayNow(const std::string& text);
    // A message to the main dialog's window procedure, now (a sent message).
    void SendNow(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

    // Starts another process entry instead of the bridge (platform tests with dialogs of
    // their own); the command line is what plat::system().CommandLine() returns.
    void StartWith(std::function<int()> processMain, const std::string& commandLine = "");
    // BridgerMain's result once the process ended, else -1.
    int ExitCode() const;

    // User actions. Windows are named "main", "info", "debug", "options", "setup", "about".
    // Each returns false (and says why in *error) when the window, icon or control is not there.
    bool Command(int commandId, std::string* error = nullptr);              // to the main dialog
    // As the shell sends it: with today's callback (the icon took version 4) the event packs
    // the icon id and the icon's place, and a right press (516) brings its release and
    // WM_CONTEXTMENU as well.
    bool TrayCallback(unsigned mouseMessage, std::string* error = nullptr);  // 515, 516, ...
    bool Click(const std::string& window, int controlId, std::string* error = nullptr);
    bool CheckRadio(const std::string& window, int controlId, std::string* error = nullptr);
    bool Select(const std::string& window, int controlId, int index, std::string* error = nullptr);
    bool Close(const std::string& window, std::string* error = nullptr);
    // One line per control of the window, as the transcript's "control" kind.
    bool Show(const std::string& window, std::string* error = nullptr);
    void SetAutoMessageBoxes(bool autoClose);
    // Popup menus close at once (the default), or stay open, their loop running underneath,
    // until ChooseMenuItem (the command then reaches its window) or CloseMenu.
    void SetManualMenus(bool manual);
    bool MenuOpen() const;
    bool ChooseMenuItem(int commandId);
    bool CloseMenu();
    // Confirms the innermost open message box; false when none is open.
    bool ConfirmMessageBox();
    int OpenMessageBoxes() const;

    // The system. Explorer starts again: its notification area is empty and it broadcasts
    // "TaskbarCreated".
    void RestartShell();
    // Sends the message to every top-level window of the process, as a broadcast does, and
    // lets it run; each window's result (the default procedure's where it has none).
    std::vector<std::intptr_t> SendToTopLevel(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    // The process's session changes as the system reports it (WTS_CONSOLE_CONNECT 1,
    // WTS_CONSOLE_DISCONNECT 2, WTS_REMOTE_CONNECT 3, WTS_REMOTE_DISCONNECT 4, locks and the
    // rest): it comes to the console or leaves it, and each window that asked to hear of it
    // gets WM_WTSSESSION_CHANGE. Transcript: "session CHANGE".
    void SessionChange(unsigned change);

    // Observation.
    const std::vector<Line>& Transcript() const;
    // The transcript itself, with the expect cursor a scenario checks it through.
    scn::Transcript& Record();
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
