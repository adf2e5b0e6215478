// The Windows entry point: installs the real platform and runs the bridge.
#include "app/BridgeApp.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;  // the system service reads it again, as the bridge wants it
    (void)show;
    static win32::Win32Platform platform(instance);
    platform.Install();
    return BridgerMain();
}
