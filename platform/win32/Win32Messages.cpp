#include "platform/win32/Win32Messages.h"

#include "platform/win32/Win32Api.h"

namespace win32 {

unsigned Win32Messages::Register(const std::string& name) { return RegisterWindowMessageA(name.c_str()); }

namespace {
// The longest the broadcast waits for any one window. The client answers the discover
// message by sending its attach message, which the bridge takes while it waits; a window
// that takes longer still gets the message, only no longer holds the bridge.
constexpr UINT kBroadcastWaitMs = 250;
}  // namespace

void Win32Messages::Broadcast(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, message, static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam),
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, kBroadcastWaitMs, &ignored);
}

std::intptr_t Win32Messages::SendCopyData(plat::WindowHandle to, plat::WindowHandle from, const plat::CopyData& data) {
    COPYDATASTRUCT block;
    block.dwData = data.tag;
    block.cbData = data.size;
    block.lpData = const_cast<void*>(data.data);  // the receiver only reads it
    return static_cast<std::intptr_t>(SendMessageA(reinterpret_cast<HWND>(to), WM_COPYDATA, static_cast<WPARAM>(from),
                                                   reinterpret_cast<LPARAM>(&block)));
}

bool Win32Messages::IsWindow(plat::WindowHandle window) const {
    return window != 0 && ::IsWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

}  // namespace win32
