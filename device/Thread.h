// CThread: the device link. Polled by the main dialog every 100 ms; keeps the base found,
// proves the link with a loopback test, dispatches the base's packets and drives the
// handsets (call and menu state machine).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "platform/WinThread.h"

class CBridgeDlg;

// Requests a settings page hands to the link through the main dialog.
enum BaseRequest {
    REQ_DELETE_ALL = 1,
    REQ_DELETE_HANDSET = 2,
    REQ_PAGING = 3,
    REQ_LOOPBACK = 5,
    REQ_REGISTER = 6,
    REQ_GET_VERSION = 10,
    REQ_RESET = 11,
};

// Handset call states.
enum CallState {
    CS_IDLE = 1,
    CS_OFF_HOOK = 2,
    CS_MENU = 3,
    CS_NUMBER_START = 4,
    CS_BROWSE = 5,
    CS_CONTACT_CALL = 6,
    CS_NUMBER_CALL = 7,
    CS_ANSWERED = 8,
    CS_NUMBER = 9,
    CS_HASH_ENTRY = 10,
};

class CThread : public plat::WinThread {
public:
    static constexpr int kFindEvery = 20;     // polls between device searches (2 s)
    static constexpr int kMissesBeforeLoss = 20;
    static constexpr int kTestEvery = 4;      // polls between link-test steps (400 ms)
    static constexpr int kTestOverdueLimit = 3;
    static constexpr int kTestsInStartup = 2;  // loopbacks of the start-up link test
    static constexpr int kTestDecided = 3;     // test sent once a test's result is reported
    static constexpr int kRetryPauseSteps = 5; // keep-alive steps before a failed test runs again (2 s)
    // Device-log lines of the link.
    static constexpr const char* kTestReportFormat = "test report test = %d, ok = %d";
    static constexpr const char* kReceiveFormat = "recv %s %c ";
    static constexpr const char* kPackageError = "recv Package Error";  // followed by the sum
    static constexpr const char* kDisconnectLine = "USB Disconnect";

    CThread();
    // The main dialog whose state the link reads and reports to.
    void AttachTo(CBridgeDlg* dlg) { m_pDlg = dlg; }

    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    // ---- device link ----
    void Reset();
    // One tick of the 100 ms timer: starts a poll, or ends the one still waiting for its
    // report once the report came or the wait is over (device/Poll.cpp).
    void Poll();
    // The read's event was set: the open poll ends with its report.
    void OnReport();
    void SendBaseCommand(int request, std::uint8_t value);
    void SendDisconnect();
    void SendPacket();
    void OnPacket();
    void OnTestReply();
    void OnCommandReply();
    void LinkTestFailed();
    void KeepAlive();
    // The status the handset side returns to when it is idle: the base absent, its link test
    // failed, or "USB READY".
    int IdleStatus() const;
    // A delete or reset request waits for its reply (and only that reply answers it).
    void AwaitReply(int request);
    void ForgetReply();

    // ---- handsets ----
    void OnOffHook();
    void OnAnswer();
    void OnHangUp();
    void GoIdle();
    void OnFuncKey();
    void OnKey();
    void OnDialString();
    void Dial();
    void UpdateHandset();
    void SendCallerAlert();
    void ReleaseHandset();
    void StopRinging();
    void ReleaseAll();
    // A handset placed or answered the call it is in (not merely off hook or typing).
    bool HoldsCall() const;
    bool Idle() const { return m_nCallState == CS_IDLE; }
    // A '#' entry is being typed: its dial timer dials it.
    bool EntersHashNumber() const { return m_nCallState == CS_HASH_ENTRY; }
    // A ring that ends (answered, refused, missed, taken elsewhere) takes back the pending
    // bits it set, so that no later call is shown ringing or connected because of it.
    void ForgetRing();
    // The contact the menu showed left the phone book: the menu shows what stands there now.
    void OnContactsChanged();

