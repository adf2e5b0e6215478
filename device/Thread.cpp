// The device link: its life, the 100 ms poll with presence tracking and the start-up
// link test, and the packets it sends.
#include "device/Thread.h"

#include <cstdio>
#include <cstring>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "platform/Platform.h"
#include "res/resource.h"

int g_nMissCount = 0;
int g_nRecoverCount = 0;

namespace {
constexpr int kRecoverLimit = 20;
constexpr std::size_t kKeepAliveBytes = 4;

bool CallUnderway(int status) {
    return status == STATUS_OFF_HOOK || status == STATUS_CALL_OUT || status == STATUS_IN_CALL ||
           status == STATUS_RINGING;
}
}  // namespace

CThread::CThread()
    : m_pDlg(nullptr),
      m_nMenuItem(0),
      m_pReport(nullptr),
      m_nOutLength(0),
      m_nLastDeleteArg(0),
      m_bSentSinceKeepAlive(0),
      m_nLoopbackSeed(0),
      m_nHandset(0) {
    Reset();
    std::memset(m_received, 0, sizeof m_received);
    std::memset(m_out, 0, sizeof m_out);
    plat::Resources& strings = plat::resources();
    m_strLoopbackOkText = strings.LoadString(IDS_LOOPBACK_OK);
    m_strFinishedText = strings.LoadString(IDS_FINISHED);
    m_strDeleteText = strings.LoadString(IDS_DELETE_FINISHED);
}

bool CThread::InitInstance() {
    // The creator's Resume waits for this, so it never runs beside the UI thread's polls.
    Reset();
    return true;
}

int CThread::Run() { return plat::WinThread::Run(); }

int CThread::ExitInstance() { return plat::WinThread::ExitInstance(); }

void CThread::Reset() {
    displayPending = 0;
    m_nTapCount = 0;
    m_nLastMenuKey = 0;
    m_nFindDivider = 0;
    m_nTestMisses = 0;
    dialStringSeen = 0;
    m_bTestReportPending = 1;
    m_nTestOk = 0;
    m_nTestSent = 0;
    m_bDisconnectReported = 0;
    m_nPollDivider = 0;
    m_nCallState = CS_IDLE;
    replyPending = 0;
    m_nAwaitedReply = 0;
    m_bTestEchoAwaited = 0;
    m_bUserEchoAwaited = 0;
    m_bTestFailed = 0;
    m_nRetrySteps = 0;
}

void CThread::Poll() {
    CBridgeDlg& dlg = *m_pDlg;
    if (++m_nFindDivider >= kFindEvery) {
        m_nFindDivider = 0;
        dlg.m_bDevicePresent = dlg.m_usb.FindUSB();
    }
    // An absent base is reported once, after two failed checks.
    if (!dlg.m_bDevicePresent) {
        if (m_bDisconnectReported) return;
        if (++g_nMissCount <= kMissesBeforeLoss) return;
        g_nMissCount = 0;
        ReportLoss();
        return;
    }
    // Misses of a short absence are forgotten after 21 polls with the base present.
    bool backAfterLoss = false;
    if (g_nMissCount != 0) {
        if (++g_nRecoverCount > kRecoverLimit) {
            g_nMissCount = 0;
            g_nRecoverCount = 0;
        }
    } else if (m_bDisconnectReported == 1) {
        m_bDisconnectReported = 0;
        backAfterLoss = true;
    }
    // Back (or there for the first time): start the link afresh. A call that ended while the
    // base was away has already replaced the "absent" status, so the reported loss counts too;
    // and a base opened afresh was away too, even if no check found it missing.
    const bool reopened = dlg.m_usb.m_nOpenings != m_nLinkOpening;
    if (dlg.m_nStatus == STATUS_BASE_ABSENT || backAfterLoss || reopened) {
        if (reopened && m_nLinkOpening != 0 && !backAfterLoss && dlg.m_nStatus != STATUS_BASE_ABSENT) dlg.OnBaseLost();
        m_nLinkOpening = dlg.m_usb.m_nOpenings;
        dlg.m_nStatus = STATUS_BASE_FOUND;
        dlg.UpdateInfoDialog();
        GoIdle();
        dlg.SelectAudioDevice();
        Reset();
        dlg.OnBaseBack();
    }
    m_pReport = dlg.m_usb.USBRead();
    OnPacket();
    if (++m_nPollDivider < kTestEvery) return;
    m_nPollDivider = 0;
    LinkTestStep();
}

void CThread::LinkTestStep() {
    if (m_nTestSent >= kTestsInStartup) {
        if (m_bTestReportPending == 1) {
            ReportLinkTest();
        } else if (m_bTestFailed == 1 && --m_nRetrySteps <= 0) {
            StartLinkTest();
            return;
        }
        KeepAlive();
    } else if (m_nTestSent == m_nTestOk) {
        ++m_nTestSent;
        SendTestLoopback();
    } else if (++m_nTestMisses > kTestOverdueLimit) {
        // The echo is given up: the test is decided now, and keep-alives take over.
        ReportLinkTest();
        KeepAlive();
    }
}

// A failed test runs again, so that a base that answers again is ready again without a replug.
void CThread::StartLinkTest() {
    m_nTestSent = 1;
    m_nTestOk = 0;
    m_nTestMisses = 0;
    m_bTestReportPending = 1;
    SendTestLoopback();
}

