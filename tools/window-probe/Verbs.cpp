// window-probe's verbs on the windows of a running program: wait for them, read them, and
// drive them as a user would.
#include "LayoutCheck.h"
#include "Probe.h"

#include <cstdio>

namespace probe {

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
namespace {

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

}  // namespace

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

}  // namespace probe
