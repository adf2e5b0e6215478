// The device link end to end on the harness, where a scenario cannot look: the state
// the link leaves behind, the steps that follow each kind of report, and the start-up
// Reset on the link's own thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "device/Thread.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "res/resource.h"
#include "tools/sim/SimBase.h"
#include "ui/InfoDlg.h"

namespace {

constexpr std::uint64_t kReadyMs = 4500;  // base found at 2.9 s, link test passed at 4 s
constexpr std::uint64_t kPollMs = 100;

struct DeviceLink : ::testing::Test {
    sim::Harness h;

    // The counters are process-wide, and every harness of this test program shares them:
    // each test starts, and leaves, them as a fresh process has them.
    void SetUp() override { ClearCounters(); }
    void TearDown() override { ClearCounters(); }
    static void ClearCounters() {
        g_nMissCount = 0;
        g_nRecoverCount = 0;
    }
    void Boot() {
        h.PlugBase();
        h.Start("QOPA");  // the debug window records the device log
        h.Run(kReadyMs);
        ASSERT_NE(h.Bridge(), nullptr);
        ASSERT_NE(h.Bridge()->m_pThread, nullptr);
        ASSERT_NE(h.Bridge()->m_pInfoDlg, nullptr);
    }
    static std::string TestReport(int sent, int ok) {
        char line[64];
        std::snprintf(line, sizeof line, CThread::kTestReportFormat, sent, ok);
        return line;
    }
    CBridgeDlg& Dlg() { return *h.Bridge(); }
    static std::string DeleteAll() { return Hex(pkt::Base(pkt::BASE_DELETE_ALL)); }
    static std::string Hex(const std::vector<std::uint8_t>& bytes) { return pkt::Hex(bytes.data(), bytes.size()); }
    // Loopback, delete-all, reset, in that order, and only the last one's message.
    void ExpectChainRanToItsEnd() {
        const int deleted = h.IndexOf("usb>", DeleteAll());
        ASSERT_NE(deleted, -1);
        EXPECT_NE(h.IndexOf("usb>", Hex(pkt::Base(pkt::BASE_RESET)), deleted), -1);
        const std::vector<sim::Line> boxes = h.Find("msgbox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Link().m_strFinishedText);
        EXPECT_EQ(Dlg().m_bSettingChain, 0);
    }
    CThread& Link() { return *h.Bridge()->m_pThread; }
    std::string InfoStatus() { return Dlg().m_pInfoDlg->GetDlgItemText(IDC_INFO_STATUS); }
    // Display packets written to the base so far.
    int Displays() const { return static_cast<int>(h.Find("usb>", "2424140A").size()); }
    // An info window not redrawn since its status box was scribbled on (a changed status
    // would be redrawn at the next tick anyway), and a display the handset owes.
    static constexpr const char* kStale = "stale";
    void MakeStale() {
        ASSERT_EQ(InfoStatus(), Dlg().m_strUsbReady);
        Dlg().m_pInfoDlg->SetDlgItemText(IDC_INFO_STATUS, kStale);
        Link().displayPending = 1;
    }
};

// A base that never echoes fails the test once (four overdue steps in all), and is tested
// again after two seconds of keep-alives; once it echoes again, it is ready again.
TEST_F(DeviceLink, AFailedLinkTestIsShownOnceAndRunsAgainAfterAPause) {
    h.Base().SetEcho(false);
    Boot();
    h.Run(4800 - kReadyMs);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_TEST_FAILED);
    EXPECT_EQ(Link().m_nTestMisses, 4);
    EXPECT_EQ(h.Find("device-log", TestReport(1, 0)).size(), 1u);
    const int failedAt = h.IndexOf("status", "11 ");
    // Keep-alives from the next step on, and the test again after the pause.
    h.Run(400 * CThread::kRetryPauseSteps - kPollMs);
    EXPECT_NE(h.IndexOf("usb>", "00000000", failedAt), -1);
    EXPECT_EQ(Link().m_nTestSent, CThread::kTestDecided);
    h.Base().SetEcho(true);
    h.Run(kPollMs);
    EXPECT_EQ(Link().m_nTestSent, 1);
    h.Run(800);
    EXPECT_EQ(h.Find("device-log", TestReport(2, 2)).size(), 1u);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_EQ(h.Find("status", "11 ").size(), 1u);  // set once, never written again
}

TEST_F(DeviceLink, AValidPacketWithAnUnlistedCodeStillUpdatesTheHandsetAndTheInfoWindow) {
    Boot();
    MakeStale();
    const int displays = Displays();
    h.Base().SendPacket(0x05, {0x01, 0x02});
    h.Run(kPollMs);
    EXPECT_EQ(h.Find("device-log", "recv 242404050102F4").size(), 1u);
    EXPECT_EQ(Link().displayPending, 0);
    EXPECT_EQ(Displays(), displays + 1);
    EXPECT_EQ(InfoStatus(), Dlg().m_strUsbReady);
}

TEST_F(DeviceLink, ABadChecksumIsLoggedAndChangesNothing) {
    Boot();
    MakeStale();
    const int displays = Displays();
    h.Base().SendRaw({0x24, 0x24, 0x04, 0x05, 0x01, 0x02, 0xF5});
    h.Run(kPollMs);
    EXPECT_EQ(h.Find("device-log", std::string(CThread::kPackageError) + "01").size(), 1u);
    EXPECT_EQ(Link().displayPending, 1);  // no handset update ran
    EXPECT_EQ(Displays(), displays);
    EXPECT_EQ(InfoStatus(), kStale);  // no refresh either
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    h.Run(kPollMs);  // an empty poll does update the handset
    EXPECT_EQ(Link().displayPending, 0);
    EXPECT_EQ(Displays(), displays + 1);
}

TEST_F(DeviceLink, AnOverlongLengthByteIsAPackageErrorAndNoReadPastTheReport) {
    Boot();
    MakeStale();
    std::vector<std::uint8_t> report(pkt::kDataSize, 0x01);
    report[0] = report[1] = pkt::kMarker;
    report[2] = 0xF0;  // describes 243 bytes
    report[3] = pkt::EVT_TUNNEL_DATA;
    h.Base().SendRaw(report);
    h.Run(kPollMs);
    ASSERT_EQ(h.Find("device-log", CThread::kPackageError).size(), 1u);
    EXPECT_TRUE(h.Find("device-log", "Send ").empty());  // not dispatched
    EXPECT_EQ(Link().displayPending, 1);
    // The copy holds the 48 report bytes and nothing beyond them.
    EXPECT_EQ(Link().m_received[pkt::kDataSize - 1], 0x01);
    for (std::size_t i = pkt::kDataSize; i < sizeof Link().m_received; ++i) EXPECT_EQ(Link().m_received[i], 0) << i;
}

TEST_F(DeviceLink, AnAbsentBaseIsNeitherReadNorWritten) {
    h.PlugBase();
    h.Start();
    h.Run(5000);  // 21 polls with the base present clear the misses of the start
    h.UnplugBase();
    h.Run(4000);
    ASSERT_EQ(Dlg().m_nStatus, STATUS_BASE_ABSENT);
    sim::HeadlessHid& hid = h.Platform().hid;
    EXPECT_EQ(hid.OpenHandles(), 0);
    EXPECT_EQ(hid.PendingReads(), 0);
    EXPECT_EQ(Dlg().m_bDevicePresent, 0);
    const std::size_t written = h.Base().Received().size();
    h.Run(10000);
    EXPECT_EQ(h.Base().Received().size(), written);
    EXPECT_EQ(h.Find("status", "6 ").size(), 1u);  // reported once
}

TEST_F(DeviceLink, ASecondEchoMissingFailsTheReportButKeepAliveRuns) {
    h.PlugBase();
    h.Start("QOPA");
    h.Run(3400);  // the first echo was read at 3.3 s
    h.Base().SetEcho(false);
    h.Run(900);
    EXPECT_EQ(h.Find("device-log", TestReport(2, 1)).size(), 1u);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_TEST_FAILED);
    EXPECT_EQ(h.IndexOf("usb>", "00000000"), -1);  // 4.0 s: loopback 2 went out since
    h.Run(100);
    EXPECT_NE(h.IndexOf("usb>", "00000000"), -1);
}

