// order-check: the orders the client, the user and the base meet in, played on the shipped
// Bridger.exe under Windows or Wine with the virtual HID base, each check on a bridge of its
// own:
//   menu-held      a right click sent (SendNotifyMessage, as Wine's tray delivers it) opens
//                  the tray menu; while it is held open a call rings, is answered, keyed and
//                  ended, and so does the next; once it is closed the next call rings, is
//                  answered, keyed and ended, and the bridge exits cleanly
//   exit-pending   the tray menu, opened the same way, chooses Exit while the base is idle
//                  (its read outstanding): the bridge ends with exit code 0
//   box-loopback   "loopback test ok!" held open while a call rings, is answered, keyed and
//                  ended
//   box-refusal    the refusal box held open while a handset goes off hook and hangs up;
//                  confirmed, the bridge exits
//
//   order-check [--inf FILE] BRIDGER-EXE [CHECK...]     (all checks when none is named)
// Prints "check NAME: pass" or "check NAME: FAIL: why" per check; exit status 0 when all
// passed, 1 when one failed, 2 for bad arguments, 3 when the bridge or its base cannot start.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "res/resource.h"
#include "tools/e2e-driver/ProgramFolder.h"
#include "tools/e2e-driver/WindowText.h"
#include "tools/responsiveness/TestBed.h"

