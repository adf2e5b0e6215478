#include "platform/win32/Win32Platform.h"

namespace win32 {

Win32Platform::Win32Platform(HINSTANCE instance) : windows(instance), tray(instance), resources(instance) {}

void Win32Platform::Install(plat::HidBus* hidBus, plat::WaveOut* waveOutList) {
    plat::Platform p;
    p.windows = &windows;
    p.messages = &messages;
    p.tray = &tray;
    p.hid = hidBus ? hidBus : &hid;
    p.waveOut = waveOutList ? waveOutList : &waveOut;
    p.system = &system;
    p.resources = &resources;
    p.files = &files;
    p.threads = &threads;
    p.session = &session;
    plat::Install(p);
}

}  // namespace win32
