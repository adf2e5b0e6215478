#include "platform/win32/Win32Windows.h"

#include <vector>

#include "platform/Dialog.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Text.h"

namespace win32 {

namespace {

constexpr const wchar_t* kAppTitle = L"Bridger";

Win32Windows* g_windows = nullptr;

HWND ToHwnd(plat::WindowHandle window) { return reinterpret_cast<HWND>(window); }
plat::WindowHandle FromHwnd(HWND window) { return reinterpret_cast<plat::WindowHandle>(window); }

bool HasClass(HWND window, const char* name) {
    char buffer[32] = {};
    if (!window || !GetClassNameA(window, buffer, sizeof buffer)) return false;
    return lstrcmpiA(buffer, name) == 0;
}

bool IsCombo(HWND control) { return HasClass(control, "ComboBox"); }

bool IsAutoRadio(HWND control) {
    if (!HasClass(control, "Button")) return false;
    return (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// Messages whose dialog-procedure result is the message's own result, not DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

// Puts the caret at the box's start and scrolls there.
void ShowFromStart(HWND box) {
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

// A read-only box that does not ask for the dialog manager's select-all: focused by the
// dialog or by its activation, it would otherwise get its caret at the end of its text and
// scroll a text wider than itself to its end.
LRESULT CALLBACK ReadOnlyBoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(box, message, wparam, lparam);
    if (message == WM_GETDLGCODE) return result & ~static_cast<LRESULT>(DLGC_HASSETSEL);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, &ReadOnlyBoxProc, 0);
    return result;
}

void KeepReadOnlyBoxesAtTheirStart(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HasClass(child, "Edit") && (GetWindowLongW(child, GWL_STYLE) & ES_READONLY))
            SetWindowSubclass(child, &ReadOnlyBoxProc, 0, 0);
}

}  // namespace

// ---- the dialog procedure ----

INT_PTR CALLBACK Win32Windows::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return g_windows ? g_windows->Dispatch(window, message, wparam, lparam) : FALSE;
}

plat::Dialog* Win32Windows::Sink(HWND window) const {
    auto it = sinks_.find(window);
    return it == sinks_.end() ? nullptr : it->second;
}

INT_PTR Win32Windows::Handled(HWND window, UINT message, std::intptr_t result) {
    if (ReturnsDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
    return TRUE;
}

INT_PTR Win32Windows::Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // DefaultProc runs DefDlgProc, which first asks this procedure again: say "not handled".
    if (defaulting_ == window) {
        defaulting_ = nullptr;
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        plat::Dialog* sink = reinterpret_cast<plat::Dialog*>(lparam);
        if (!sink) return TRUE;
        sinks_[window] = sink;
        KeepReadOnlyBoxesAtTheirStart(window);
        if (sink == startingModal_) {
            modal_[window] = ModalState();
            startingModal_ = nullptr;
        }
        sink->AttachHandle(FromHwnd(window));
        return sink->OnInitDialog() ? TRUE : FALSE;
    }
    plat::Dialog* sink = Sink(window);
    if (!sink) return FALSE;  // before WM_INITDIALOG (WM_SETFONT) or after WM_NCDESTROY

    switch (message) {
    case WM_TIMER:
        sink->OnTimer(static_cast<unsigned>(wparam));
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        const bool fromControl = lparam != 0;
        // Menus and accelerators, and clicks on buttons and radios; other notifications pass.
        if (fromControl && HIWORD(wparam) != BN_CLICKED) return FALSE;
        if (sink->OnCommand(id)) return TRUE;
        // As the framework's OnOK/OnCancel: the dialog ends with the button's id.
        if (id == IDOK || id == IDCANCEL) {
            sink->EndDialog(id);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        sink->OnClose();
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const int icon = sink->MinimisedIcon();
        if (icon && IsIconic(window))
            PaintMinimisedIcon(window, dc, icon);
        else
            sink->OnPaint();
        EndPaint(window, &paint);
        return TRUE;
    }
    case WM_QUERYDRAGICON: {
        const int icon = sink->MinimisedIcon();
        if (!icon) return FALSE;
        HICON handle = LoadIconA(instance_, MAKEINTRESOURCEA(icon));
        return Handled(window, message, reinterpret_cast<std::intptr_t>(handle));
    }
    case WM_SYSCOMMAND:
        return sink->OnSysCommand(static_cast<unsigned>(wparam)) ? TRUE : FALSE;
    case WM_COPYDATA: {
        plat::CopyData data;
        if (const COPYDATASTRUCT* block = reinterpret_cast<const COPYDATASTRUCT*>(lparam)) {
            data.tag = static_cast<std::uint32_t>(block->dwData);
            data.size = block->cbData;
            data.data = block->lpData;
        }
        const bool processed = sink->OnCopyData(static_cast<plat::WindowHandle>(wparam), data);
        return Handled(window, message, processed ? TRUE : FALSE);
    }
    case WM_NCDESTROY:
        sinks_.erase(window);
        if (auto it = modal_.find(window); it != modal_.end()) it->second.ended = true;
        if (sink->Handle() == FromHwnd(window)) sink->DetachHandle();
        return FALSE;
    default: {
        std::intptr_t result = 0;
        if (sink->OnMessage(message, static_cast<std::uintptr_t>(wparam), static_cast<std::intptr_t>(lparam),
                            result))
            return Handled(window, message, result);
        return FALSE;
    }
    }
}

