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
constexpr int kStartupDone = 3;  // test sent once the start-up result was reported
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
    m_strForwardOkText = strings.LoadString(IDS_FORWARD_OK);
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
}

void CThread::Poll() {
    CBridgeDlg& dlg = *m_pDlg;
    if (++m_nFindDivider >= kFindEvery) {
        m_nFindDivider = 0;
        // Only the bridge of the session at the console looks: elsewhere the base is absent.
        dlg.m_bDevicePresent = dlg.m_bAtConsole ? dlg.m_usb.FindUSB() : 0;
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
    if (m_nTestSent >= kTestsInStartup) {
        if (m_bTestReportPending == 1) {
            m_bTestReportPending = 0;
            char line[64];
            std::snprintf(line, sizeof line, kTestReportFormat, m_nTestSent, m_nTestOk);
            dlg.LogDeviceLine(line);
            if (m_nTestOk == kTestsInStartup) {
                m_nTestSent = kStartupDone;
                // A call that began during the test keeps its status: "USB READY" would
                // silence its ringing and hide the call from the info window.
                if (!CallUnderway(dlg.m_nStatus)) {
                    dlg.m_nStatus = STATUS_READY;
                    dlg.UpdateInfoDialog();
                }
            } else {
                LinkTestFailed();
            }
        }
        KeepAlive();
    } else if (m_nTestSent == m_nTestOk) {
        ++m_nTestSent;
        SendBaseCommand(REQ_LOOPBACK, 0);
    } else if (++m_nTestMisses > kTestOverdueLimit) {
        LinkTestFailed();
    }
}

void CThread::ReportLoss() {
    m_bDisconnectReported = 1;
    m_pDlg->OnBaseLost();
    m_pDlg->m_nStatus = STATUS_BASE_ABSENT;
    m_pDlg->UpdateInfoDialog();
}

void CThread::LinkTestFailed() {
    m_pDlg->m_nStatus = STATUS_TEST_FAILED;
    m_pDlg->UpdateInfoDialog();
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