TEST_F(DeviceLink, TheAllResetChainShowsOnlyItsLastMessage) {
    Boot();
    Dlg().m_bSettingChain = 1;
    Dlg().RequestBaseCommand(REQ_LOOPBACK, 0);
    h.Run(1000);
    ExpectChainRanToItsEnd();
    EXPECT_EQ(Dlg().m_bLoopbackPending, 0);
    h.Run(3000);  // every reply stopped its timer
    EXPECT_EQ(h.Find("msgbox").size(), 1u);
}

// The chain's echo may come while the start-up test still runs; the chain goes on anyway,
// so the page gets its buttons back and no later plain loopback deletes the handsets.
TEST_F(DeviceLink, AnAllResetStartedDuringTheStartupTestRunsToItsEnd) {
    h.PlugBase();
    h.Start("QOPA");
    h.Run(3250);  // the start-up test's first loopback went out at 3.2 s
    ASSERT_EQ(Link().m_nTestSent, 1);
    Dlg().m_bSettingChain = 1;
    Dlg().RequestBaseCommand(REQ_LOOPBACK, 0);
    h.Run(2000);
    ExpectChainRanToItsEnd();
    EXPECT_EQ(h.Find("device-log", TestReport(2, 2)).size(), 1u);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    // A plain loopback afterwards is only a loopback.
    Dlg().RequestBaseCommand(REQ_LOOPBACK, 0);
    h.Run(500);
    EXPECT_EQ(h.Find("usb>", DeleteAll()).size(), 1u);
    ASSERT_EQ(h.Find("msgbox").size(), 2u);
    EXPECT_EQ(h.Find("msgbox")[1].text, Link().m_strLoopbackOkText);
}

