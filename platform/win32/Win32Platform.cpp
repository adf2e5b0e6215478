#include "platform/win32/Win32Platform.h"

namespace win32 {

Win32Platform::Win32Platform(HINSTANCE instance) : windows(instance), tray(instance), resources(instance) {}

void Win32Platform::Install() {
    plat::Platform p;
    p.windows = &windows;
    p.messages = &messages;
    p.tray = &tray;
    p.hid = &hid;
    p.waveOut = &waveOut;
    p.system = &system;
    p.resources = &resources;
    p.files = &files;
    p.threads = &threads;
    plat::Install(p);
}

}  // namespace win32
