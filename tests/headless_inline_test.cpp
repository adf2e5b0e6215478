// Inline delivery (Harness::DriveInline) is a faster way to run the same process: the
// fuzzers and the memory day rely on it behaving exactly like the two-thread hand-over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "device/Thread.h"
#include "tools/world/Harness.h"

namespace {

// A call from ringing to its end, with the client's replies and a keep-alive stretch.
std::vector<std::string> PlayCall(bool inlineDelivery) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.DriveInline(inlineDelivery);
    h.Run(5000);
    h.ClientSay("CALL 40 STATUS RINGING");
    h.Run(4500);  // the partner's name, then the alert and one repeat
    h.Base().Answer(1);
    h.Run(300);
    h.Base().Key(1, '5');
    h.Run(2000);
    h.ClientSay("CALL 40 STATUS FINISHED");
    h.Run(1000);
    std::vector<std::string> lines;
    for (const sim::Line& line : h.Transcript()) lines.push_back(line.Format());
    return lines;
}

TEST(HeadlessInline, ACallGivesTheSameTranscriptAsTheHandOver) {
    const std::vector<std::string> handedOver = PlayCall(false);
    const std::vector<std::string> inlined = PlayCall(true);
    ASSERT_GT(handedOver.size(), 20u);
    EXPECT_EQ(inlined, handedOver);
}

TEST(HeadlessInline, TimersFallDueAndTheBridgeStaysUsable) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.DriveInline(true);
    h.Run(5000);
    CBridgeDlg* dlg = h.Bridge();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_nStatus, STATUS_READY);
    // The base stops answering: a delete-all times out after 2 s with its message.
    h.Base().SetReplies(false);
    dlg->RequestBaseCommand(REQ_DELETE_ALL, 0);
    h.Run(2100);
    EXPECT_EQ(h.Find("msgbox").size(), 1u);
    // Back to the hand-over: the process thread takes up where inline delivery left off.
    h.DriveInline(false);
    h.ClientSay("CALL 41 STATUS RINGING");
    h.Run(500);
    EXPECT_EQ(dlg->m_nStatus, STATUS_RINGING);
}

}  // namespace
