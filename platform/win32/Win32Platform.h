// Every platform service of the Windows build, for one process.
#pragma once
#include "platform/Platform.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Hid.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32Session.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32Tray.h"
#include "platform/win32/Win32WaveOut.h"
#include "platform/win32/Win32Windows.h"

namespace win32 {

class Win32Platform {
public:
    explicit Win32Platform(HINSTANCE instance);
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Installs every service; a test build may put its own HID bus and wave-out list in.
    void Install(plat::HidBus* hidBus = nullptr, plat::WaveOut* waveOutList = nullptr);

    Win32Windows windows;
    Win32Messages messages;
    Win32Tray tray;
    Win32Hid hid;
    Win32WaveOut waveOut;
    Win32System system;
    Win32Resources resources;
    Win32Files files;
    Win32Threads threads;
    Win32Session session;
};

}  // namespace win32