TEST_F(DeviceLink, EveryBaseRequestSendsItsOwnCommandAndAnyOtherCodeNothing) {
    Boot();
    const std::size_t before = h.Base().Received().size();
    const std::uint8_t seed = Link().m_nLoopbackSeed;
    Dlg().m_bLoopbackPending = 0;
    for (int request = 0; request <= 12; ++request) Link().SendBaseCommand(request, 3);
    const std::vector<std::vector<std::uint8_t>> expected = {
        pkt::Base(pkt::BASE_DELETE_ALL),     pkt::Base(pkt::BASE_DELETE_HANDSET, 3),
        pkt::Base(pkt::BASE_PAGING, 3),      pkt::Loopback(static_cast<std::uint8_t>(seed + 1)),
        pkt::Base(pkt::BASE_OPEN_REGISTRATION), pkt::Base(pkt::BASE_GET_VERSION),
        pkt::Base(pkt::BASE_RESET),
    };
    const std::vector<std::vector<std::uint8_t>> sent(h.Base().Received().begin() + static_cast<std::ptrdiff_t>(before),
                                                      h.Base().Received().end());
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(Link().m_nLastDeleteArg, 3);
    EXPECT_EQ(Link().m_nLoopbackSeed, static_cast<std::uint8_t>(seed + 1));
    EXPECT_EQ(Dlg().m_bLoopbackPending, 1);
    EXPECT_EQ(Link().m_strTrace, pkt::Hex(expected.back().data(), expected.back().size()));
}