namespace {

using e2e::Descendant;
using rsp::TestBed;

constexpr double kSeenWithinMs = 5000;
constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text

struct Failed {
    std::string why;
};

// Waits for the condition or fails the check with why.
void Expect(TestBed& bed, const std::function<bool()>& done, const std::string& why) {
    if (!bed.WaitFor(done, kSeenWithinMs)) throw Failed{why};
}

void ExpectCommand(TestBed& bed, const std::string& command, std::size_t from) {
    Expect(bed, [&] { return bed.Client().Count(command, from) > 0; }, "the client never got \"" + command + "\"");
}

void ExpectReport(TestBed& bed, const std::string& hex, double since, const std::string& what) {
    if (!bed.WaitReport(hex, since, kSeenWithinMs)) throw Failed{"the base never got " + what};
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// A visible top-level window of the bridge's process with this class (and, for a box, text).
HWND FindWindowOf(DWORD pid, const char* className) {
    struct Search {
        DWORD pid;
        const char* cls;
        HWND found;
    } search{pid, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            char cls[64] = {};
            GetClassNameA(window, cls, sizeof cls);
            if (ProcessOf(window) != s->pid || lstrcmpiA(cls, s->cls) != 0 || !IsWindowVisible(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box of the bridge: a dialog with the box's text static and an OK button.
HWND OpenBox(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            if (ProcessOf(window) != s->pid || !IsWindowVisible(window)) return TRUE;
            if (!GetDlgItem(window, kMessageTextId) || !GetDlgItem(window, IDOK)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForBox(TestBed& bed, DWORD pid, const std::string& what) {
    HWND box = nullptr;
    Expect(bed, [&] { return (box = OpenBox(pid)) != nullptr; }, "no message box " + what + " appeared");
    return box;
}

void Confirm(HWND box) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

// The client attaches with an empty phone book: the bridge is ready for calls.
void Attach(TestBed& bed) {
    bed.Client().Attach(bed.Bridge(), 0);
    ExpectCommand(bed, "SEARCH FRIENDS", 0);
    bed.Pump(300);
}

// A right click on the tray icon as Wine's tray delivers it: a message sent from another
// thread, which reaches the bridge wherever it is waiting.
HWND RightClick(TestBed& bed, DWORD pid) {
    SendNotifyMessageA(bed.Bridge(), WM_TRAY_CALLBACK, kTrayIconId, kTrayRightDown);
    HWND menu = nullptr;
    Expect(bed, [&] { return (menu = FindWindowOf(pid, "#32768")) != nullptr; }, "the tray menu did not open");
    return menu;
}

// A call rings, the handset answers, presses a key (unless keyless) and, unless kept,
// hangs up; each step is checked where it shows, at the client or the base.
void Call(TestBed& bed, const std::string& id, bool keyed, bool hangUp) {
    rsp::StandIn& client = bed.Client();
    const std::size_t from = client.Commands().size();
    const double rang = bed.Now();
    client.Say("CALL " + id + " STATUS RINGING");
    ExpectReport(bed, "24240C05", rang, "the ringing alert of call " + id);
    bed.Base().With([](sim::SimBase& b) { b.Answer(1); });
    ExpectCommand(bed, "SET CALL " + id + " STATUS INPROGRESS", from);
    if (keyed) {
        bed.Base().With([](sim::SimBase& b) { b.Key(1, '5'); });
        ExpectCommand(bed, "SET CALL " + id + " DTMF 5", from);
    }
    if (!hangUp) return;
    bed.Base().With([](sim::SimBase& b) { b.HangUp(1); });
    ExpectCommand(bed, "SET CALL " + id + " STATUS FINISHED", from);
    ExpectCommand(bed, "HOOK ON", from);
}

void ExpectExit(TestBed& bed) {
    std::string code;
    if (!bed.WaitExit(kSeenWithinMs, &code)) throw Failed{"the bridge did not end"};
    if (code != "0") throw Failed{"the bridge ended with exit code " + code};
}

void MenuHeld(TestBed& bed, DWORD pid) {
    Attach(bed);
    HWND menu = RightClick(bed, pid);
    Call(bed, "41", true, true);
    Call(bed, "42", false, true);
    if (!IsWindow(menu) || !IsWindowVisible(menu)) throw Failed{"the menu closed by itself"};
    PostMessageA(bed.Bridge(), WM_CANCELMODE, 0, 0);
    Expect(bed, [&] { return FindWindowOf(pid, "#32768") == nullptr; }, "the menu did not close");
    // The next call after the menu: its answer is acted on, and the bridge ends cleanly.
    Call(bed, "43", true, true);
    PostMessageA(bed.Bridge(), WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
    ExpectExit(bed);
}

void ExitPending(TestBed& bed, DWORD pid) {
    Attach(bed);
    HWND menu = RightClick(bed, pid);
    bed.Pump(500);  // the base idle, the poll's read outstanding
    // The last item is Exit: up from no selection, then Enter, as the keyboard chooses it.
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ExpectExit(bed);
}

void BoxLoopback(TestBed& bed, DWORD pid) {
    Attach(bed);
    PostMessageA(bed.Bridge(), WM_COMMAND, MAKEWPARAM(ID_TRAY_OPTIONS, 0), 0);
    HWND sheet = nullptr;
    Expect(bed, [&] { return (sheet = bed.Watch().WindowNamed("options")) != nullptr; }, "the options sheet did not open");
    // The sheet is named once its page has its first controls; the others follow.
    HWND loopback = nullptr;
    HWND execute = nullptr;
    Expect(bed, [&] {
        loopback = Descendant(sheet, IDC_LOOPBACK);
        execute = Descendant(sheet, IDC_EXECUTE);
        return loopback && execute && IsWindowEnabled(loopback) && IsWindowEnabled(execute);
    }, "the settings page's buttons did not appear");
    PostMessageA(loopback, BM_CLICK, 0, 0);
    Expect(bed, [&] { return SendMessageA(loopback, BM_GETCHECK, 0, 0) == BST_CHECKED; }, "the loopback test was not chosen");
    PostMessageA(execute, BM_CLICK, 0, 0);
    HWND box = WaitForBox(bed, pid, "with the loopback result");
    Call(bed, "51", true, true);
    if (!IsWindow(box)) throw Failed{"the box closed by itself"};
    Confirm(box);
    Call(bed, "52", false, true);
}

void BoxRefusal(TestBed& bed, DWORD pid) {
    bed.Client().Attach(bed.Bridge(), 2);
    HWND box = WaitForBox(bed, pid, "with the refusal");
    bed.Base().With([](sim::SimBase& b) { b.FuncKey(1, '*'); });
    bed.Pump(300);
    const double since = bed.Now();
    bed.Base().With([](sim::SimBase& b) { b.HangUp(1); });
    ExpectReport(bed, "2424030301F9", since, "the hang-up's acknowledgement under the box");
    if (!IsWindow(box)) throw Failed{"the box closed by itself"};
    Confirm(box);
    ExpectExit(bed);
}

struct Check {
    const char* name;
    void (*run)(TestBed&, DWORD);
};
const Check kChecks[] = {
    {"menu-held", MenuHeld}, {"exit-pending", ExitPending}, {"box-loopback", BoxLoopback}, {"box-refusal", BoxRefusal}};

// 0 passed, 1 failed, 3 the bed could not start.
int RunCheck(const Check& check, const std::string& bridger, const std::string& inf) {
    TestBed bed;
    bed.Watch().SetAutoBoxes(false);  // the boxes are held open here
    std::string error;
    if (!bed.Start(bridger, inf, error)) {
        std::printf("check %s: cannot start: %s\n", check.name, error.c_str());
        return 3;
    }
    try {
        check.run(bed, ProcessOf(bed.Bridge()));
    } catch (const Failed& failed) {
        std::printf("check %s: FAIL: %s\n", check.name, failed.why.c_str());
        return 1;
    }
    std::printf("check %s: pass\n", check.name);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::string inf = e2e::BesideThisProgram("bridger-base.inf");
    std::string bridger;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--inf" && i + 1 < argc) inf = argv[++i];
        else if (bridger.empty()) bridger = arg;
        else wanted.push_back(arg);
    }
    if (bridger.empty()) {
        std::fprintf(stderr, "usage: order-check [--inf FILE] BRIDGER-EXE [CHECK...]\n");
        return 2;
    }
    int status = 0;
    for (const Check& check : kChecks) {
        bool run = wanted.empty();
        for (const std::string& w : wanted) run = run || w == check.name;
        if (!run) continue;
        const int result = RunCheck(check, bridger, inf);
        if (result > status) status = result;
        std::fflush(stdout);
    }
    return status;
}
