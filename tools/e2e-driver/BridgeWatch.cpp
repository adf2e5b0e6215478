#include "tools/e2e-driver/BridgeWatch.h"

#include <cstring>
#include <iterator>

#include "res/resource.h"
#include "tools/e2e-driver/WindowText.h"

namespace e2e {

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
constexpr DWORD kExitWaitMs = 5000;
constexpr DWORD kNameWaitMs = 300;

// Dialog templates by transcript name.
const struct {
    int templateId;
    const char* name;
} kTemplates[] = {{IDD_INFO, "info"}, {IDD_DEBUG, "debug"}, {IDD_SETUP, "setup"}, {IDD_ABOUTBOX, "about"}};

// Skips a menu or class field of a dialog template: none, an ordinal or a string.
const WORD* SkipField(const WORD* p) {
    if (*p == 0x0000) return p + 1;
    if (*p == 0xFFFF) return p + 2;
    while (*p) ++p;
    return p + 1;
}


// The caption of a DLGTEMPLATE or DLGTEMPLATEEX.
std::string CaptionOf(const void* resource) {
    const WORD* p = static_cast<const WORD*>(resource);
    if (p[0] == 1 && p[1] == 0xFFFF)
        p += 13;  // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy
    else
        p += 9;  // style, exStyle, cdit, x, y, cx, cy
    p = SkipField(p);  // menu
    p = SkipField(p);  // class
    const WCHAR* caption = reinterpret_cast<const WCHAR*>(p);
    return Utf8(caption, lstrlenW(caption));
}

}  // namespace

BridgeWatch::~BridgeWatch() {
    for (Process& p : processes_)
        if (p.handle) CloseHandle(p.handle);
}

bool BridgeWatch::Load(const std::string& exe, std::string& error) {
    exe_ = exe;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        error = "cannot read " + exe + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    for (const auto& t : kTemplates) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(t.templateId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data) names_[CaptionOf(data)] = t.name;
    }
    const wchar_t* caption = nullptr;
    const int length = LoadStringW(module, IDS_OPTIONS, reinterpret_cast<LPWSTR>(&caption), 0);
    if (length > 0) names_[Utf8(caption, length)] = "options";
    FreeLibrary(module);
    return true;
}

bool BridgeWatch::Start(const std::string& arguments, std::string& error) {
    std::string commandLine = "\"" + exe_ + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        error = "cannot start " + exe_ + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(info.hThread);
    Process p;
    p.handle = info.hProcess;
    p.pid = info.dwProcessId;
    processes_.push_back(p);
    return true;
}

std::string BridgeWatch::NameOf(HWND window) const {
    // Windows set their own captions at run time; a control only one of them has says
    // which it is (the settings page's sits on a page inside the options sheet).
    if (Descendant(window, IDC_DEVICE_LOG) && Descendant(window, IDC_VOIP_LOG)) return "debug";
    if (Descendant(window, IDC_INFO_STATUS)) return "info";
    if (Descendant(window, IDC_DELETE_ALL)) return "options";
    if (Descendant(window, IDC_SETUP_LINK)) return "setup";
    const std::string caption = TextOf(window);
    auto it = names_.find(caption);
    return it != names_.end() ? it->second : std::string();
}

void BridgeWatch::PollWindows(Process& process, double now) {
    struct Found {
        DWORD pid;
        std::vector<HWND> windows;
    } found{process.pid, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Found* f = reinterpret_cast<Found*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == f->pid) f->windows.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));

    std::set<HWND> present;
    std::vector<HWND> others;
    std::set<HWND> menus;
    for (HWND window : found.windows) {
        const std::string cls = ClassOf(window);
        // A popup menu the bridge tracks; the tray's is the only one it opens.
        if (cls == "#32768" && IsWindowVisible(window)) {
            if (!process.menus.count(window)) recorder_.AddBetween(lastPollMs_, now, "tray", "menu");
            menus.insert(window);
        }
        if (cls != "#32770") continue;
        present.insert(window);
        // A static without an id and an OK button: the Setup and About dialogs have those
        // too, but a caption of the bridge's own templates, and Setup its link button.
        const bool box = GetDlgItem(window, kMessageTextId) != nullptr && GetDlgItem(window, IDOK) != nullptr &&
                         !names_.count(TextOf(window)) && !GetDlgItem(window, IDC_SETUP_LINK);
        if (box) {
            process.unnamed.erase(window);  // seen before its text and button were made
            // Noted once it shows: a box is read when the user could read it.
            if (!IsWindowVisible(window) || seenBoxes_.count(window)) continue;
            const std::string text = TextOf(GetDlgItem(window, kMessageTextId));
            // A box whose text could not be read yet (its thread busy) is read at a later look.
            auto first = boxFirstSeen_.emplace(window, GetTickCount()).first;
            if (text.empty() && GetTickCount() - first->second < kNameWaitMs * 10) continue;
            boxFirstSeen_.erase(window);
            seenBoxes_.insert(window);
            recorder_.AddBetween(lastPollMs_, now, "msgbox", text);
            openBoxes_.push_back(window);
            if (autoBoxes_) ConfirmBox();
            continue;
        }
        const bool captioned = (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        if (!process.main && !captioned) {
            // The main dialog is the first window a bridge makes; it is noted first.
            process.main = window;
            process.hadMain = true;
            recorder_.AddBetween(lastPollMs_, now, "window", "created main");
            continue;
        }
        if (window != process.main && !process.windows.count(window)) others.push_back(window);
    }
    for (HWND window : others) {
        // A window seen while its controls are still being made is named at a later look.
        std::string name = NameOf(window);
        auto first = process.unnamed.emplace(window, GetTickCount()).first;
        if (name.empty()) {
            if (GetTickCount() - first->second < kNameWaitMs) continue;
            name = "\"" + TextOf(window) + "\"";
        }
        process.unnamed.erase(window);
        process.windows[window] = name;
        recorder_.AddBetween(lastPollMs_, now, "window", "created " + name);
    }
    for (auto it = process.unnamed.begin(); it != process.unnamed.end();)
        it = present.count(it->first) ? std::next(it) : process.unnamed.erase(it);
    for (auto it = process.windows.begin(); it != process.windows.end();) {
        if (present.count(it->first)) {
            ++it;
            continue;
        }
        recorder_.AddBetween(lastPollMs_, now, "window", "destroyed " + it->second);
        it = process.windows.erase(it);
    }
    process.menus = menus;
    if (process.main && !present.count(process.main) && !IsWindow(process.main)) {
        recorder_.AddBetween(lastPollMs_, now, "window", "destroyed main");
        process.main = nullptr;
    }
}

