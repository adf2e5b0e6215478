// The device link: its life and the packets it sends (the poll is in device/Poll.cpp).
#include "device/Thread.h"

#include <cstring>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "platform/Platform.h"
#include "res/resource.h"

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
            m_pDlg->SetLoopbackPending(true);
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
    m_pDlg->Usb().USBWrite(m_out, m_nOutLength);
    m_strTrace = pkt::Hex(m_out, total);
    m_bSentSinceKeepAlive = 1;
}

void CThread::SendBytes(const std::vector<std::uint8_t>& packet) {
    if (packet.empty() || packet.size() > pkt::kMaxPacket) return;
    std::memcpy(m_out, packet.data(), packet.size());
    m_nOutLength = static_cast<std::uint8_t>(packet.size());
    SendPacket();
}
