// CBridgeDlg: the hidden main dialog. It owns every piece of bridge state and runs all of
// the logic on the UI thread from its 100 ms timer and its window messages. Its member
// functions live in the folder of the subsystem that owns them.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "client/CallRecord.h"
#include "client/ContactRecord.h"
#include "device/USB.h"
#include "platform/Dialog.h"

class CThread;
class COptionsSheet;
class CDebugDlg;
class CInfoDlg;

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

// Process-wide client-link values.
extern plat::WindowHandle g_hClientWnd;
extern unsigned g_uAttachMsg;
extern unsigned g_uDiscoverMsg;

class CBridgeDlg : public plat::Dialog {
public:
    CBridgeDlg();
    ~CBridgeDlg() override;

    // ---- messages (app/) ----
    bool OnInitDialog() override;
    void OnPaint() override;
    void OnTimer(unsigned id) override;
    bool OnCommand(int id) override;
    void OnClose() override;
    bool OnCopyData(plat::WindowHandle from, const plat::CopyData& data) override;
    bool OnMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t& result) override;

    // ---- start-up and main window (app/) ----
    void StartDeviceThread();
    void CheckForDevice();
    void PollDevice();
    void OnPollFinished();
    void DetectWindowsVersion();
    int FindAudioDevice();
    void OpenDebugWindow();
    void OpenInfoDialog();
    void UpdateInfoDialog();
    // Redraws the information window when its status text is not the current status's.
    void ShowChangedStatus();
    void RefreshSettingsPage();
    int ForwardToSettingsPage(const std::uint8_t* bytes, int length);
    void NotifySettingsPage(int enable);
    // A request of the settings page waits for its result: the page's buttons wait with it.
    bool BaseRequestWaiting() const;
    void RefreshActionButtons();
    void SendClientCode(int code, std::uint32_t value);
    void OnExit();
    // The session is about to end: the bridge never stands in its way.
    bool OnQueryEndSession();
    // It ends (ending) or goes on after all. Windows ends the process once this returns.
    void OnEndSession(bool ending);
    // The status text for a status code; empty when the code has none.
    std::string StatusText(int status) const;

    // ---- the user session (app/) ----
    // Only the bridge of the session at the console talks to the base: with several users
    // logged in, each one's bridge would otherwise read every report and ring for every call.
    void WatchSession();
    // On every tick: a request the system refused early in the log-in is made again.
    void KeepWatchingSession();
    void OnSessionChange(unsigned change);
    // The session left the console: the base is let go as if it were unplugged.
    void OnSessionAway();
    // It is back: the device link finds the base again at its next search.
    void OnSessionBack();

    // ---- the device link's work on the UI thread (app/LinkWork.cpp) ----
    // Runs action now, or once the link's work in progress (LinkWork) is over: a message
    // box or menu opened inside a poll would run the next polls inside that poll.
    void AtRest(std::function<void()> action);
    void RunAtRest();
    // The rest of the link's work: now, or, when a box or menu waits for the work to end,
    // right after it (as the link's work went on once a box it opened was closed).
    void ContinueLinkWork(std::function<void()> rest);
    // The bridge's message boxes, all opened at rest (this hides plat::Dialog's).
    void MessageBox(const std::string& text);
    // WM_BASE_REPORT; false for any other message.
    bool OnLinkMessage(unsigned message);
    void OnBaseReport();
    // A poll waits for the base's report for up to ms more: the ticks meanwhile would find
    // nothing to do, so the main loop need not wake for them; and the wait is over.
    void WaitForBaseReport(unsigned ms);
    void EndBaseReportWait();
    // After a notification: the handsets hear its news in a moment, not at the next poll.
    void RequestHandsetUpdate();
    void OnHandsetUpdate();

    // ---- tray icon and menu (app/) ----
    int AddTrayIcon();
    void RemoveTrayIcon();
    std::intptr_t DefWindowProc(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    void ShowTrayMenu();
    // The tray callback: the event in the low word of lparam (and, with today's callback,
    // the icon in the high word and the menu's point in wparam).
    void OnTrayEvent(std::uintptr_t wparam, std::intptr_t lparam);
    // The popup at a point on the screen (where the keyboard's menu belongs).
    void ShowTrayMenuAt(int x, int y);
    void ShowTrayMenuWhere(bool placed, int x, int y);
    // The notification area was made anew (Explorer restarted): the icon goes back in.
    void OnTaskbarCreated();
    void OnOptions();
    void OnConnectSkype();
    void OnConnectSoftPhone();

    // ---- client link (client/) ----
    void DiscoverClient();
    void StepClientLink();
    std::intptr_t OnClientAttach(std::uintptr_t wparam, std::intptr_t lparam);
    void OnClientAttached();
    void OnClientRefused();
    void ResetClientLink();
    // The user chose another client: the link starts over without the one attached.
    void LetClientGo();
    std::intptr_t SendClientCommand(const char* text, std::uint32_t tag);
    void LogClientLine(const std::string& text);
    void LogDeviceLine(const std::string& text);
    void PollConnStatus();
    void ShowBalloon(int kind);
    void TraceRawSend(const std::uint8_t* bytes, int length);
    // Silence watchdog: a notification (or an attachment) restarts it; the expiries of
    // timers 1009 and 1010.
    void RestartWatchdog();
    void OnSilenceTimer();
    void OnReconnectTimer();

    // ---- notifications and call tracking (client/) ----
    void OnClientNotification(const char* text);
    int ReadToken(const char* position, std::string& out, int restOfLine);
    void OnCallNotification(const char* text);
    // The steps of a CALL status: a call starts (ROUTING, RINGING), is answered, or ends.
    void OnCallStarts(const std::string& id, bool ringing);
    void OnCallAnswered(const std::string& id);
    void OnCallEnded(const std::string& id, const std::string& value);
    void ForgetIfStillCurrent(const std::string& id);
    void RequestCallPartner();
    // Makes the call current and rings every handset for it.
    void RingCall(const std::string& callId);
    // Rings the call that has rung longest at the client, once the handsets are free for it.
    void RingNextWaitingCall();
    // The client is gone: its calls are forgotten and no handset rings or talks for them.
    void ForgetClientCalls();
    void CopyCallPartner(char* buffer);
    void EndCallLocally();
    // Both true once the CALL went to an attached client; false when nothing was sent.
    bool PlaceCallToSelected();
    bool PlaceCall(const std::string& target);
    // A CALL to this target would reach a client: it is not empty and a live client is attached.
    bool CanPlaceCall(const std::string& target) const;
    // The whole handle of the contact the menu selected; empty when none is.
    std::string SelectedContact() const { return m_bContactSelected == 1 ? m_strSelectedHandle : std::string(); }
    void OnHandsetDials();
    void OnClientDetached();

    // ---- contacts, chat messages and online status (client/) ----
    void OnUsersReply(const char* text);
    void OnUserNotification(const char* text);
    void OnMessageNotification(const char* text);
    // The new record, or m_contacts.end() for an empty handle or one listed already.
    std::list<ContactRecord>::iterator InsertContact(const std::string& handle);
    void RemoveContact(std::list<ContactRecord>::iterator node);
    // A contacts reply: its list takes the place of the old one.
    void ReplaceContacts(std::list<ContactRecord> listed);
    // A client attaches, or none is attached any more: the phone book starts empty.
    void ClearContacts();
    void QueryNextContactStatus();
    void EndStatusSweep();

    // ---- the handset's phone-book menu (client/) ----
    void SelectContactText(int menuCode, char* buffer);
    // The entry for the menu code again, after the shown contact left the phone book.
    void RefreshContactText(int menuCode, char* buffer);
    // The handset opens the menu: nothing is shown or selected yet.
    void StartContactMenu();
    std::string NextContact();
    std::string PrevContact();
    std::string FindContactByLetter(char letter);
    // Before a contact leaves the phone book (or the book is replaced): the menu lets go of it.
    void ShownContactLeaves(std::list<ContactRecord>::iterator node);
    void ShownContactGone();
    void CopyMessagePartner(char* buffer);
    void RequestMessagePartner();

    // ---- call control (callctl/) ----
    void AnswerCall();
    void OnHandsetOnHook();
    // The handset side back to idle after a call; only the handset going on hook also ends
    // the second-call mode and hangs up a call in progress (EndCallLocally: the client did).
    void ReturnToIdle(bool onHook);
    void HangUpCall();
    // The base's loss has been noticed, and the base is back.
    void OnBaseLost();
    void OnBaseBack();
    void SendDtmf(char key);
    void SwapCalls();
    void JoinConference();
    void FinishCall(const std::string& callId);
    void SetUserStatusDnd();
    void SetUserStatusOnline();
    void SelectAudioDevice();
    void RequestCurrentUserHandle();
    void StartCallerIdTimer();
    void StopCallerIdTimer();
    void RestartDialTimer();
    void RequestBaseCommand(int request, int value);
    void StopLoopbackTimer();
    void StopReplyTimer();
    void OnLoopbackTimeout();
    void OnReplyTimeout();
    // The one result of a request of the settings page: its buttons back, then the message.
    void ShowBaseResult(const std::string& text);
    // The status of an idle handset side: what the link knows of the base.
    int IdleStatus() const;
    // Logs the command to the VoIP log, then sends it.
    std::intptr_t SendLoggedCommand(const std::string& text);

    // ---- fields, in declaration order ----
    int m_bSettingChain = 0;
    int m_bSecondCall = 0;
    int m_bLoopbackPending = 0;
    std::string m_strUserHandle;
    std::string m_strDisplayName;
    int m_nStatus = STATUS_BASE_ABSENT;
    COptionsSheet* m_pOptionsSheet = nullptr;
    std::uint8_t m_nPending = 0;
    CThread* m_pThread = nullptr;
    int m_bDevicePresent = 0;
    CUSB m_usb;
    // Texts loaded from the string table.
    std::string m_strOffHook;          // 3
    std::string m_strUsbReady;         // 4
    std::string m_strPress;            // 5
    std::string m_strCallOut;          // 6
    std::string m_strIncoming;         // 7
    std::string m_strReady;            // 8
    std::string m_strNotReady;         // 9
    std::string m_strLoopbackFail;     // 110
    std::string m_strRefused;          // 111
    std::string m_strSkypeConnected;   // 112
    std::string m_strSkypeMissing;     // 113
    std::string m_strSoftPhoneConnected;  // 114
    std::string m_strSoftPhoneMissing;    // 115
    std::string m_strUsbDisconnected;  // 120
    std::string m_strRinging;          // 123
    std::string m_strNoReply;          // 125
    std::string m_strRestartBase;      // 132
    int m_bDebugMode = 0;
    int m_nOsVersion = 0;
    std::string m_strHeldCallId;
    int m_bDndForSecondCall = 0;
    std::string m_strAudioDevice;
    int m_bCallClosed = 1;
    int m_nClientKind = Skype;
    int m_bOnlinePending = 1;
    std::string m_strStatusText;
    int m_bInCall = 0;
    // Chat-message bookkeeping.
    std::string m_strMessageId;
    std::string m_strMessagePartner;
    std::string m_strMessageBody;
    int m_nNameIndex = 0;
    int m_nMessageIndex = 0;
    std::vector<std::string> m_names;
    std::vector<std::string> m_messageIds;
    std::vector<std::string> m_messagePartners;
    std::vector<std::string> m_messageBodies;
    int m_bClientAttached = 0;
    int m_bContactSelected = 0;
    // The whole handle of the contact the menu selected; the display shows only its start.
    std::string m_strSelectedHandle;
    std::string m_strPeerHandle;
    std::string m_strCallId;
    // The next contact to ask about while the status sweep runs.
    std::list<ContactRecord>::iterator m_pContactCursor;
    // The contact the handset's menu shows (end: none). After it left the phone book, the one
    // that followed it, with m_bShownLeft set: a step then starts from the gap it left.
    std::list<ContactRecord>::iterator m_pShownContact;
    int m_bShownLeft = 0;
    CDebugDlg* m_pDebugDlg = nullptr;
    CInfoDlg* m_pInfoDlg = nullptr;
    int m_nLinkState = Detached;
    std::list<ContactRecord> m_contacts;
    // Client-link flags.
    int m_bDiscoverPending = 1;
    int m_bContactScan = 1;
    // Ticks of CheckForDevice; a member, as there is one main dialog per process.
    int m_nDeviceCheckTicks = 0;
    // Set by OnExit: Exit chosen while the refusal box is open must not leave twice.
    int m_bExited = 0;
    // The tray icon's tip, as it was added (and is added again after an Explorer restart).
    std::string m_strTrayTip;
    // The shell took today's tray callback (version 4): the menu opens on WM_CONTEXTMENU.
    int m_bTrayVersion4 = 0;
    // "TaskbarCreated", registered at start; 0 when it could not be.
    unsigned m_uTaskbarCreated = 0;
    // This session has the console and so the base (written in app/Session.cpp, read by the
    // device link's search in device/Thread.cpp).
    int m_bAtConsole = 1;
    // The system tells the main dialog of session changes; ticks until the next request.
    int m_bSessionWatched = 0;
    int m_nSessionWatchTicks = 0;
    // The calls still ringing at the client and the placed calls waiting for their id, and
    // the client window they came from (kept across a reset of the link).
    CallRecord m_callRecord;
    plat::WindowHandle m_hCallsClientWnd = 0;
    // The text a 0x09 command reply is compared with; nothing ever sets it.
    std::string m_strForwardText;
    // Depth of the device link's work now running (LinkWork), and what waits for its end.
    int m_nLinkWork = 0;
    std::deque<std::function<void()>> m_atRest;
    int m_bHandsetTimerArmed = 0;
    // The settings page's requests: a delete or reset waits for its reply under timer 1006
    // (written by callctl/, read by ui/ and device/), and the base registers handsets since
    // the page asked it to (written by callctl/ and app/, read by ui/).
    int m_bReplyWaiting = 0;
    int m_bRegistering = 0;
};
