// The device link's poll: presence tracking, the read of the base's report with its
// bounded wait, the start-up link test and the keep-alive.
#include <cstdio>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "device/Thread.h"

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

// A poll waits up to 200 ms for the base's report, but as a state of the link, never as a
// block of the UI thread. StartPoll starts the read (if none is out) and the wait; the
// main loop waits on the read's event besides messages and OnReport ends the poll as the
// report arrives (under a box's or menu's own loop the next tick finds it), or the first
// tick after the 200 ms ends it without one. A tick that finds the poll open is owed the
// next poll, which starts as soon as this one ends, as the tick queued behind the old
// blocking wait did: the base sees the same cadence, reads, reports and keep-alives.
// Nothing ever waits on the read's block, so no read is reissued or freed under a wait,
// and a poll runs no message loop (boxes and menus wait for CBridgeDlg::AtRest), so no
// poll ever starts inside another.
void CThread::Poll() {
    CBridgeDlg& dlg = *m_pDlg;
    if (!m_bPollOpen) {
        StartPoll();
        return;
    }
    m_pReport = dlg.Usb().USBReadArrived();
    if (!m_pReport && dlg.Usb().ReadWaiting()) {
        m_bTickOwed = 1;
        return;
    }
    FinishPoll();
    // This tick was meant for the next poll; it starts after any box the report asked for.
    dlg.ContinueLinkWork([this] { Poll(); });
}

void CThread::OnReport() {
    if (!m_bPollOpen) return;  // the poll that started the read is over: the next one takes it
    m_pReport = m_pDlg->Usb().USBReadArrived();
    if (!m_pReport && m_pDlg->Usb().ReadWaiting()) return;
    FinishPoll();
    if (m_bTickOwed) m_pDlg->ContinueLinkWork([this] { Poll(); });
}

void CThread::StartPoll() {
    CBridgeDlg& dlg = *m_pDlg;
    m_bTickOwed = 0;
    if (!TrackPresence()) {
        dlg.OnPollFinished();
        return;
    }
    m_pReport = dlg.Usb().USBRead();
    if (!m_pReport && dlg.Usb().ReadWaiting()) {
        m_bPollOpen = 1;
        dlg.WaitForBaseReport(dlg.Usb().ReadWaitLeft());
        return;
    }
    FinishPoll();
}

void CThread::FinishPoll() {
    CBridgeDlg& dlg = *m_pDlg;
    m_bPollOpen = 0;
    dlg.EndBaseReportWait();
    OnPacket();
    // A message box the packet asked for comes first, as though the poll went on under it.
    dlg.ContinueLinkWork([this] { StepLinkTest(); });
    dlg.ContinueLinkWork([&dlg] { dlg.OnPollFinished(); });
}

bool CThread::TrackPresence() {
    CBridgeDlg& dlg = *m_pDlg;
    if (++m_nFindDivider >= kFindEvery) {
        m_nFindDivider = 0;
        // Only the bridge of the session at the console looks: elsewhere the base is absent.
        dlg.SetDevicePresent(dlg.AtConsole() ? dlg.Usb().FindUSB() : 0);
    }
    // An absent base is reported once, after two failed checks.
    if (!dlg.DevicePresent()) {
        if (m_bDisconnectReported) return false;
        if (++g_nMissCount <= kMissesBeforeLoss) return false;
        g_nMissCount = 0;
        ReportLoss();
        return false;
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
    const bool reopened = dlg.Usb().m_nOpenings != m_nLinkOpening;
    if (dlg.Status() == STATUS_BASE_ABSENT || backAfterLoss || reopened) {
        if (reopened && m_nLinkOpening != 0 && !backAfterLoss && dlg.Status() != STATUS_BASE_ABSENT) dlg.OnBaseLost();
        m_nLinkOpening = dlg.Usb().m_nOpenings;
        dlg.SetStatus(STATUS_BASE_FOUND);
        dlg.UpdateInfoDialog();
        GoIdle();
        dlg.SelectAudioDevice();
        Reset();
        dlg.OnBaseBack();
    }
    return true;
}

void CThread::StepLinkTest() {
    if (++m_nPollDivider < kTestEvery) return;
    m_nPollDivider = 0;
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
    if (CallUnderway(m_pDlg->Status())) return;
    m_pDlg->SetStatus(STATUS_READY);
    m_pDlg->UpdateInfoDialog();
}

void CThread::ReportLoss() {
    // The call the loss ends is ended first, as any call is; then the status says why.
    m_pDlg->OnBaseLost();
    m_bDisconnectReported = 1;
    m_pDlg->SetStatus(STATUS_BASE_ABSENT);
    m_pDlg->UpdateInfoDialog();
}

void CThread::LinkTestFailed() {
    m_nRetrySteps = kRetryPauseSteps;
    // Set once; a call's status is not replaced (the handsets go idle to it instead).
    if (m_bTestFailed == 1) return;
    m_bTestFailed = 1;
    if (CallUnderway(m_pDlg->Status())) return;
    m_pDlg->SetStatus(STATUS_TEST_FAILED);
    m_pDlg->UpdateInfoDialog();
}

void CThread::KeepAlive() {
    if (!m_bSentSinceKeepAlive) {
        unsigned char zero[kKeepAliveBytes] = {};
        m_pDlg->Usb().USBWrite(zero, static_cast<unsigned char>(kKeepAliveBytes));
    }
    m_bSentSinceKeepAlive = 0;
}
