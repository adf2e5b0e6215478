// The main dialog's timers, window messages and state codes, shared by the folders whose
// code runs on it (app/, device/, client/, callctl/, ui/).
#pragma once
#include <cstdint>

// Window timers of the main dialog.
constexpr unsigned TIMER_TICK = 1001;          // 100 ms: client-link step, then device poll
constexpr unsigned TIMER_CALLER_ID = 1002;     // 4000 ms: repeat the ringing alert
constexpr unsigned TIMER_LOOPBACK = 1004;      // 2000 ms: loopback reply time-out
constexpr unsigned TIMER_AUDIO = 1005;         // 30000 ms: started with the audio selection, no action
constexpr unsigned TIMER_REPLY = 1006;         // 2000 ms: base command reply time-out
constexpr unsigned TIMER_DIAL = 1007;          // 3000 ms: dial a hash entry after its last key
constexpr unsigned TIMER_BALLOON = 1008;       // 5000 ms: clear the "connected" balloon
constexpr unsigned TIMER_SILENCE = 1009;       // 60000 ms: a silent client is asked for its status
constexpr unsigned TIMER_RECONNECT = 1010;     // 60000 ms: still silent, rebuild the link
constexpr unsigned TIMER_HANDSETS = 1011;      // 10 ms, once: the handsets hear a notification's news
constexpr unsigned kTickMs = 100;
constexpr unsigned kCallerIdMs = 4000;
constexpr unsigned kReplyWaitMs = 2000;
constexpr unsigned kAudioMs = 30000;
constexpr unsigned kDialPauseMs = 3000;
constexpr unsigned kBalloonClearMs = 5000;
constexpr unsigned kSilenceMs = 60000;
constexpr unsigned kHandsetNewsMs = 10;

// The tray icon and its callback.
constexpr unsigned kTrayIconId = 128;
constexpr unsigned WM_TRAY_CALLBACK = 1124;
constexpr unsigned kTrayDoubleClick = 515;  // WM_LBUTTONDBLCLK
constexpr unsigned kTrayRightDown = 516;    // WM_RBUTTONDOWN
// With today's callback (version 4) the shell also reports these.
constexpr unsigned kTrayContextMenu = 0x007B;  // WM_CONTEXTMENU: right button released, Shift+F10, menu key
constexpr unsigned kTrayKeySelect = 0x0401;    // NIN_KEYSELECT: Enter or Space on the icon
// Broadcast by Explorer when it (re)creates the taskbar, whose notification area is then empty.
constexpr const char* kTaskbarCreatedName = "TaskbarCreated";

// The main loop's message when the base's read has arrived (its event is set): WM_APP + 0xA1.
constexpr unsigned WM_BASE_REPORT = 0x8000 + 0xA1;

// Client link states (m_nLinkState).
enum LinkState { Discovering = 0, Attached = 1, Ready = 4, Detached = 6 };
// Client kinds (m_nClientKind).
enum ClientKind { Skype = 0, SoftPhone = 1 };

// Status codes of the handset side (m_nStatus).
constexpr int STATUS_OFF_HOOK = 1;
constexpr int STATUS_READY = 2;
constexpr int STATUS_PRESS = 3;
constexpr int STATUS_CALL_OUT = 4;
constexpr int STATUS_IN_CALL = 5;
constexpr int STATUS_BASE_ABSENT = 6;
constexpr int STATUS_RINGING = 7;
constexpr int STATUS_BASE_FOUND = 8;
constexpr int STATUS_TEST_FAILED = 11;

// m_nPending bits.
constexpr std::uint8_t PENDING_RING = 0x01;
constexpr std::uint8_t PENDING_CALLER = 0x02;
