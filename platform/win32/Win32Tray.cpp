#include "platform/win32/Win32Tray.h"

#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Text.h"

namespace win32 {

namespace {

// The record up to and including the balloon fields, in its wide form so that the balloon
// texts keep every character: 936 bytes on a 32-bit build (the ANSI form's 488 would pass
// them through the ANSI code page), the same layout with 64-bit handles on a 64-bit one.
constexpr DWORD kNotifyIconSize = NOTIFYICONDATAW_V2_SIZE;
#if !defined(_WIN64)
static_assert(NOTIFYICONDATAW_V2_SIZE == 936, "the balloon-capable record of a 32-bit build");
#endif

NOTIFYICONDATAW Record(plat::WindowHandle owner, unsigned iconId) {
    NOTIFYICONDATAW data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = kNotifyIconSize;
    data.hWnd = reinterpret_cast<HWND>(owner);
    data.uID = iconId;
    return data;
}

HMENU ToMenu(plat::Handle menu) { return reinterpret_cast<HMENU>(menu); }

}  // namespace

bool Win32Tray::AddIcon(plat::WindowHandle owner, unsigned iconId, unsigned callbackMessage, int iconResource,
                        const std::string& tip) {
    NOTIFYICONDATAW data = Record(owner, iconId);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    // The small icon's size, as the notification area shows it; not a large one shrunk.
    data.hIcon = LoadIconAt(instance_, iconResource, IconPixels(nullptr, IconSize::Small));
    lstrcpynW(data.szTip, FromUtf8(tip).c_str(), ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool Win32Tray::RemoveIcon(plat::WindowHandle owner, unsigned iconId) {
    NOTIFYICONDATAW data = Record(owner, iconId);
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

bool Win32Tray::SetVersion4(plat::WindowHandle owner, unsigned iconId) {
    NOTIFYICONDATAW data = Record(owner, iconId);
    data.cbSize = sizeof data;  // today's record: only a shell that knows it takes version 4
    data.uVersion = NOTIFYICON_VERSION_4;
    return Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
}

bool Win32Tray::ShowBalloon(plat::WindowHandle owner, unsigned iconId, const std::string& text, unsigned timeoutMs) {
    NOTIFYICONDATAW data = Record(owner, iconId);
    data.uFlags = NIF_INFO;
    lstrcpynW(data.szInfo, FromUtf8(text).c_str(), ARRAYSIZE(data.szInfo));  // at most 256 characters with its NUL
    data.uTimeout = timeoutMs;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

plat::Handle Win32Tray::LoadMenu(int menuResource) {
    return reinterpret_cast<plat::Handle>(LoadMenuW(instance_, MAKEINTRESOURCEW(menuResource)));
}

plat::Handle Win32Tray::SubMenu(plat::Handle menu, int position) {
    if (!menu) return plat::kNullHandle;
    return reinterpret_cast<plat::Handle>(GetSubMenu(ToMenu(menu), position));
}

void Win32Tray::DeleteMenuItem(plat::Handle menu, int position) {
    if (menu) DeleteMenu(ToMenu(menu), static_cast<UINT>(position), MF_BYPOSITION);
}

void Win32Tray::TrackPopupMenu(plat::Handle popup, plat::WindowHandle owner) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    TrackPopupMenuAt(popup, owner, cursor.x, cursor.y);
}

void Win32Tray::TrackPopupMenuAt(plat::Handle popup, plat::WindowHandle owner, int x, int y) {
    if (!popup) return;
    HWND window = reinterpret_cast<HWND>(owner);
    ::TrackPopupMenu(ToMenu(popup), TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
    // A notification-area menu must see one more message, or the next one will not close
    // when the user clicks elsewhere.
    PostMessageA(window, WM_NULL, 0, 0);
}

void Win32Tray::DestroyMenu(plat::Handle menu) {
    if (menu) ::DestroyMenu(ToMenu(menu));
}

}  // namespace win32
