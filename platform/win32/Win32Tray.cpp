#include "platform/win32/Win32Tray.h"

namespace win32 {

namespace {

// The record up to and including the balloon fields: 488 bytes on a 32-bit build, the same
// layout with 64-bit handles on a 64-bit one.
constexpr DWORD kNotifyIconSize = NOTIFYICONDATAA_V2_SIZE;
#if !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the balloon-capable record of a 32-bit build");
#endif

NOTIFYICONDATAA Record(plat::WindowHandle owner, unsigned iconId) {
    NOTIFYICONDATAA data;
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
    NOTIFYICONDATAA data = Record(owner, iconId);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(iconResource));
    lstrcpynA(data.szTip, tip.c_str(), sizeof data.szTip);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool Win32Tray::RemoveIcon(plat::WindowHandle owner, unsigned iconId) {
    NOTIFYICONDATAA data = Record(owner, iconId);
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

bool Win32Tray::ShowBalloon(plat::WindowHandle owner, unsigned iconId, const std::string& text, unsigned timeoutMs) {
    NOTIFYICONDATAA data = Record(owner, iconId);
    data.uFlags = NIF_INFO;
    lstrcpynA(data.szInfo, text.c_str(), sizeof data.szInfo);  // at most 256 bytes with its NUL
    data.uTimeout = timeoutMs;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

plat::Handle Win32Tray::LoadMenu(int menuResource) {
    return reinterpret_cast<plat::Handle>(LoadMenuA(instance_, MAKEINTRESOURCEA(menuResource)));
}

plat::Handle Win32Tray::SubMenu(plat::Handle menu, int position) {
    if (!menu) return plat::kNullHandle;
    return reinterpret_cast<plat::Handle>(GetSubMenu(ToMenu(menu), position));
}

void Win32Tray::DeleteMenuItem(plat::Handle menu, int position) {
    if (menu) DeleteMenu(ToMenu(menu), static_cast<UINT>(position), MF_BYPOSITION);
}

void Win32Tray::TrackPopupMenu(plat::Handle popup, plat::WindowHandle owner) {
    if (!popup) return;
    HWND window = reinterpret_cast<HWND>(owner);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    ::TrackPopupMenu(ToMenu(popup), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    // A notification-area menu must see one more message, or the next one will not close
    // when the user clicks elsewhere.
    PostMessageA(window, WM_NULL, 0, 0);
}

void Win32Tray::DestroyMenu(plat::Handle menu) {
    if (menu) ::DestroyMenu(ToMenu(menu));
}

}  // namespace win32
