// window-probe: looks at Bridger.exe from outside, as a user or a test would, through
// ordinary window messages only.
//
//   window-probe msgbox  [--text T] [--title Bridger] [--process P] [--timeout MS]
//       waits for a message box, prints its text, presses OK; fails if the text differs
//   window-probe main    [--process P] [--hidden] [--timeout MS]
//       waits for the hidden main dialog (class #32770, no caption, empty title)
//   window-probe window  --title T [--process P] [--timeout MS]
//       waits for a visible top-level window titled exactly T and prints its class
//   window-probe click   --title T --id N [--process P] [--timeout MS]
//       waits until a visible window whose title begins with T (installers add to theirs
//       page by page) has its button N enabled, then clicks it
//   window-probe command --id N [--process P]
//       posts the command N to the main dialog, as its menu would
//   window-probe version --exe NAME --set WINE-VERSION
//       makes Wine report that Windows version (win2k, winxp, ...) to the program NAME
//
// Exit codes: 0 found (and matched), 1 timed out or not found, 2 bad arguments.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <tlhelp32.h>

#include <cctype>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
constexpr DWORD kPollMs = 50;
constexpr DWORD kSendTimeoutMs = 2000;

struct Options {
    std::string verb;
    std::map<std::string, std::string> values;
    bool Has(const std::string& key) const { return values.count(key) != 0; }
    std::string Get(const std::string& key, const std::string& fallback = std::string()) const {
        auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
    long Number(const std::string& key, long fallback) const {
        return Has(key) ? std::strtol(Get(key).c_str(), nullptr, 0) : fallback;
    }
};

bool Parse(int argc, char** argv, Options& out) {
    if (argc < 2) return false;
    out.verb = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string key = argv[i];
        if (key.rfind("--", 0) != 0) return false;
        key = key.substr(2);
        if (key == "hidden") {
            out.values[key] = "1";
            continue;
        }
        if (i + 1 >= argc) return false;
        out.values[key] = argv[++i];
    }
    return true;
}

void Say(const char* format, const std::string& a = std::string(), const std::string& b = std::string()) {
    std::printf(format, a.c_str(), b.c_str());
    std::fflush(stdout);
}

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

// Polls until find() yields a window or the time is up.
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

int MessageBoxVerb(const Options& o) {
    const std::string title = o.Get("title", "Bridger");
    const std::string process = o.Get("process");
    HWND box = WaitFor(o.Number("timeout", 10000), [&]() -> HWND {
        std::vector<HWND> boxes = TopLevel(process, [&](HWND w) {
            return IsDialogClass(w) && IsWindowVisible(w) && TextOf(w) == title && GetDlgItem(w, kMessageTextId);
        });
        return boxes.empty() ? nullptr : boxes.front();
    });
    if (!box) {
        Say("msgbox: none titled \"%s\"\n", title);
        return 1;
    }
    const std::string text = TextOf(GetDlgItem(box, kMessageTextId));
    Say("msgbox \"%s\"\n", text);
    // The OK button's click, as the box's own dialog procedure receives it.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    if (o.Has("text") && text != o.Get("text")) {
        Say("msgbox: expected \"%s\"\n", o.Get("text"));
        return 1;
    }
    return 0;
}

int MainVerb(const Options& o) {
    const std::string process = o.Get("process");
    const bool hidden = o.Has("hidden");
    HWND main = WaitFor(o.Number("timeout", 10000), [&] { return FindMain(process, hidden); });
    if (!main) {
        Say(hidden ? "main: no hidden main dialog%s\n" : "main: no main dialog%s\n");
        return 1;
    }
    const size_t count = TopLevel(process, IsMainDialog).size();
    std::printf("main %p visible=%d count=%u\n", static_cast<void*>(main), IsWindowVisible(main) ? 1 : 0,
                static_cast<unsigned>(count));
    std::fflush(stdout);
    return 0;
}

int WindowVerb(const Options& o) {
    if (!o.Has("title")) return 2;
    const std::string title = o.Get("title");
    HWND window = WaitFor(o.Number("timeout", 10000), [&]() -> HWND {
        std::vector<HWND> found =
            TopLevel(o.Get("process"), [&](HWND w) { return IsWindowVisible(w) && TextOf(w) == title; });
        return found.empty() ? nullptr : found.front();
    });
    if (!window) {
        Say("window: none titled \"%s\"\n", title);
        return 1;
    }
    Say("window \"%s\" class %s\n", title, ClassOf(window));
    return 0;
}

int ClickVerb(const Options& o) {
    if (!o.Has("title") || !o.Has("id")) return 2;
    const std::string title = o.Get("title");
    const int id = static_cast<int>(o.Number("id", 0));
    HWND button = nullptr;
    HWND window = WaitFor(o.Number("timeout", 10000), [&]() -> HWND {
        std::vector<HWND> found = TopLevel(o.Get("process"), [&](HWND w) {
            HWND b = GetDlgItem(w, id);
            return IsWindowVisible(w) && TextOf(w).rfind(title, 0) == 0 && b && IsWindowVisible(b) &&
                   IsWindowEnabled(b);
        });
        if (found.empty()) return nullptr;
        button = GetDlgItem(found.front(), id);
        return found.front();
    });
    if (!window) {
        Say("click: no window \"%s\" with button %s enabled\n", title, o.Get("id"));
        return 1;
    }
    const std::string label = TextOf(button);
    // The click as the window's own procedure receives it from the button.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    Say("clicked \"%s\" in \"%s\"\n", label, title);
    return 0;
}

int CommandVerb(const Options& o) {
    if (!o.Has("id")) return 2;
    HWND main = FindMain(o.Get("process"), false);
    if (!main) {
        Say("command: no main dialog\n");
        return 1;
    }
    const long id = o.Number("id", 0);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    std::printf("command %ld posted\n", id);
    std::fflush(stdout);
    return 0;
}

// Wine's per-program settings; Windows itself ignores them.
int VersionVerb(const Options& o) {
    if (!o.Has("exe") || !o.Has("set")) return 2;
    const std::string key = "Software\\Wine\\AppDefaults\\" + o.Get("exe");
    const std::string value = o.Get("set");
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        Say("version: cannot open HKCU\\%s\n", key);
        return 1;
    }
    const LONG set = RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    if (set != ERROR_SUCCESS) {
        Say("version: cannot set %s\n", value);
        return 1;
    }
    Say("version %s for %s\n", value, o.Get("exe"));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the Unix side reads them
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: window-probe msgbox|main|window|click|command|version [--option value]...\n");
        return 2;
    }
    if (o.verb == "msgbox") return MessageBoxVerb(o);
    if (o.verb == "main") return MainVerb(o);
    if (o.verb == "window") return WindowVerb(o);
    if (o.verb == "click") return ClickVerb(o);
    if (o.verb == "command") return CommandVerb(o);
    if (o.verb == "version") return VersionVerb(o);
    std::fprintf(stderr, "window-probe: unknown verb %s\n", o.verb.c_str());
    return 2;
}
