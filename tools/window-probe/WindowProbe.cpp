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
//   window-probe text --window CAPTION --id N [--process P] [--timeout MS]
//       prints the control's text as the window holds it (UTF-16, printed as UTF-8)
//   window-probe firstchar --window CAPTION --id N [--process P]
//       prints the index of the first character an edit box shows (0: from its start)
//   window-probe key --window CAPTION --key esc|enter [--process P]
//       presses the key in the window, as the user would
//   window-probe shown|gone --window CAPTION [--process P] [--timeout MS]
//       waits until a visible window with that caption exists / none does
//   window-probe click --window CAPTION --id N [--process P]
//       clicks button or radio N of the window or of its page, as the mouse would
//   window-probe syscommand --window CAPTION --id N [--process P]
//       chooses item N of the window's system menu
//   window-probe codepage
//       prints the session's ANSI code page and the user's UI language (hex)
//   window-probe layout [--process P]
//       checks every visible dialog of the process: each control inside its dialog's
//       client area, a property page inside its sheet's tab; prints what is not
//   window-probe templates --exe PATH [--relabel DIALOG:CONTROL=STRING[,STRING...]]...
//       makes every dialog template of PATH in each of its languages and checks its
//       controls lie inside it and the texts of its labels and boxes fit them (a relabel
//       first gives the control the widest of those string-table texts in the template's
//       language, as the program does at run time)
//
// Exit codes: 0 found (and matched), 1 timed out or not found, 2 bad arguments.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <tlhelp32.h>

#include "LayoutCheck.h"

#include <cctype>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
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
        std::string& value = out.values[key];
        if (!value.empty()) value += ';';  // a repeated option gathers its values
        value += argv[++i];
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

int ClickByTitleVerb(const Options& o) {
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

// ---- the windows of a running bridge, read and driven from outside ----

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

HWND ControlOf(const Options& o) {
    HWND window = WaitFor(o.Number("timeout", 10000),
                          [&] { return FindByCaption(o.Get("process"), o.Get("window"), true); });
    if (!window) {
        Say("no visible window \"%s\"\n", o.Get("window"));
        return nullptr;
    }
    int id = static_cast<int>(o.Number("id", 0));
    if (id == -1) id = kMessageTextId;  // a template's -1 is a 16-bit id: the first such static
    HWND control = GetDlgItem(window, id);
    if (!control) Say("window \"%s\" has no control %s\n", o.Get("window"), o.Get("id"));
    return control;
}

int TextVerb(const Options& o) {
    if (!o.Has("window") || !o.Has("id")) return 2;
    HWND control = ControlOf(o);
    if (!control) return 1;
    Say("text \"%s\"\n", probe::Utf8(WideTextOf(control)));
    return 0;
}

int FirstCharVerb(const Options& o) {
    if (!o.Has("window") || !o.Has("id")) return 2;
    HWND control = ControlOf(o);
    if (!control) return 1;
    // The character at the left edge of the box's text area.
    RECT format = {};
    SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const LPARAM point = MAKELPARAM(format.left + 1, (format.top + format.bottom) / 2);
    const LRESULT hit = SendMessageW(control, EM_CHARFROMPOS, 0, point);
    const LRESULT start = SendMessageW(control, EM_POSFROMCHAR, 0, 0);
    std::printf("first-visible %u of %d (first character at x %d, text area from x %ld)\n",
                static_cast<unsigned>(LOWORD(hit)), static_cast<int>(WideTextOf(control).size()),
                static_cast<short>(LOWORD(start)), format.left);
    std::fflush(stdout);
    return 0;
}

int KeyVerb(const Options& o) {
    if (!o.Has("window") || !o.Has("key")) return 2;
    const std::string key = o.Get("key");
    if (key != "esc" && key != "enter") return 2;
    HWND window = WaitFor(o.Number("timeout", 10000),
                          [&] { return FindByCaption(o.Get("process"), o.Get("window"), true); });
    if (!window) {
        Say("key: no visible window \"%s\"\n", o.Get("window"));
        return 1;
    }
    // To the control with the focus, as the keyboard would; the window itself if none has it.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
        target = info.hwndFocus;
    const WPARAM vk = key == "esc" ? VK_ESCAPE : VK_RETURN;
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
    Say("key %s posted to \"%s\"\n", key, o.Get("window"));
    return 0;
}

int ShownVerb(const Options& o, bool wantShown) {
    if (!o.Has("window")) return 2;
    const std::string process = o.Get("process");
    const std::string caption = o.Get("window");
    HWND window = WaitFor(o.Number("timeout", 10000), [&]() -> HWND {
        HWND visible = FindByCaption(process, caption, true);
        if (wantShown) return visible;
        return visible ? nullptr : GetDesktopWindow();  // any handle: "none is visible"
    });
    HWND hidden = FindByCaption(process, caption, false);
    const char* state = FindByCaption(process, caption, true) ? "visible" : hidden ? "hidden" : "absent";
    Say("window \"%s\" %s\n", caption, state);
    return window ? 0 : 1;
}

// The control with this id in the window or in one of its child dialogs (a sheet's page).
HWND FindControl(HWND window, int id) {
    if (HWND control = GetDlgItem(window, id)) return control;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsDialogClass(child))
            if (HWND control = FindControl(child, id)) return control;
    return nullptr;
}

