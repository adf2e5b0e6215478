// The one dialog procedure of every dialog and its dispatch to the dialog's handlers, and
// the framework's modal loop.
#include "platform/Dialog.h"
#include "platform/win32/Win32Windows.h"

namespace win32 {

namespace {

Win32Windows* g_windows = nullptr;

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
    if (message == WM_INITDIALOG) return OnInitDialogMessage(window, lparam);
    plat::Dialog* sink = Sink(window);
    if (!sink) return FALSE;  // before WM_INITDIALOG (WM_SETFONT) or after WM_NCDESTROY

    switch (message) {
    case WM_TIMER:
        sink->OnTimer(static_cast<unsigned>(wparam));
        return TRUE;
    case WM_COMMAND: return OnCommandMessage(*sink, wparam, lparam);
    case WM_CLOSE:
        sink->OnClose();
        return TRUE;
    case WM_PAINT: return OnPaintMessage(window, *sink);
    case WM_QUERYDRAGICON: {
        const int icon = sink->MinimisedIcon();
        if (!icon) return FALSE;
        HICON handle = LoadIconA(instance_, MAKEINTRESOURCEA(icon));
        return Handled(window, message, reinterpret_cast<std::intptr_t>(handle));
    }
    case WM_SYSCOMMAND:
        return sink->OnSysCommand(static_cast<unsigned>(wparam)) ? TRUE : FALSE;
    case WM_COPYDATA: return OnCopyDataMessage(window, *sink, wparam, lparam);
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

INT_PTR Win32Windows::OnInitDialogMessage(HWND window, LPARAM lparam) {
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

INT_PTR Win32Windows::OnCommandMessage(plat::Dialog& sink, WPARAM wparam, LPARAM lparam) {
    const int id = LOWORD(wparam);
    const bool fromControl = lparam != 0;
    // Menus and accelerators, and clicks on buttons and radios; other notifications pass.
    if (fromControl && HIWORD(wparam) != BN_CLICKED) return FALSE;
    if (sink.OnCommand(id)) return TRUE;
    // As the framework's OnOK/OnCancel: the dialog ends with the button's id.
    if (id == IDOK || id == IDCANCEL) {
        sink.EndDialog(id);
        return TRUE;
    }
    return FALSE;
}

INT_PTR Win32Windows::OnPaintMessage(HWND window, plat::Dialog& sink) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int icon = sink.MinimisedIcon();
    if (icon && IsIconic(window))
        PaintMinimisedIcon(window, dc, icon);
    else
        sink.OnPaint();
    EndPaint(window, &paint);
    return TRUE;
}

INT_PTR Win32Windows::OnCopyDataMessage(HWND window, plat::Dialog& sink, WPARAM wparam, LPARAM lparam) {
    plat::CopyData data;
    if (const COPYDATASTRUCT* block = reinterpret_cast<const COPYDATASTRUCT*>(lparam)) {
        data.tag = static_cast<std::uint32_t>(block->dwData);
        data.size = block->cbData;
        data.data = block->lpData;
    }
    const bool processed = sink.OnCopyData(static_cast<plat::WindowHandle>(wparam), data);
    return Handled(window, WM_COPYDATA, processed ? TRUE : FALSE);
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
        bool quit = false;
        if (!NextMessage(msg, quit)) {
            if (quit) PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
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

}  // namespace win32