void CThread::SendTestLoopback() {
    ++m_nLoopbackSeed;
    SendBytes(pkt::Loopback(m_nLoopbackSeed));
    m_nTestSeed = m_nLoopbackSeed;
    m_bTestEchoAwaited = 1;
}

void CThread::ReportLinkTest() {
    m_bTestReportPending = 0;
    m_bTestEchoAwaited = 0;  // an echo that comes after this counts for nothing
    char line[64];
    std::snprintf(line, sizeof line, kTestReportFormat, m_nTestSent, m_nTestOk);
    m_pDlg->LogDeviceLine(line);
    const bool passed = m_nTestOk == kTestsInStartup;
    m_nTestSent = kTestDecided;
    if (passed) LinkTestPassed();
    else LinkTestFailed();
}

void CThread::LinkTestPassed() {
    m_bTestFailed = 0;
    // A call that began during the test keeps its status: "USB READY" would silence its
    // ringing and hide the call from the info window.
    if (CallUnderway(m_pDlg->m_nStatus)) return;
    m_pDlg->m_nStatus = STATUS_READY;
    m_pDlg->UpdateInfoDialog();
}

void CThread::ReportLoss() {
    // The call the loss ends is ended first, as any call is; then the status says why.
    m_pDlg->OnBaseLost();
    m_bDisconnectReported = 1;
    m_pDlg->m_nStatus = STATUS_BASE_ABSENT;
    m_pDlg->UpdateInfoDialog();
}

void CThread::LinkTestFailed() {
    m_nRetrySteps = kRetryPauseSteps;
    // Set once; a call's status is not replaced (the handsets go idle to it instead).
    if (m_bTestFailed == 1) return;
    m_bTestFailed = 1;
    if (CallUnderway(m_pDlg->m_nStatus)) return;
    m_pDlg->m_nStatus = STATUS_TEST_FAILED;
    m_pDlg->UpdateInfoDialog();
}

int CThread::IdleStatus() const {
    if (m_bDisconnectReported == 1) return STATUS_BASE_ABSENT;
    return m_bTestFailed == 1 ? STATUS_TEST_FAILED : STATUS_READY;
}

void CThread::AwaitReply(int request) {
    replyPending = 1;
    switch (request) {
        case REQ_DELETE_ALL: m_nAwaitedReply = pkt::BASE_DELETE_ALL; break;
        case REQ_DELETE_HANDSET: m_nAwaitedReply = pkt::BASE_DELETE_HANDSET; break;
        case REQ_RESET: m_nAwaitedReply = pkt::BASE_RESET; break;
        default: m_nAwaitedReply = 0; break;
    }
}

void CThread::ForgetReply() {
    replyPending = 0;
    m_nAwaitedReply = 0;
}

void CThread::KeepAlive() {
    if (!m_bSentSinceKeepAlive) {
        unsigned char zero[kKeepAliveBytes] = {};
        m_pDlg->m_usb.USBWrite(zero, static_cast<unsigned char>(kKeepAliveBytes));
    }
    m_bSentSinceKeepAlive = 0;
}

void CThread::SendBaseCommand(int request, std::uint8_t value) {
    switch (request) {
        case REQ_DELETE_ALL: SendBytes(pkt::Base(pkt::BASE_DELETE_ALL)); break;
        case REQ_DELETE_HANDSET:
            m_nLastDeleteArg = value;
            SendBytes(pkt::Base(pkt::BASE_DELETE_HANDSET, value));
            break;
        case REQ_PAGING: SendBytes(pkt::Base(pkt::BASE_PAGING, value)); break;
        case REQ_LOOPBACK:
            ++m_nLoopbackSeed;
            SendBytes(pkt::Loopback(m_nLoopbackSeed));
            m_nUserSeed = m_nLoopbackSeed;
            m_bUserEchoAwaited = 1;
            m_pDlg->m_bLoopbackPending = 1;
            break;
        case REQ_REGISTER: SendBytes(pkt::Base(pkt::BASE_OPEN_REGISTRATION)); break;
        case REQ_GET_VERSION: SendBytes(pkt::Base(pkt::BASE_GET_VERSION)); break;
        case REQ_RESET: SendBytes(pkt::Base(pkt::BASE_RESET)); break;
        default: break;
    }
}

void CThread::SendDisconnect() {
    SendBytes(pkt::Disconnect());
    m_pDlg->LogDeviceLine(kDisconnectLine);
}

void CThread::SendPacket() {
    const std::size_t total = m_nOutLength;
    // A length that cannot be a packet (or would not fit the buffer) sends nothing.
    if (total < 5 || total > pkt::kMaxPacket) return;
    pkt::Frame(m_out, total);
    m_pDlg->m_usb.USBWrite(m_out, m_nOutLength);
    m_strTrace = pkt::Hex(m_out, total);
    m_bSentSinceKeepAlive = 1;
}

void CThread::SendBytes(const std::vector<std::uint8_t>& packet) {
    if (packet.empty() || packet.size() > pkt::kMaxPacket) return;
    std::memcpy(m_out, packet.data(), packet.size());
    m_nOutLength = static_cast<std::uint8_t>(packet.size());
    SendPacket();
}