    // Fields, in declaration order.
    CBridgeDlg* m_pDlg;
    int displayPending;
    std::string m_strByte;
    std::string m_strTrace;
    std::uint8_t m_nMenuItem;
    std::uint8_t m_nTapCount;
    std::uint8_t m_nLastMenuKey;
    std::uint8_t m_received[52];
    unsigned char* m_pReport;
    std::uint8_t m_nOutLength;
    std::uint8_t m_out[50];
    std::uint8_t m_nFindDivider;
    int m_nTestMisses;
    std::string m_strDeleteText;
    std::uint8_t m_nLastDeleteArg;
    std::string m_strFinishedText;
    int dialStringSeen;
    int m_bSentSinceKeepAlive;
    int m_bTestReportPending;
    int m_nTestOk;
    int m_nTestSent;
    int m_bDisconnectReported;
    int m_nPollDivider;
    std::string m_strLoopbackOkText;
    std::uint8_t m_nLoopbackSeed;
    std::uint8_t m_nHandset;
    std::string m_strDigits;
    int m_nCallState;
    int replyPending;

    // Not touched by Reset: the base opening the link last (re)started from, and the handset
    // updates a ring has waited for its caller.
    int m_nLinkOpening = 0;
    int m_nRingWaits = 0;
    // The menu's display is to be shown again (OnContactsChanged).
    int m_bMenuRefresh = 0;
    // Set by Reset. The link test's loopbacks and the user's are told apart by their seeds,
    // so that neither takes the other's echo, and an echo counts once.
    std::uint8_t m_nTestSeed = 0;
    int m_bTestEchoAwaited = 0;
    std::uint8_t m_nUserSeed = 0;
    int m_bUserEchoAwaited = 0;  // a base opened again never heard the user's loopback
    // A link test failed: status 11 until a later test passes; tried again after a pause.
    int m_bTestFailed = 0;
    int m_nRetrySteps = 0;
    // The sub-code of the reply the waiting request expects; 0 when none waits.
    std::uint8_t m_nAwaitedReply = 0;

private:
    // ---- the poll (device/Poll.cpp) ----
    void StartPoll();
    void FinishPoll();
    // Steps 1 to 4 of the poll; false when the base is absent and the poll stops there.
    bool TrackPresence();
    // The poll's last step: every fourth poll the link test, then the keep-alive.
    void StepLinkTest();
    // A poll waits for its report; a tick came meanwhile and is owed the next poll.
    int m_bPollOpen = 0;
    int m_bTickOwed = 0;

    // The steps of a key: the first key of an off-hook handset, then the key in its state.
    void StartKeyEntry(char key);
    void OnMenuKey(char key);
    void OnNumberKey(char key);
    void OnCallKey(char key);
    void OnHashEntryKey(char key);
    // The digit joins the number, which the handset and the information window show.
    void AddDigit(char key);
    void MultiTap(std::uint8_t key);
    // A handset event from another handset than the one in a call or dialling: that
    // handset never joined, so it is not heard.
    bool FromOtherHandset() const;
    // Body bytes of the received packet: its length byte less the code and the checksum.
    int BodyBytes() const;
    void OnAnswerEvent();
    void OnHangUpEvent();
    // Copies the packet out of the report and logs it; false when it is no valid packet.
    bool TakeReceived(const pkt::Examined& packet);
    void StartLinkTest();
    void SendTestLoopback();
    void ReportLinkTest();
    void LinkTestPassed();
    // The echo's five bytes are those of the loopback sent with this seed.
    bool Echoes(std::uint8_t seed) const;
    // The base's loss is reported once, after two failed checks.
    void ReportLoss();
    // The call state back to idle; false when it was idle already.
    bool LeaveCall();
    // The menu entry as the handset shows it: a contact, or an entry with nobody in it.
    std::string MenuDisplay(const std::string& text) const;
    // Sends a pkt:: builder's packet through SendPacket, the link's one writer (which frames
    // it again). More than 48 bytes sends nothing.
    void SendBytes(const std::vector<std::uint8_t>& packet);
};

// Process-wide counters of the poll; Reset leaves them alone.
extern int g_nMissCount;
extern int g_nRecoverCount;
