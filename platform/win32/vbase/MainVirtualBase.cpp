// The entry point of the test build Bridger-vbase.exe: the real platform, except that the
// HID bus and the base's sound device belong to a simulated base station on a named pipe
// (BRIDGER_VBASE_PIPE names it). Bridger.exe never contains this.
#include "app/BridgeApp.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/vbase/VirtualHid.h"
#include "platform/win32/vbase/VirtualWaveOut.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    (void)show;
    static win32::Win32Platform platform(instance);
    static vbase::VirtualHid hid(vbase::PipeName());
    static vbase::VirtualWaveOut waveOut(hid, platform.waveOut);
    platform.Install(&hid, &waveOut);
    return BridgerMain();
}
