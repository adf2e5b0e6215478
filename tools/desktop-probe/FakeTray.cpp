// The tray verb: the notification area of an Explorer that has just started again.
#include "tools/desktop-probe/Probe.h"

#include <shellapi.h>

#include <cstring>

namespace desktop {

namespace {

constexpr const wchar_t* kTrayClass = L"Shell_TrayWnd";
constexpr UINT kMenuKey = 0x007B;  // WM_CONTEXTMENU, as today's callback reports the menu key
constexpr DWORD kPollMs = 50;

// The first fields of the record Wine's shell32 sends its notification area with
// WM_COPYDATA for every Shell_NotifyIcon call (dwData: NIM_ADD, NIM_SETVERSION, ...).
struct IconRecordStart {
    LONG window;
    UINT id;
    UINT flags;
    UINT callback;
};

struct Seen {
    std::vector<DWORD> processes;
    HWND owner = nullptr;
    UINT id = 0;
    UINT callback = 0;
    bool added = false;
    bool versioned = false;
};
Seen* g_seen = nullptr;

bool FromWatchedProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    for (DWORD id : g_seen->processes)
        if (id == pid) return true;
    return false;
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_COPYDATA || !g_seen) return DefWindowProcW(window, message, wparam, lparam);
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (!data || !data->lpData || data->cbData < sizeof(IconRecordStart)) return FALSE;
    IconRecordStart start;
    std::memcpy(&start, data->lpData, sizeof start);
    HWND owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(start.window));
    if (!FromWatchedProcess(owner)) return TRUE;
    if (data->dwData == NIM_ADD) {
        g_seen->owner = owner;
        g_seen->id = start.id;
        g_seen->callback = start.callback;
        g_seen->added = true;
        Say("add id %u callback %u flags 0x%x\n", start.id, start.callback, start.flags);
    } else if (data->dwData == NIM_SETVERSION) {
        g_seen->versioned = g_seen->added && start.id == g_seen->id;
        Say("setversion id %u\n", start.id);
    } else {
        Say("notify %lu id %u flags 0x%x\n", static_cast<unsigned long>(data->dwData), start.id, start.flags);
    }
    return TRUE;
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

bool WaitFor(long timeoutMs, bool (*done)()) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<long>(GetTickCount() - start) >= timeoutMs) return false;
        Pump(kPollMs);
    }
    return true;
}

// A popup menu of the process on show (the menu's own window, class #32768).
HWND OpenMenu(const std::string& process) {
    for (HWND window : WindowsOf(process)) {
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (lstrcmpA(cls, "#32768") == 0 && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

}  // namespace

int TrayVerb(const Options& o) {
    if (!o.Has("process")) return 2;
    const std::string process = o.Get("process");
    const long timeout = o.Number("timeout", 10000);
    if (FindWindowW(kTrayClass, nullptr)) {
        Say("tray: a notification area is there already\n");
        return 2;
    }
    Seen seen;
    seen.processes = ProcessesNamed(process);
    if (seen.processes.empty()) {
        Say("tray: no process %s\n", process.c_str());
        return 1;
    }
    g_seen = &seen;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TrayProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kTrayClass;
    RegisterClassW(&wc);
    HWND tray = CreateWindowExW(0, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    if (!tray) return 1;
    // What Explorer does once its taskbar exists again.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    Say("taskbar created\n");
    const bool got = WaitFor(timeout, [] { return g_seen->added && g_seen->versioned; });
    if (!got) {
        Say(seen.added ? "tray: no version asked for\n" : "tray: no icon added\n");
        DestroyWindow(tray);
        return 1;
    }
    int status = 0;
    if (o.Has("menu")) {
        // The menu key on the icon: today's callback carries the event, the icon and its place.
        PostMessageW(seen.owner, seen.callback, MAKEWPARAM(100, 100), MAKELPARAM(kMenuKey, seen.id));
        static std::string watched;
        watched = process;
        if (WaitFor(timeout, [] { return OpenMenu(watched) != nullptr; })) {
            Say("menu open\n");
            PostMessageW(seen.owner, WM_CANCELMODE, 0, 0);  // as a click elsewhere
            WaitFor(timeout, [] { return OpenMenu(watched) == nullptr; });
        } else {
            Say("tray: no menu opened\n");
            status = 1;
        }
    }
    DestroyWindow(tray);
    return status;
}

}  // namespace desktop