void Win32Windows::PaintMinimisedIcon(HWND window, HDC dc, int iconId) {
    SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, LoadIconA(instance_, MAKEINTRESOURCEA(iconId)));
}

std::intptr_t Win32Windows::DefaultProc(plat::WindowHandle window, unsigned message, std::uintptr_t wparam,
                                        std::intptr_t lparam) {
    HWND hwnd = ToHwnd(window);
    if (!hwnd || !IsWindow(hwnd)) return 0;
    if (!Sink(hwnd)) return DefWindowProcW(hwnd, message, static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam));
    HWND outer = defaulting_;
    defaulting_ = hwnd;
    const LRESULT result = DefDlgProcW(hwnd, message, static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam));
    defaulting_ = outer;
    return static_cast<std::intptr_t>(result);
}

// ---- windows ----

plat::WindowHandle Win32Windows::CreateModeless(int templateId, plat::Dialog& sink, plat::WindowHandle parent) {
    g_windows = this;
    // Unicode windows: the templates' texts reach the controls as they are, whatever the
    // system's ANSI code page.
    HWND window = CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId), ToHwnd(parent), &DialogProc,
                                     reinterpret_cast<LPARAM>(&sink));
    return FromHwnd(window);
}

bool Win32Windows::TranslateDialogMessage(MSG& msg) {
    if (!msg.hwnd) return false;
    if (TranslateSheetMessage(msg)) return true;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root || !Sink(root)) return false;
    return IsDialogMessageW(root, &msg) != FALSE;
}

int Win32Windows::RunModal(int templateId, plat::Dialog& sink, plat::WindowHandle parent) {
    g_windows = this;
    HWND owner = ToHwnd(parent);
    // The framework's own modal loop rather than DialogBox's, so that the modeless windows
    // of the process get their keyboard handling while it runs.
    const bool disableOwner = owner && IsWindowEnabled(owner);
    plat::Dialog* outerStarting = startingModal_;
    startingModal_ = &sink;  // WM_INITDIALOG registers the window as modal before its handler runs
    HWND window = CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId), owner, &DialogProc,
                                     reinterpret_cast<LPARAM>(&sink));
    startingModal_ = outerStarting;
    if (!window) return -1;
    if (modal_.find(window) == modal_.end()) modal_[window] = ModalState();
    if (disableOwner) EnableWindow(owner, FALSE);

    int result = -1;
    bool shown = false;
    MSG msg;
    while (true) {
        auto it = modal_.find(window);
        if (it == modal_.end() || it->second.ended || !IsWindow(window)) break;
        if (!shown && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // Shown once the queue first runs dry, as the framework's modal loop does; a
            // dialog that must stay hidden hides itself when asked to paint.
            shown = true;
            if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNORMAL);
            UpdateWindow(window);
            continue;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
            break;
        }
        if (!TranslateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (auto it = modal_.find(window); it != modal_.end()) {
        if (it->second.ended) result = it->second.result;
        modal_.erase(it);
    }
    if (disableOwner) EnableWindow(owner, TRUE);
    if (IsWindow(window)) {
        // Give the activation back before the window goes, as the dialog manager does.
        if (owner && GetActiveWindow() == window) SetActiveWindow(owner);
        DestroyWindow(window);
    }
    return result;
}

void Win32Windows::EndDialog(plat::WindowHandle window, int result) {
    HWND hwnd = ToHwnd(window);
    auto it = modal_.find(hwnd);
    if (it == modal_.end()) {
        // A modeless window is only hidden, as EndDialog does to one.
        if (IsWindow(hwnd)) ::EndDialog(hwnd, result);
        return;
    }
    it->second.ended = true;
    it->second.result = result;
    ShowWindow(hwnd, SW_HIDE);
    PostMessageA(hwnd, WM_NULL, 0, 0);  // wakes the modal loop
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