// A reply answers a request only when it is the one the request asked for: replies the
// base sends of its own accord, or for another command, show nothing and stop no timer.
TEST_F(DeviceLink, OnlyTheAwaitedReplyAnswersARequest) {
    Boot();
    h.Base().SetReplies(false);
    Dlg().RequestBaseCommand(REQ_DELETE_HANDSET, 3);
    for (const std::vector<std::uint8_t>& body : std::vector<std::vector<std::uint8_t>>{
             {pkt::REPLY_DONE}, {pkt::REPLY_FORWARD, 0x41}, {pkt::BASE_DELETE_ALL}, {pkt::BASE_RESET},
             {pkt::BASE_DELETE_HANDSET, 2}})
        h.Base().SendPacket(pkt::EVT_COMMAND_REPLY, body);
    h.Base().SendPacket(pkt::EVT_TEST_REPLY, {pkt::BASE_RESET});
    h.Run(8 * kPollMs);
    EXPECT_TRUE(h.Find("msgbox").empty());
    EXPECT_EQ(Link().replyPending, 1);
    h.Base().SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_DELETE_HANDSET, 3});
    h.Run(kPollMs);
    ASSERT_EQ(h.Find("msgbox").size(), 1u);
    EXPECT_EQ(h.Find("msgbox")[0].text, Link().m_strDeleteText);
    // A reset reply may also come as a test reply.
    Dlg().RequestBaseCommand(REQ_RESET, 0);
    h.Base().SendPacket(pkt::EVT_TEST_REPLY, {pkt::BASE_RESET});
    h.Run(kPollMs);
    ASSERT_EQ(h.Find("msgbox").size(), 2u);
    EXPECT_EQ(h.Find("msgbox").back().text, Link().m_strFinishedText);
    // Nothing waits now: the same replies again show nothing.
    h.Base().SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_DELETE_HANDSET, 3});
    h.Base().SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_RESET});
    h.Run(3 * kPollMs + 2000);
    EXPECT_EQ(h.Find("msgbox").size(), 2u);
}

TEST_F(DeviceLink, ADeleteReplyWithoutItsHandsetByteIsIgnored) {
    Boot();
    h.Base().SetReplies(false);
    Link().AwaitReply(REQ_DELETE_HANDSET);
    Link().m_nLastDeleteArg = 0;  // what a byte past the frame would read as
    h.Base().SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_DELETE_HANDSET});
    h.Run(2 * kPollMs);
    EXPECT_TRUE(h.Find("msgbox").empty());
    EXPECT_EQ(Link().replyPending, 1);
}

// The creator resets the link, then resumes its thread; Resume returns only once the
// thread's own Reset (in InitInstance) is done, so the two never overlap the polls.
TEST(DeviceThread, ResumeReturnsWithTheThreadsResetDone) {
    sim::HeadlessPlatform machine{res::Lang::English, {10, 7, 0}, {5, 1}};
    machine.Install();
    CThread link;
    EXPECT_FALSE(link.m_strLoopbackOkText.empty());
    EXPECT_EQ(link.m_strLoopbackOkText, machine.resources.LoadString(IDS_LOOPBACK_OK));
    EXPECT_EQ(link.m_strFinishedText, machine.resources.LoadString(IDS_FINISHED));
    EXPECT_EQ(link.m_strDeleteText, machine.resources.LoadString(IDS_DELETE_FINISHED));
    ASSERT_TRUE(link.CreateThreadSuspended());
    link.m_nTestSent = 3;
    link.m_nCallState = CS_ANSWERED;
    link.replyPending = 1;
    link.m_bSentSinceKeepAlive = 1;
    link.ResumeThread();
    EXPECT_EQ(link.m_nTestSent, 0);
    EXPECT_EQ(link.m_nCallState, CS_IDLE);
    EXPECT_EQ(link.replyPending, 0);
    EXPECT_EQ(link.m_bTestReportPending, 1);
    EXPECT_EQ(link.m_bSentSinceKeepAlive, 1);  // only keep-alive steps clear it
}

}  // namespace
