// What the base sends: the frame test, the dispatch on the packet code, and the replies
// to loopback tests and base commands.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "device/Thread.h"

namespace {
constexpr std::uint8_t kFirstHandset = 1;
constexpr std::uint8_t kLastHandset = 4;
}  // namespace

int CThread::BodyBytes() const {
    return static_cast<int>(m_received[pkt::kLengthAt]) - static_cast<int>(pkt::kLengthNonBody);
}

bool CThread::FromOtherHandset() const {
    // Handsets are numbered 1 to 4: an event naming any other is no handset's, and not heard.
    const std::uint8_t handset = m_received[pkt::kHandsetAt];
    if (handset < kFirstHandset || handset > kLastHandset) return true;
    // A call dialled as a dial string has no known handset (0): any handset is heard.
    return m_nCallState != CS_IDLE && m_nHandset != 0 && handset != m_nHandset;
}

void CThread::OnPacket() {
    CBridgeDlg& dlg = *m_pDlg;
    const pkt::Examined packet = pkt::Examine(m_pReport, pkt::kDataSize);
    if (packet.verdict == pkt::Verdict::NotPacket) {
        UpdateHandset();
        return;
    }
    if (!TakeReceived(packet)) return;
    switch (m_received[pkt::kCodeAt]) {
        case pkt::EVT_FUNC_KEY:
            if (!FromOtherHandset()) OnFuncKey();
            break;
        case pkt::EVT_HANG_UP: OnHangUpEvent(); break;
        case pkt::EVT_LINE_RELEASED: GoIdle(); break;
        case pkt::EVT_ANSWER:
            if (!FromOtherHandset()) OnAnswerEvent();
            break;
        case pkt::EVT_REGISTER_END: dlg.RefreshSettingsPage(); break;
        case pkt::EVT_KEY:
            if (!FromOtherHandset()) OnKey();
            break;
        case pkt::EVT_TEST_REPLY: OnTestReply(); break;
        case pkt::EVT_BASE_STATUS: break;
        case pkt::EVT_COMMAND_REPLY: OnCommandReply(); break;
        case pkt::EVT_DIAL_STRING: OnDialString(); break;
        case pkt::EVT_TUNNEL_DATA: dlg.TraceRawSend(m_received + pkt::kBodyAt, BodyBytes()); break;
        default: break;  // not an error: the steps below still run
    }
    // After any message box the dispatch asked for, as when the box opened right here.
    dlg.ContinueLinkWork([this] {
        UpdateHandset();
        m_pDlg->UpdateInfoDialog();
    });
}

bool CThread::TakeReceived(const pkt::Examined& packet) {
    // Only what the report holds is copied; the rest of the copy is cleared, never stale.
    std::memset(m_received, 0, sizeof m_received);
    std::memcpy(m_received, m_pReport, packet.length);
    m_strTrace = pkt::Hex(m_received, packet.length);
    char line[2 * pkt::kDataSize + 16];
    // A NUL key ends the line there, as the C text it is.
    std::snprintf(line, sizeof line, kReceiveFormat, m_strTrace.c_str(), static_cast<char>(m_received[pkt::kKeyAt]));
    m_pDlg->LogDeviceLine(line);
    if (packet.verdict == pkt::Verdict::Valid) return true;
    m_strTrace = std::string(kPackageError) + pkt::Hex(&packet.sum, 1);
    m_pDlg->LogDeviceLine(m_strTrace);
    return false;
}

void CThread::OnHangUpEvent() {
    if (FromOtherHandset()) {
        const std::uint8_t handset = m_received[pkt::kHandsetAt];
        // Acknowledged, ending nothing.
        if (handset >= kFirstHandset && handset <= kLastHandset) SendBytes(pkt::HangUpAck(handset));
        return;
    }
    // A dial string's handset is not known: whichever hung up, the base drops them all,
    // so that none stays on a line the bridge has left.
    const bool unknownHandset = m_nHandset == 0 && m_nCallState != CS_IDLE;
    OnHangUp();
    if (unknownHandset) SendBytes(pkt::Release(pkt::kAllHandsets));
    GoIdle();
}

bool CThread::Echoes(std::uint8_t seed) const {
    for (std::size_t i = 0; i < pkt::kLoopbackBytes; ++i)
        if (m_received[pkt::kSubDataAt + i] != static_cast<std::uint8_t>(seed + i)) return false;
    return true;
}

void CThread::OnTestReply() {
    switch (m_received[pkt::kSubCodeAt]) {
        case pkt::BASE_LOOPBACK: {
            // A reply too short to hold the five bytes is no echo.
            if (pkt::ChecksumAt(m_received[pkt::kLengthAt]) < pkt::kSubDataAt + pkt::kLoopbackBytes) return;
            if (m_bTestEchoAwaited == 1 && Echoes(m_nTestSeed)) {
                m_bTestEchoAwaited = 0;  // a doubled echo counts once
                ++m_nTestOk;
                return;
            }
            CBridgeDlg& dlg = *m_pDlg;
            // Late, doubled or wrong: no loopback waits for it.
            if (!dlg.LoopbackPending() || m_bUserEchoAwaited != 1 || !Echoes(m_nUserSeed)) return;
            m_bUserEchoAwaited = 0;
            dlg.StopLoopbackTimer();
            // Cleared before any message box: a test started under the box keeps its flag.
            dlg.SetLoopbackPending(false);
            if (dlg.InSettingChain()) dlg.RequestBaseCommand(REQ_DELETE_ALL, 0);
            else dlg.ShowBaseResult(m_strLoopbackOkText);
            return;
        }
        case pkt::BASE_RESET: OnCommandReply(); return;
        default: return;
    }
}

void CThread::OnCommandReply() {
    CBridgeDlg& dlg = *m_pDlg;
    const std::uint8_t sub = m_received[pkt::kSubCodeAt];
    // Bytes after the sub-code up to the checksum; a frame too short for them has none.
    const int dataBytes = std::max(0, BodyBytes() - static_cast<int>(pkt::kSubDataAt - pkt::kBodyAt));
    const std::uint8_t* replyData = m_received + pkt::kSubDataAt;
    if (sub == pkt::REPLY_TEXT) {
        dlg.ForwardToSettingsPage(replyData, dataBytes);
        return;
    }
    // Only the reply the waiting request asked for answers it. Any other, and one that comes
    // after the time-out, stays in the device log (its "recv" line) and is shown nowhere.
    if (replyPending != 1 || sub != m_nAwaitedReply) return;
    if (sub == pkt::BASE_DELETE_HANDSET && (dataBytes < 1 || replyData[0] != m_nLastDeleteArg)) return;
    dlg.StopReplyTimer();
    ForgetReply();
    switch (sub) {
        case pkt::BASE_RESET:
            dlg.EndSettingChain();
            dlg.ShowBaseResult(m_strFinishedText);
            break;
        case pkt::BASE_DELETE_ALL:
            if (dlg.InSettingChain()) dlg.RequestBaseCommand(REQ_RESET, 0);
            else dlg.ShowBaseResult(m_strDeleteText);
            break;
        default: dlg.ShowBaseResult(m_strDeleteText); break;
    }
}
