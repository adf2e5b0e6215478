#include "LayoutCheck.h"

#include <cstdio>

namespace probe {

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[512] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                             &length))
        return std::wstring();
    return std::wstring(buffer, length < 512 ? length : 511);
}

std::string Describe(HWND control) {
    char line[256];
    const int id = GetDlgCtrlID(control);
    std::snprintf(line, sizeof line, "control %d (%s \"%s\")", id == 0xFFFF ? -1 : id, Utf8(ClassOf(control)).c_str(),
                  Utf8(TextOf(control)).c_str());
    return line;
}

std::string RectText(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof text, "[%ld,%ld %ldx%ld]", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return text;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The parent's client area in screen coordinates.
RECT ClientOnScreen(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool IsDialog(HWND window) { return ClassOf(window) == L"#32770"; }

// Pixels a button of this style needs beside its text: the box or circle and the gap of a
// check box or radio, the frame of a push button, the indents of a group box's title.
int ButtonExtra(HWND control, LONG style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return GetSystemMetrics(SM_CXMENUCHECK) + 4;
        case BS_GROUPBOX:
            return 16;
        default: {
            (void)control;
            return 2 * GetSystemMetrics(SM_CXEDGE) + 4;
        }
    }
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

void CheckPlacement(HWND dialog, const std::string& name, bool visibleOnly, std::vector<std::string>& problems) {
    const RECT client = ClientOnScreen(dialog);
    HWND tab = nullptr;
    for (HWND child : Children(dialog))
        if (ClassOf(child) == L"SysTabControl32") tab = child;
    for (HWND child : Children(dialog)) {
        if (visibleOnly && !(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        if (!Inside(rect, client))
            problems.push_back(name + ": " + Describe(child) + " " + RectText(rect) + " leaves the client area " +
                               RectText(client));
        if (!IsDialog(child)) continue;
        // A property page: inside its sheet's tab as well, and its own controls inside it.
        if (tab) {
            RECT tabRect;
            GetWindowRect(tab, &tabRect);
            if (!Inside(rect, tabRect))
                problems.push_back(name + ": page " + RectText(rect) + " leaves its tab " + RectText(tabRect));
        }
        CheckPlacement(child, name + " page", visibleOnly, problems);
    }
}

void CheckTextFits(HWND dialog, const std::string& name, std::vector<std::string>& problems) {
    for (HWND child : Children(dialog)) {
        if (IsDialog(child)) {
            CheckTextFits(child, name + " page", problems);
            continue;
        }
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) continue;  // never seen
        const std::wstring cls = ClassOf(child);
        const bool button = lstrcmpiW(cls.c_str(), L"Button") == 0;
        const bool label = lstrcmpiW(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
        const bool box = lstrcmpiW(cls.c_str(), L"Edit") == 0 && !(style & ES_MULTILINE);
        if (!button && !label && !box) continue;
        const std::wstring text = TextOf(child);
        if (text.empty()) continue;
        RECT area;
        GetClientRect(child, &area);
        int extra = 0;
        if (button) extra = ButtonExtra(child, style);
        if (box) {
            // The box's left and right margins, and a pixel for the caret.
            const LRESULT margins = SendMessageW(child, EM_GETMARGINS, 0, 0);
            extra = LOWORD(margins) + HIWORD(margins) + 1;
        }
        HDC dc = GetDC(child);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        RECT need = {0, 0, area.right - extra, 0};
        UINT format = DT_CALCRECT;
        if (label) format |= DT_WORDBREAK;  // a static's text wraps at its width
        if (label && (style & SS_NOPREFIX)) format |= DT_NOPREFIX;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format);
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        const int needWidth = need.right + extra;
        const int needHeight = need.bottom;
        if (needWidth > area.right || needHeight > area.bottom) {
            char line[160];
            std::snprintf(line, sizeof line, " needs %dx%d pixels, has %ldx%ld", needWidth, needHeight, area.right,
                          area.bottom);
            problems.push_back(name + ": the text of " + Describe(child) + line);
        }
    }
}

}  // namespace probe