void BridgeWatch::PollFiles(double now) {
    for (const char* pattern : {"usb*.txt", "voip*.txt"}) {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(pattern, &data);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (!files_.count(data.cFileName)) files_[data.cFileName] = false;
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    for (auto& file : files_) {
        // The bridge keeps its logs open with no sharing: an open that fails means in use.
        HANDLE h = CreateFileA(file.first.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        const bool locked = h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (locked != file.second) recorder_.AddBetween(lastPollMs_, now, "file", (locked ? "open " : "close ") + file.first);
        file.second = locked;
    }
}

void BridgeWatch::Poll() {
    const double now = recorder_.NowMs();
    for (Process& p : processes_) {
        if (p.ended) continue;
        PollWindows(p, now);
        if (WaitForSingleObject(p.handle, 0) == WAIT_OBJECT_0) {
            PollWindows(p, now);
            for (auto& w : p.windows) recorder_.AddBetween(lastPollMs_, now, "window", "destroyed " + w.second);
            p.windows.clear();
            if (p.main) recorder_.AddBetween(lastPollMs_, now, "window", "destroyed main");
            DWORD code = 0;
            GetExitCodeProcess(p.handle, &code);
            p.ended = true;
            p.main = nullptr;
            // Only a process that ran the bridge's dialog has its end reported; from outside
            // the dialog's result is not visible, the process's exit code is.
            if (p.hadMain) recorder_.AddBetween(lastPollMs_, now, "exit", std::to_string(code));
        }
    }
    for (auto it = openBoxes_.begin(); it != openBoxes_.end();)
        it = IsWindow(*it) ? it + 1 : openBoxes_.erase(it);
    PollFiles(now);
    lastPollMs_ = now;
}

bool BridgeWatch::ConfirmBox() {
    while (!openBoxes_.empty()) {
        HWND box = openBoxes_.back();
        openBoxes_.pop_back();
        if (!IsWindow(box)) continue;
        // The OK button's click, as the box's own dialog procedure receives it.
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return true;
    }
    return false;
}

bool BridgeWatch::Settling() const {
    for (const Process& p : processes_)
        if (!p.ended && !p.unnamed.empty()) return true;
    return false;
}

bool BridgeWatch::MenuOpen() const {
    for (const Process& p : processes_)
        if (!p.ended && !p.menus.empty()) return true;
    return false;
}

HWND BridgeWatch::MainDialog() const {
    for (const Process& p : processes_)
        if (!p.ended && p.main) return p.main;
    return nullptr;
}

HWND BridgeWatch::WindowNamed(const std::string& name) const {
    for (const Process& p : processes_) {
        if (p.ended) continue;
        for (const auto& w : p.windows)
            if (w.second == name) return w.first;
    }
    return nullptr;
}

void BridgeWatch::EndAll(const std::function<void(DWORD)>& pump) {
    for (Process& p : processes_) {
        if (p.ended) continue;
        if (p.main) {
            // A tray menu left open is closed first, as a click elsewhere would.
            PostMessageA(p.main, WM_CANCELMODE, 0, 0);
            PostMessageA(p.main, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
        }
        const DWORD start = GetTickCount();
        while (!p.ended && GetTickCount() - start < kExitWaitMs) pump(50);
        if (!p.ended) {
            TerminateProcess(p.handle, 1);
            WaitForSingleObject(p.handle, kExitWaitMs);
            p.ended = true;
        }
    }
}

}  // namespace e2e
