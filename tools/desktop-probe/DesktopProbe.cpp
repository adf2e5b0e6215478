// desktop-probe: plays the parts of a Windows desktop that Wine leaves out, so the tests can
// show what Bridger.exe does when they happen.
//
//   desktop-probe tray --process P [--timeout MS] [--menu]
//       becomes a freshly started Explorer's notification area (a "Shell_TrayWnd" window),
//       broadcasts "TaskbarCreated" and prints each icon the process adds and the callback
//       version it asks for; --menu then presses the menu key on the icon and prints the
//       popup's items before closing it
//   desktop-probe endsession --process P [--closeapp] [--kill]
//       asks each of its top-level windows whether the session may end, tells each that it
//       ends, and with --kill ends the process as soon as the last one has returned, as
//       Windows does at log-off (--closeapp: as Restart Manager does for an installer)
//   desktop-probe hang [--seconds N]
//       a top-level window that stops reading its messages (default 60 s)
//   desktop-probe modules --process P
//       the common-controls library the process loaded: its version and path
//   desktop-probe session --process P --change N
//       posts WM_WTSSESSION_CHANGE with N (1 console connect, 2 console disconnect, ...) to
//       the bridge's main dialog, as the system does to a window that asked for the news
//   desktop-probe parent --process P
//       the executable name of the process that started it
//
// Exit codes: 0 seen (and done), 1 not seen in time, 2 bad arguments.
#include "tools/desktop-probe/Probe.h"

#include <tlhelp32.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace desktop {

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::vector<DWORD> ProcessesNamed(const std::string& exe) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
        if (Lower(entry.szExeFile) == Lower(exe)) ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

std::vector<HWND> WindowsOf(const std::string& exe) {
    struct Search {
        std::vector<DWORD> ids;
        std::vector<HWND> found;
    } search;
    search.ids = ProcessesNamed(exe);
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            for (DWORD id : s->ids)
                if (id == pid) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MainDialogOf(const std::string& exe) {
    for (HWND window : WindowsOf(exe)) {
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        if (lstrcmpA(cls, "#32770") == 0 && (style & WS_CAPTION) != WS_CAPTION && GetWindowTextLengthW(window) == 0)
            return window;
    }
    return nullptr;
}

}  // namespace desktop

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the Unix side reads them
    desktop::Options o;
    if (!probe::ParseOptions(argc, argv, {"menu", "kill", "closeapp"}, probe::Repeats::kLastWins, o)) {
        std::fprintf(stderr, "usage: desktop-probe tray|endsession|hang|modules|session|parent [--option value]...\n");
        return 2;
    }
    if (o.verb == "tray") return desktop::TrayVerb(o);
    if (o.verb == "endsession") return desktop::EndSessionVerb(o);
    if (o.verb == "hang") return desktop::HangVerb(o);
    if (o.verb == "modules") return desktop::ModulesVerb(o);
    if (o.verb == "session") return desktop::SessionVerb(o);
    if (o.verb == "parent") return desktop::ParentVerb(o);
    std::fprintf(stderr, "desktop-probe: unknown verb %s\n", o.verb.c_str());
    return 2;
}
