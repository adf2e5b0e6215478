// The verbs that play the system and the other programs of the desktop: the session
// ending, a hung program, a session change, and the read-backs of modules and parents.
#include "tools/desktop-probe/Probe.h"

#include <tlhelp32.h>

#include <cctype>
#include <vector>

namespace desktop {

namespace {

constexpr UINT kSendWaitMs = 5000;
constexpr UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
constexpr LPARAM kCloseApp = 0x00000001;  // ENDSESSION_CLOSEAPP

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string ClassOf(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

}  // namespace

int EndSessionVerb(const Options& o) {
    if (!o.Has("process")) return 2;
    const std::vector<DWORD> ids = ProcessesNamed(o.Get("process"));
    const std::vector<HWND> windows = WindowsOf(o.Get("process"));
    if (ids.empty() || windows.empty()) {
        Say("endsession: no windows of %s\n", o.Get("process").c_str());
        return 1;
    }
    const LPARAM why = o.Has("closeapp") ? kCloseApp : 0;
    // Every top-level window is asked first; all of them are told only when all said yes.
    bool allYes = true;
    for (HWND window : windows) {
        DWORD_PTR answer = 0;
        const bool replied = SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, why, SMTO_NORMAL, kSendWaitMs,
                                                 &answer) != 0;
        if (!replied) continue;  // gone meanwhile
        Say("query %s: %s\n", ClassOf(window).c_str(), answer ? "yes" : "no");
        allYes = allYes && answer;
    }
    if (!allYes) return 1;
    for (HWND window : windows) {
        DWORD_PTR ignored = 0;
        if (IsWindow(window)) SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, why, SMTO_NORMAL, kSendWaitMs, &ignored);
    }
    Say("told\n");
    if (o.Has("kill")) {
        // Windows does not wait for the program to end by itself once it has been told.
        for (DWORD id : ids) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
            if (!process) continue;
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
        Say("killed\n");
    }
    return 0;
}

int HangVerb(const Options& o) {
    const long seconds = o.Number("seconds", 60);
    HWND window = CreateWindowExW(0, L"STATIC", L"hung", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return 1;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Say("hung %p\n", static_cast<void*>(window));
    Sleep(static_cast<DWORD>(seconds) * 1000);  // reads no message meanwhile
    return 0;
}

int ModulesVerb(const Options& o) {
    if (!o.Has("process")) return 2;
    const std::vector<DWORD> ids = ProcessesNamed(o.Get("process"));
    if (ids.empty()) {
        Say("modules: no process %s\n", o.Get("process").c_str());
        return 1;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, ids.front());
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    int status = 1;
    for (BOOL ok = Module32First(snapshot, &module); ok; ok = Module32Next(snapshot, &module)) {
        if (Lower(module.szModule) != "comctl32.dll") continue;
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(module.szExePath, &handle);
        std::vector<char> block(size ? size : 1);
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (size && GetFileVersionInfoA(module.szExePath, 0, size, block.data()) &&
            VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) && info) {
            Say("comctl32 %u.%u.%u.%u %s\n", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS), module.szExePath);
            status = 0;
        }
    }
    CloseHandle(snapshot);
    if (status) Say("modules: no common-controls library in %s\n", o.Get("process").c_str());
    return status;
}

int SessionVerb(const Options& o) {
    if (!o.Has("process") || !o.Has("change")) return 2;
    HWND main = MainDialogOf(o.Get("process"));
    if (!main) {
        Say("session: no main dialog of %s\n", o.Get("process").c_str());
        return 1;
    }
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    PostMessageW(main, kSessionChange, static_cast<WPARAM>(o.Number("change", 0)), static_cast<LPARAM>(session));
    Say("session change %ld posted\n", o.Number("change", 0));
    return 0;
}

int ParentVerb(const Options& o) {
    if (!o.Has("process")) return 2;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) all.push_back(entry);
    CloseHandle(snapshot);
    for (const PROCESSENTRY32& child : all) {
        if (Lower(child.szExeFile) != Lower(o.Get("process"))) continue;
        for (const PROCESSENTRY32& parent : all) {
            if (parent.th32ProcessID != child.th32ParentProcessID) continue;
            Say("parent %s\n", Lower(parent.szExeFile).c_str());
            return 0;
        }
        Say("parent unknown (%lu)\n", child.th32ParentProcessID);
        return 1;
    }
    Say("parent: no process %s\n", o.Get("process").c_str());
    return 1;
}

}  // namespace desktop
