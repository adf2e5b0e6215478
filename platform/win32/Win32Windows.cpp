#include "platform/win32/Win32Windows.h"

#include <vector>

#include "platform/Dialog.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Text.h"

namespace win32 {

namespace {

constexpr const wchar_t* kAppTitle = L"Bridger";

bool IsCombo(HWND control) { return HasClass(control, "ComboBox"); }

bool IsAutoRadio(HWND control) {
    if (!HasClass(control, "Button")) return false;
    return (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// Puts the caret at the box's start and scrolls there.
void ShowFromStart(HWND box) {
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

}  // namespace

bool HasClass(HWND window, const char* name) {
    char buffer[32] = {};
    if (!window || !GetClassNameA(window, buffer, sizeof buffer)) return false;
    return lstrcmpiA(buffer, name) == 0;
}

void Win32Windows::Destroy(plat::WindowHandle window) {
    HWND hwnd = ToHwnd(window);
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

bool Win32Windows::Exists(plat::WindowHandle window) const {
    HWND hwnd = ToHwnd(window);
    return hwnd && IsWindow(hwnd);
}

void Win32Windows::Show(plat::WindowHandle window, bool show) {
    if (HWND hwnd = ToHwnd(window)) ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
}

void Win32Windows::ToForeground(plat::WindowHandle window) {
    if (HWND hwnd = ToHwnd(window)) SetForegroundWindow(hwnd);
}

void Win32Windows::SetCaption(plat::WindowHandle window, const std::string& text) {
    if (HWND hwnd = ToHwnd(window)) SetWindowTextW(hwnd, FromUtf8(text).c_str());
}

std::string Win32Windows::Caption(plat::WindowHandle window) const {
    HWND hwnd = ToHwnd(window);
    if (!hwnd) return std::string();
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::string();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return ToUtf8(buffer.data(), copied);
}

void Win32Windows::SetWindowIcon(plat::WindowHandle window, int iconId, bool big) {
    HWND hwnd = ToHwnd(window);
    if (!hwnd) return;
    HICON icon = LoadIconAt(instance_, iconId, IconPixels(hwnd, big ? IconSize::Large : IconSize::Small));
    SendMessageA(hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool Win32Windows::HasSystemMenu(plat::WindowHandle window) const {
    HWND hwnd = ToHwnd(window);
    return hwnd && (GetWindowLongA(hwnd, GWL_STYLE) & WS_SYSMENU) != 0 && GetSystemMenu(hwnd, FALSE) != nullptr;
}

void Win32Windows::AppendSystemMenuItem(plat::WindowHandle window, unsigned commandId, const std::string& text) {
    HWND hwnd = ToHwnd(window);
    HMENU menu = hwnd ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, commandId, FromUtf8(text).c_str());
}

// ---- controls ----

HWND Win32Windows::Item(plat::WindowHandle window, int id) const {
    HWND hwnd = ToHwnd(window);
    return hwnd ? GetDlgItem(hwnd, id) : nullptr;
}

bool Win32Windows::HasControl(plat::WindowHandle window, int id) const { return Item(window, id) != nullptr; }

void Win32Windows::SetText(plat::WindowHandle window, int id, const std::string& text) {
    ShowText(Item(window, id), FromUtf8(text));
}

void Win32Windows::SetPeerText(plat::WindowHandle window, int id, const std::string& text) {
    ShowText(Item(window, id), FromAnsi(text));
}

void Win32Windows::ShowText(HWND control, const std::wstring& text) {
    if (!control) return;
    SetWindowTextW(control, text.c_str());
    // A box narrower than its text shows the text's start, not wherever the caret was left.
    if (HasClass(control, "Edit")) ShowFromStart(control);
}

std::string Win32Windows::Text(plat::WindowHandle window, int id) const {
    HWND control = Item(window, id);
    if (!control) return std::string();
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Win32Windows::Enable(plat::WindowHandle window, int id, bool enable) {
    if (HWND control = Item(window, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

bool Win32Windows::IsEnabled(plat::WindowHandle window, int id) const {
    HWND control = Item(window, id);
    return control && IsWindowEnabled(control);
}

void Win32Windows::ShowControl(plat::WindowHandle window, int id, bool show) {
    if (HWND control = Item(window, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

bool Win32Windows::IsVisible(plat::WindowHandle window, int id) const {
    // The control's own style: a control of a hidden dialog still counts as shown.
    HWND control = Item(window, id);
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Windows::Check(plat::WindowHandle window, int id, bool check) {
    HWND hwnd = ToHwnd(window);
    HWND control = Item(window, id);
    if (!control) return;
    if (check && IsAutoRadio(control)) {
        // As a click would: the dialog's other auto radios go off.
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (child != control && IsAutoRadio(child)) SendMessageA(child, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(control, BM_SETCHECK, check ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Windows::IsChecked(plat::WindowHandle window, int id) const {
    HWND control = Item(window, id);
    return control && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Windows::AddItem(plat::WindowHandle window, int id, const std::string& text) {
    HWND control = Item(window, id);
    if (!control) return;
    SendMessageA(control, IsCombo(control) ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32Windows::InsertItem(plat::WindowHandle window, int id, int index, const std::string& text) {
    HWND control = Item(window, id);
    if (!control) return;
    SendMessageA(control, IsCombo(control) ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

int Win32Windows::ItemCount(plat::WindowHandle window, int id) const {
    HWND control = Item(window, id);
    if (!control) return 0;
    const LRESULT count = SendMessageA(control, IsCombo(control) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

std::string Win32Windows::ItemText(plat::WindowHandle window, int id, int index) const {
    HWND control = Item(window, id);
    if (!control || index < 0) return std::string();
    const bool combo = IsCombo(control);
    const LRESULT length = SendMessageA(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    if (copied < 0) return std::string();
    return std::string(buffer.data(), static_cast<std::size_t>(copied < length ? copied : length));
}

void Win32Windows::SetSelection(plat::WindowHandle window, int id, int index) {
    HWND control = Item(window, id);
    if (!control) return;
    if (index >= ItemCount(window, id)) index = -1;  // out of range: no selection
    SendMessageA(control, IsCombo(control) ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32Windows::Selection(plat::WindowHandle window, int id) const {
    HWND control = Item(window, id);
    if (!control) return -1;
    const LRESULT selection = SendMessageA(control, IsCombo(control) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return selection < 0 ? -1 : static_cast<int>(selection);
}

void Win32Windows::SetIcon(plat::WindowHandle window, int id, int iconId) {
    HWND control = Item(window, id);
    if (!control) return;
    // The registration light: a large icon, at the size for the page's display.
    HICON icon = LoadIconAt(instance_, iconId, IconPixels(control, IconSize::Large));
    SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// ---- timers and message boxes ----

void Win32Windows::SetTimer(plat::WindowHandle window, unsigned id, unsigned periodMs) {
    if (HWND hwnd = ToHwnd(window)) ::SetTimer(hwnd, id, periodMs, nullptr);
}

void Win32Windows::KillTimer(plat::WindowHandle window, unsigned id) {
    if (HWND hwnd = ToHwnd(window)) ::KillTimer(hwnd, id);
}

void Win32Windows::MessageBox(plat::WindowHandle owner, const std::string& text) {
    HWND hwnd = ToHwnd(owner);
    MessageBoxW(hwnd && IsWindow(hwnd) ? hwnd : nullptr, FromUtf8(text).c_str(), kAppTitle, MB_OK);
}

void Win32Windows::MessageBoxNoOwner(const std::string& text) {
    MessageBoxW(nullptr, FromUtf8(text).c_str(), kAppTitle, MB_OK);
}

}  // namespace win32
