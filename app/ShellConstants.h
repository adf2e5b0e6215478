// Fixed values of the application shell: the device check, the exit code to the client,
// the tray menu.
#pragma once
#include <cstdint>

// VoIP log line written when the base station's sound device shows up.
constexpr const char* kFindUsbLine = "FindUSB";
// Product names of the base station's wave-output device begin with this.
constexpr const char* kAudioDevicePrefix = "VA6";
// CheckForDevice looks for the sound device on every tenth call (once a second).
constexpr int kDeviceCheckEvery = 10;
// Windows minor versions kept as they are; every other one is stored as this.
constexpr int kOsVersionOther = 90;
// Windows 8 is 6.2; it and every later version are "other".
constexpr unsigned kWindows8Major = 6;
constexpr unsigned kWindows8Minor = 2;

// Copy-data tag sent to the client window when the bridge exits, and its value.
constexpr int kClientExitCode = 9;
constexpr std::uint32_t kClientExitValue = 0;
// Result of the main dialog's modal loop after Exit.
constexpr int kExitResult = 1;

// The session ends: log-off, shut-down, or Restart Manager closing the program for an
// installer (lparam ENDSESSION_CLOSEAPP). Every top-level window is asked, then told.
constexpr unsigned kWmQueryEndSession = 0x0011;
constexpr unsigned kWmEndSession = 0x0016;

// The session's news (WM_WTSSESSION_CHANGE) and the changes in its wparam that move it to
// the console or away from it; the others (lock, unlock, log-on, ...) leave it where it is.
constexpr unsigned kWmSessionChange = 0x02B1;
constexpr unsigned kSessionConsoleConnect = 1;
constexpr unsigned kSessionConsoleDisconnect = 2;
constexpr unsigned kSessionRemoteConnect = 3;
constexpr unsigned kSessionRemoteDisconnect = 4;
// A refused request for that news is made again on every tenth tick (once a second).
constexpr int kSessionWatchRetryEvery = 10;

// The tray menu's popup and the position of its "Connect" submenu, which is dropped.
constexpr int kTrayMenuPopup = 0;
constexpr int kTrayConnectPosition = 1;
