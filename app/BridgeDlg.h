// CBridgeDlg: the hidden main dialog. It owns every piece of bridge state and runs all of
// the logic on the UI thread from its 100 ms timer and its window messages. Its member
// functions live in the folder of the subsystem that owns them.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <string>

#include "app/BridgeCodes.h"
#include "client/CallRecord.h"
#include "client/ContactRecord.h"
#include "device/USB.h"
#include "platform/Dialog.h"

class CThread;
class COptionsSheet;
class CDebugDlg;
class CInfoDlg;

// State kept outside the dialog, one per process as the dialog is:
//   client/ClientLink.cpp  g_hClientWnd, g_uAttachMsg, g_uDiscoverMsg (below): the attached
//                          client's window and the link's two registered messages;
//                          client::g_bRefusalArmed: the refusal box opens once per process;
//                          s_bPollUnanswered: a status poll waits for any notification
//   device/Poll.cpp        g_nMissCount, g_nRecoverCount (device/Thread.h): polls that missed
//                          the base and polls since it came back; CThread::Reset keeps them
//   ui/DebugDlg.cpp        g_nLogFileCounter: the pair of log files the next debug window takes
//   platform/Platform.cpp  g_platform: the platform the bridge runs on, installed at start
//   platform/win32/        g_windows (Win32Windows.cpp), g_sheetWindows and g_sheets
//                          (Win32PropertySheet.cpp), the icon cache (Win32Icons.cpp): the
//                          Windows side's bookkeeping of its windows and icons
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

    // ---- state the device link and the settings page read and set (device/, ui/) ----
    // The status code the information window and the handsets' idle state follow.
    int Status() const { return m_nStatus; }
    void SetStatus(int status) { m_nStatus = status; }
    // PENDING_ bits: what the next handset update still owes the handsets.
    bool IsPending(std::uint8_t bits) const { return (m_nPending & bits) != 0; }
    void AddPending(std::uint8_t bits) { m_nPending = static_cast<std::uint8_t>(m_nPending | bits); }
    void DropPending(std::uint8_t bits) { m_nPending = static_cast<std::uint8_t>(m_nPending & ~bits); }
    // The number or partner the handset and the information window show.
    const std::string& DisplayName() const { return m_strDisplayName; }
    void SetDisplayName(const std::string& name) { m_strDisplayName = name; }
    bool InSecondCall() const { return m_bSecondCall == 1; }
    // The settings page's loopback waits for its echo.
    bool LoopbackPending() const { return m_bLoopbackPending == 1; }
    void SetLoopbackPending(bool pending) { m_bLoopbackPending = pending ? 1 : 0; }
    // "All reset": loopback, then delete-all, then reset, each step after the last one's reply.
    void StartSettingChain() { m_bSettingChain = 1; }
    bool InSettingChain() const { return m_bSettingChain == 1; }
    void EndSettingChain() { m_bSettingChain = 0; }
    bool Registering() const { return m_bRegistering == 1; }
    CUSB& Usb() { return m_usb; }
    bool DevicePresent() const { return m_bDevicePresent != 0; }
    void SetDevicePresent(int present) { m_bDevicePresent = present; }
    bool AtConsole() const { return m_bAtConsole != 0; }

    // ---- fields ----
    // Each field's tag names the folders whose code writes (w) and reads (r) it; code outside
    // the dialog's own folders (device/, ui/) goes through the calls above. Tests read them all.

    // The handset side and the device link.
    int m_nStatus = STATUS_BASE_ABSENT;    // w: app callctl client device (SetStatus)  r: app client device
    std::uint8_t m_nPending = 0;           // w: app callctl client device  r: client device
    std::string m_strDisplayName;          // w: callctl client device  r: app device
    CThread* m_pThread = nullptr;          // w: app  r: app callctl client
    int m_bDevicePresent = 0;              // w: app device  r: app client device
    CUSB m_usb;                            // w/r: app device (Usb())
    // Ticks of CheckForDevice; a member, as there is one main dialog per process.
    int m_nDeviceCheckTicks = 0;           // w/r: app
    // Depth of the device link's work now running (LinkWork), and what waits for its end.
    int m_nLinkWork = 0;                   // w/r: app
    std::deque<std::function<void()>> m_atRest;  // w/r: app
    int m_bHandsetTimerArmed = 0;          // w/r: app

    // Texts loaded from the string table (by their ids), all written in app/.
    std::string m_strOffHook;          // 3    r: app
    std::string m_strUsbReady;         // 4    r: app
    std::string m_strPress;            // 5    r: app
    std::string m_strCallOut;          // 6    r: app
    std::string m_strIncoming;         // 7    r: app
    std::string m_strReady;            // 8    r: app
    std::string m_strNotReady;         // 9    r: app
    std::string m_strLoopbackFail;     // 110  r: callctl
    std::string m_strRefused;          // 111  r: client
    std::string m_strSkypeConnected;   // 112  r: client
    std::string m_strSkypeMissing;     // 113  r: client
    std::string m_strSoftPhoneConnected;  // 114  r: client
    std::string m_strSoftPhoneMissing;    // 115  r: client
    std::string m_strUsbDisconnected;  // 120  r: app
    std::string m_strRinging;          // 123  r: app
    std::string m_strNoReply;          // 125  r: callctl
    std::string m_strRestartBase;      // 132  r: app

    // The windows and the desktop.
    COptionsSheet* m_pOptionsSheet = nullptr;  // w/r: app
    CDebugDlg* m_pDebugDlg = nullptr;      // w: app  r: app client
    CInfoDlg* m_pInfoDlg = nullptr;        // w/r: app
    std::string m_strStatusText;           // w/r: app
    int m_bDebugMode = 0;                  // w: app  r: client
    int m_nOsVersion = 0;                  // w: app  r: app callctl
    std::string m_strAudioDevice;          // w: app  r: callctl
    // Set by OnExit: Exit chosen while the refusal box is open must not leave twice.
    int m_bExited = 0;                     // w/r: app
    // The tray icon's tip, as it was added (and is added again after an Explorer restart);
    // nothing sets it, so the icon has none.
    std::string m_strTrayTip;              // r: app
    // The shell took today's tray callback (version 4): the menu opens on WM_CONTEXTMENU.
    int m_bTrayVersion4 = 0;               // w/r: app
    // "TaskbarCreated", registered at start; 0 when it could not be.
    unsigned m_uTaskbarCreated = 0;        // w/r: app
    // This session has the console and so the base.
    int m_bAtConsole = 1;                  // w: app  r: app device
    // The system tells the main dialog of session changes; ticks until the next request.
    int m_bSessionWatched = 0;             // w/r: app
    int m_nSessionWatchTicks = 0;          // w/r: app

    // The client link.
    int m_nLinkState = Detached;           // w: app client  r: client
    int m_nClientKind = Skype;             // w: app  r: app client
    int m_bClientAttached = 0;             // w: client  r: app client
    int m_bDiscoverPending = 1;            // w/r: client
    int m_bOnlinePending = 1;              // w: app client  r: app
    std::string m_strUserHandle;           // w/r: client

    // Calls.
    std::string m_strCallId;               // w: app callctl client  r: callctl client
    std::string m_strPeerHandle;           // w/r: client
    std::string m_strHeldCallId;           // w/r: callctl client
    int m_bCallClosed = 1;                 // w: app callctl client  r: client
    int m_bInCall = 0;                     // w: app callctl client  r: callctl
    int m_bSecondCall = 0;                 // w: app callctl client  r: callctl device
    int m_bDndForSecondCall = 0;           // w: app callctl client  r: callctl client
    // The calls still ringing at the client and the placed calls waiting for their id, and
    // the client window they came from (kept across a reset of the link).
    CallRecord m_callRecord;               // w/r: callctl client
    plat::WindowHandle m_hCallsClientWnd = 0;  // w/r: client

    // The phone book, its status sweep and the handset's menu.
    std::list<ContactRecord> m_contacts;   // w: client  r: app client
    int m_bContactScan = 1;                // w/r: client
    // The next contact to ask about while the status sweep runs.
    std::list<ContactRecord>::iterator m_pContactCursor;  // w: app client  r: client
    // The contact the handset's menu shows (end: none). After it left the phone book, the one
    // that followed it, with m_bShownLeft set: a step then starts from the gap it left.
    std::list<ContactRecord>::iterator m_pShownContact;   // w: app client  r: client
    int m_bShownLeft = 0;                  // w/r: client
    int m_bContactSelected = 0;            // w: app client  r: client
    // The whole handle of the contact the menu selected; the display shows only its start.
    std::string m_strSelectedHandle;       // w/r: client
    // The last chat message: its id, then its partner and body as the client tells them.
    std::string m_strMessageId;            // w/r: client
    std::string m_strMessagePartner;       // w/r: client
    std::string m_strMessageBody;          // w: client

    // The settings page's requests: a delete or reset waits for its reply under timer 1006,
    // the base registers handsets since the page asked it to, a loopback waits for its echo,
    // and "All reset" runs its chain.
    int m_bReplyWaiting = 0;               // w/r: callctl
    int m_bRegistering = 0;                // w: app callctl  r: ui
    int m_bLoopbackPending = 0;            // w: app callctl device  r: callctl device
    int m_bSettingChain = 0;               // w: app callctl device ui  r: callctl device
};
