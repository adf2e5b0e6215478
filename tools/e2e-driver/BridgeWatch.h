// The bridge's processes seen from outside: started with a command line, their windows
// found by enumeration (the hidden main dialog, modeless windows named by the captions of
// the executable's own dialog templates, message boxes read and confirmed with OK, popup
// menus), their log files noticed by their sharing lock, and their end.
#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/Recorder.h"

namespace e2e {

class BridgeWatch {
public:
    explicit BridgeWatch(Recorder& recorder) : recorder_(recorder) {}
    ~BridgeWatch();
    BridgeWatch(const BridgeWatch&) = delete;
    BridgeWatch& operator=(const BridgeWatch&) = delete;

    // Reads the window captions from the executable's resources.
    bool Load(const std::string& exe, std::string& error);
    // Starts one more process of the bridge with these arguments.
    bool Start(const std::string& arguments, std::string& error);
    // Notes what changed since the last call.
    void Poll();

    void SetAutoBoxes(bool on) { autoBoxes_ = on; }
    // Confirms the newest open message box; false when none is open.
    bool ConfirmBox();
    bool BoxOpen() const { return !openBoxes_.empty(); }
    // The main dialog of the first process still running, or null.
    HWND MainDialog() const;
    // A top-level window of a bridge process by its transcript name ("info", ...), or null.
    HWND WindowNamed(const std::string& name) const;
    bool Started() const { return !processes_.empty(); }
    // A window was seen that is not named yet (its controls still being made).
    bool Settling() const;
    // A popup menu of a bridge shows (at the last look).
    bool MenuOpen() const;
    // Ends what still runs: Exit to each main dialog, then the process itself if it lingers.
    void EndAll(const std::function<void(DWORD)>& pump);

private:
    struct Process {
        HANDLE handle = nullptr;
        DWORD pid = 0;
        bool ended = false;
        HWND main = nullptr;
        bool hadMain = false;
        std::map<HWND, std::string> windows;  // named windows besides the main dialog
        std::map<HWND, DWORD> unnamed;        // seen, not yet named: since when
        std::set<HWND> menus;                 // popup menus shown at the last look
    };
    std::string NameOf(HWND window) const;
    // Lines found at `now` happened after the previous look.
    void PollWindows(Process& process, double now);
    void PollFiles(double now);

    Recorder& recorder_;
    std::string exe_;
    std::map<std::string, std::string> names_;  // caption -> window name
    std::vector<Process> processes_;
    bool autoBoxes_ = true;
    // A window found now was made after the previous look: that is when it counts.
    double lastPollMs_ = 0;
    std::vector<HWND> openBoxes_;
    std::set<HWND> seenBoxes_;
    std::map<HWND, DWORD> boxFirstSeen_;
    std::map<std::string, bool> files_;  // log file -> locked (open) at the last look
};

}  // namespace e2e
