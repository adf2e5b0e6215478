// window-probe's search for the windows of other processes, through ordinary window
// messages that time out rather than hang on a hung window.
#include "Probe.h"

#include <tlhelp32.h>

#include <cctype>

namespace probe {

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kSendTimeoutMs = 2000;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The executable name of every process, by process id.
std::map<DWORD, std::string> ProcessNames() {
    std::map<DWORD, std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
        names[entry.th32ProcessID] = Lower(entry.szExeFile);
    CloseHandle(snapshot);
    return names;
}

}  // namespace

std::string ClassOf(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::string TextOf(HWND window) {
    char buffer[1024] = {};
    DWORD_PTR length = 0;
    // WM_GETTEXT with a time-out, so a hung window cannot hang the probe.
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &length))
        return std::string();
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

// The top-level windows (of the named process, if one is given) that pass the test.
std::vector<HWND> TopLevel(const std::string& process, const std::function<bool(HWND)>& test) {
    struct Search {
        std::vector<HWND> all;
    } search;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<Search*>(param)->all.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    std::map<DWORD, std::string> names;
    if (!process.empty()) names = ProcessNames();
    std::vector<HWND> found;
    for (HWND window : search.all) {
        if (!process.empty()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            auto it = names.find(pid);
            if (it == names.end() || it->second != Lower(process)) continue;
        }
        if (test(window)) found.push_back(window);
    }
    return found;
}

bool IsDialogClass(HWND window) { return ClassOf(window) == "#32770"; }

bool IsMainDialog(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    return IsDialogClass(window) && (style & WS_CAPTION) != WS_CAPTION && TextOf(window).empty();
}
HWND WaitFor(long timeoutMs, const std::function<HWND()>& find) {
    const DWORD start = GetTickCount();
    while (true) {
        if (HWND window = find()) return window;
        if (static_cast<long>(GetTickCount() - start) >= timeoutMs) return nullptr;
        Sleep(kPollMs);
    }
}

HWND FindMain(const std::string& process, bool hidden) {
    std::vector<HWND> mains = TopLevel(process, IsMainDialog);
    for (HWND w : mains)
        if (!hidden || !IsWindowVisible(w)) return w;
    return nullptr;
}

HWND FindByCaption(const std::string& process, const std::string& caption, bool visibleOnly) {
    std::vector<HWND> found = TopLevel(process, [&](HWND w) {
        return IsDialogClass(w) && TextOf(w) == caption && (!visibleOnly || IsWindowVisible(w));
    });
    return found.empty() ? nullptr : found.front();
}

std::wstring WideTextOf(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &length))
        return std::wstring();
    return std::wstring(buffer, length < 1024 ? length : 1023);
}
HWND FindControl(HWND window, int id) {
    if (HWND control = GetDlgItem(window, id)) return control;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsDialogClass(child))
            if (HWND control = FindControl(child, id)) return control;
    return nullptr;
}

}  // namespace probe
