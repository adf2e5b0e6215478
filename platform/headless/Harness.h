// Runs the real bridge process (CBridgeApp and everything behind it) on the headless
// platform, against a simulated base station and a simulated VoIP client, on a virtual
// clock. Used by bridger-sim and by the unit tests.
//
// The bridge runs on a thread of its own, but never at the same time as the caller: each
// call below hands control to it and waits until it is idle again (waiting for the next
// event, also inside a nested message-box loop). So the caller may read the bridge's
// fields between calls.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

class CBridgeDlg;

namespace sim {

class SimBase;
class SimClient;
class HeadlessPlatform;

struct Options {
    std::string lang = "en";              // "en" or "zh-TW"
    plat::TimeOfDay clock{10, 7, 0};      // local time at virtual time 0
    plat::OsVersion os{5, 1};
    bool autoMessageBoxes = true;         // boxes close at once
};

// One observable effect: virtual time in ms, kind ("usb>", "client<", "msgbox", ...), text.
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

    // The main dialog while the bridge runs, else nullptr.
    CBridgeDlg* Bridge() const;

    // Peers.
    SimBase& Base();
    SimClient& Client();
    void PlugBase();    // HID interface 0x0E5E/0x6611 and the wave device "VA6 USB Audio"
    void UnplugBase();

    // User actions. Windows are named "main", "info", "debug", "options", "setup", "about".
    void Command(int commandId);                 // a command message to the main dialog
    void TrayCallback(unsigned mouseMessage);    // 515, 516, ...
    // Each returns false (and says why in *error) when the window or control is not there.
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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
