#include "platform/win32/Win32Session.h"

#include "platform/win32/Win32Api.h"

#include <wtsapi32.h>

namespace win32 {

namespace {
HWND ToHwnd(plat::WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

bool Win32Session::Watch(plat::WindowHandle window) {
    return WTSRegisterSessionNotification(ToHwnd(window), NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void Win32Session::Unwatch(plat::WindowHandle window) { WTSUnRegisterSessionNotification(ToHwnd(window)); }

bool Win32Session::AtConsole() {
    DWORD mine = 0;
    // A session that cannot be told is taken for the console's, as before sessions counted.
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &mine)) return true;
    // 0xFFFFFFFF while a session is being attached to the console: none has it.
    return WTSGetActiveConsoleSessionId() == mine;
}

}  // namespace win32