int ClickVerb(const Options& o) {
    if (!o.Has("window") || !o.Has("id")) return 2;
    HWND window = WaitFor(o.Number("timeout", 10000),
                          [&] { return FindByCaption(o.Get("process"), o.Get("window"), true); });
    HWND control = window ? FindControl(window, static_cast<int>(o.Number("id", 0))) : nullptr;
    if (!control) {
        Say("click: no control %s in \"%s\"\n", o.Get("id"), o.Get("window"));
        return 1;
    }
    // Posted: the click may open a message box, whose loop would hold a sent message.
    PostMessageW(control, BM_CLICK, 0, 0);
    Say("click %s posted\n", o.Get("id"));
    return 0;
}

int SysCommandVerb(const Options& o) {
    if (!o.Has("window") || !o.Has("id")) return 2;
    HWND window = WaitFor(o.Number("timeout", 10000),
                          [&] { return FindByCaption(o.Get("process"), o.Get("window"), true); });
    if (!window) {
        Say("syscommand: no visible window \"%s\"\n", o.Get("window"));
        return 1;
    }
    PostMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(o.Number("id", 0)), 0);
    Say("syscommand %s posted\n", o.Get("id"));
    return 0;
}

int CodePageVerb() {
    std::printf("acp %u ui %04x\n", GetACP(), static_cast<unsigned>(GetUserDefaultUILanguage()));
    std::fflush(stdout);
    return 0;
}

int LayoutVerb(const Options& o) {
    std::vector<HWND> dialogs = TopLevel(o.Get("process"), [](HWND w) {
        return IsDialogClass(w) && IsWindowVisible(w) && !TextOf(w).empty();
    });
    std::vector<std::string> problems;
    for (HWND dialog : dialogs) {
        const std::string name = "\"" + probe::Utf8(WideTextOf(dialog)) + "\"";
        Say("checked %s\n", name);
        probe::CheckPlacement(dialog, name, true, problems);
    }
    for (const std::string& p : problems) Say("layout: %s\n", p);
    if (dialogs.empty()) Say("layout: no visible dialog\n");
    return dialogs.empty() || !problems.empty() ? 1 : 0;
}

// ---- the templates of an executable, made in this process ----

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// String id of the table in that language, or empty.
std::wstring TableString(HMODULE module, int id, WORD lang) {
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), lang);
    if (!found) return std::wstring();
    const WORD* entry = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    if (!entry) return std::wstring();
    for (int i = 0; i < id % 16; ++i) entry += 1 + *entry;
    return std::wstring(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
}

// DIALOG:CONTROL=STRING[,STRING...]: the control shows one of these strings at run time.
struct Relabel {
    int dialog = 0, control = 0;
    std::vector<int> strings;
};

std::vector<Relabel> Relabels(const std::string& list) {
    std::vector<Relabel> out;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ';')) {
        Relabel r;
        int used = 0;
        if (std::sscanf(item.c_str(), "%d:%d=%n", &r.dialog, &r.control, &used) != 2 || used == 0) continue;
        std::stringstream ids(item.substr(static_cast<std::size_t>(used)));
        std::string id;
        while (std::getline(ids, id, ',')) r.strings.push_back(std::atoi(id.c_str()));
        if (!r.strings.empty()) out.push_back(r);
    }
    return out;
}

