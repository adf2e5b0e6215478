#include "tools/e2e-driver/WindowReader.h"

#include <algorithm>
#include <cstdlib>

#include "tools/e2e-driver/WindowText.h"

namespace e2e {

namespace {

constexpr int kNoId = 0xFFFF;  // a template's -1, as a 16-bit control id

struct Control {
    int id;
    std::string line;
};

bool Is(const std::string& cls, const char* name) { return lstrcmpiA(cls.c_str(), name) == 0; }

bool IsRadio(const std::string& cls, LONG style) {
    const LONG type = style & BS_TYPEMASK;
    return Is(cls, "Button") && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON);
}

// The dialog that holds the controls: a property sheet's page, else the window itself.
HWND Holder(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "#32770") return child;
    return window;
}

int IdOf(HWND control) {
    const int raw = GetDlgCtrlID(control);
    return raw == kNoId || raw == -1 ? -1 : raw;
}

std::string Describe(const std::string& name, HWND control) {
    const std::string cls = ClassOf(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const bool list = Is(cls, "ComboBox") || Is(cls, "ListBox");
    const bool icon = Is(cls, "Static") && (style & SS_TYPEMASK) == SS_ICON;
    std::string line = name + " " + std::to_string(IdOf(control)) + " \"" + (list || icon ? std::string() : TextOf(control)) + "\"";
    line += (style & WS_DISABLED) ? " disabled" : " enabled";
    line += (style & WS_VISIBLE) ? " visible" : " hidden";
    LRESULT value = 0;
    if (IsRadio(cls, style) && Ask(control, BM_GETCHECK, 0, 0, value) && value == BST_CHECKED) line += " checked";
    if (list) {
        const bool combo = Is(cls, "ComboBox");
        if (Ask(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0, value) && value >= 0)
            line += " sel=" + std::to_string(value);
        if (Ask(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0, value)) line += " items=" + std::to_string(value);
    }
    return line;
}

}  // namespace

void WindowReader::Show(const std::string& name, HWND window) {
    std::vector<Control> controls;
    const HWND holder = Holder(window);
    for (HWND child = GetWindow(holder, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(Control{IdOf(child), Describe(name, child)});
    std::stable_sort(controls.begin(), controls.end(), [](const Control& a, const Control& b) { return a.id < b.id; });
    const std::string caption = name + " caption \"" + TextOf(window) + "\"";
    last_[name + " caption"] = caption;
    recorder_.Add("control", caption);
    for (const Control& c : controls) {
        last_[name + " " + std::to_string(c.id)] = c.line;
        recorder_.Add("control", c.line);
    }
}

void WindowReader::Refresh(const std::string& name, HWND window, const std::string& which) {
    std::string line;
    if (which == "caption") {
        line = name + " caption \"" + TextOf(window) + "\"";
    } else {
        const int id = std::atoi(which.c_str());
        HWND control = id > 0 ? GetDlgItem(Holder(window), id) : nullptr;
        if (!control) return;
        line = Describe(name, control);
    }
    std::string& last = last_[name + " " + which];
    if (line == last) return;
    last = line;
    recorder_.Add("control", line);
}

}  // namespace e2e