// The widest of the texts in the control's font.
std::wstring Widest(HWND control, const std::vector<std::wstring>& texts) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::wstring widest;
    LONG best = -1;
    for (const std::wstring& text : texts) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > best) {
            best = size.cx;
            widest = text;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return widest;
}

int TemplatesVerb(const Options& o) {
    if (!o.Has("exe")) return 2;
    HMODULE module = LoadLibraryExA(o.Get("exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        Say("templates: cannot load %s\n", o.Get("exe"));
        return 1;
    }
    struct Found {
        std::vector<std::pair<int, WORD>> dialogs;
    } found;
    EnumResourceNamesW(
        module, MAKEINTRESOURCEW(5),
        [](HMODULE m, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            if (!IS_INTRESOURCE(name)) return TRUE;
            struct Ctx {
                Found* found;
                int id;
            } ctx = {reinterpret_cast<Found*>(param), static_cast<int>(reinterpret_cast<ULONG_PTR>(name))};
            EnumResourceLanguagesW(
                m, MAKEINTRESOURCEW(5), name,
                [](HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR p) -> BOOL {
                    Ctx* c = reinterpret_cast<Ctx*>(p);
                    c->found->dialogs.push_back({c->id, lang});
                    return TRUE;
                },
                reinterpret_cast<LONG_PTR>(&ctx));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&found));
    const std::vector<Relabel> relabels = Relabels(o.Get("relabel"));
    // A frame for the templates that are pages (child windows).
    HWND host = CreateWindowExW(0, L"#32770", L"host", WS_POPUP, 0, 0, 2000, 2000, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::string> problems;
    for (const auto& d : found.dialogs) {
        HRSRC res = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(d.first), d.second);
        const DLGTEMPLATE* templ = res ? static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res))) : nullptr;
        if (!templ) continue;
        HWND dialog = CreateDialogIndirectParamW(module, templ, host, &QuietProc, 0);
        char name[48];
        std::snprintf(name, sizeof name, "dialog %d lang %04x", d.first, d.second);
        if (!dialog) {
            problems.push_back(std::string(name) + ": cannot be made");
            continue;
        }
        for (const Relabel& r : relabels) {
            HWND control = r.dialog == d.first ? GetDlgItem(dialog, r.control) : nullptr;
            if (!control) continue;
            std::vector<std::wstring> texts;
            for (int id : r.strings) texts.push_back(TableString(module, id, d.second));
            SetWindowTextW(control, Widest(control, texts).c_str());
        }
        Say("checked %s\n", name);
        probe::CheckPlacement(dialog, name, false, problems);
        probe::CheckTextFits(dialog, name, problems);
        DestroyWindow(dialog);
    }
    if (host) DestroyWindow(host);
    for (const std::string& p : problems) Say("templates: %s\n", p);
    if (found.dialogs.empty()) Say("templates: no dialog in %s\n", o.Get("exe"));
    return found.dialogs.empty() || !problems.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // plain line feeds, as the Unix side reads them
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: window-probe msgbox|main|window|command|version|text|firstchar|key|shown|gone|click|syscommand|codepage|layout|templates [--option value]...\n");
        return 2;
    }
    if (o.verb == "msgbox") return MessageBoxVerb(o);
    if (o.verb == "main") return MainVerb(o);
    if (o.verb == "window") return WindowVerb(o);
    // --title: a window whose title starts so (an installer's pages); --window: a caption, pages searched too.
    if (o.verb == "click") return o.Has("title") ? ClickByTitleVerb(o) : ClickVerb(o);
    if (o.verb == "command") return CommandVerb(o);
    if (o.verb == "version") return VersionVerb(o);
    if (o.verb == "text") return TextVerb(o);
    if (o.verb == "firstchar") return FirstCharVerb(o);
    if (o.verb == "key") return KeyVerb(o);
    if (o.verb == "shown") return ShownVerb(o, true);
    if (o.verb == "gone") return ShownVerb(o, false);
    if (o.verb == "layout") return LayoutVerb(o);
    if (o.verb == "codepage") return CodePageVerb();
    if (o.verb == "syscommand") return SysCommandVerb(o);
    if (o.verb == "templates") return TemplatesVerb(o);
    std::fprintf(stderr, "window-probe: unknown verb %s\n", o.verb.c_str());
    return 2;
}
