// Incoming calls end to end: ringing, answered on the handset or at the computer, refused,
// missed or failed, and how they end.
#include <string>
#include <vector>

#include "callctl/CallCommands.h"
#include "client/ClientTexts.h"
#include "tests/handset_harness.h"

namespace handset_test {
namespace {

class Incoming : public CallHarness {
protected:
    // Index of the first command equal to text at or after from; -1 when none.
    int Find(const std::vector<std::string>& commands, const std::string& text, int from = 0) {
        for (std::size_t i = static_cast<std::size_t>(from); i < commands.size(); ++i)
            if (commands[i] == text) return static_cast<int>(i);
        return -1;
    }
    // A packet to the base (hex) whose code is the ringing alert, whatever its length.
    static bool IsAlert(const std::string& packet) {
        return packet.size() >= 8 && packet.compare(6, 2, Hex({pkt::CMD_ALERT})) == 0;
    }
    int Count(const std::vector<std::string>& lines, const std::string& text) {
        int n = 0;
        for (const std::string& l : lines) n += l == text;
        return n;
    }
};

TEST_F(Incoming, RingsWithTheCallerAndIsAnsweredOnTheHandset) {
    Boot();
    Ring("200");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_RINGING);
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET CALL 200 PARTNER_HANDLE"});
    const std::string alert = Hex(pkt::Alert("alice"));
    EXPECT_EQ(Packets(), std::vector<std::string>{alert});
    EXPECT_TRUE(IsAlert(alert));
    EXPECT_EQ(Dlg().m_strDisplayName, "alice");
    h.Run(kCallerIdMs * 2);
    EXPECT_EQ(Count(Packets(), alert), 3);  // repeated every 4 s while it rings

    Mark();
    Answer();
    EXPECT_EQ(State(), CS_ANSWERED);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_IN_CALL);
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Answer("200")});
    h.Run(kCallerIdMs * 2);
    EXPECT_EQ(Count(Packets(), alert), 0);
    EXPECT_EQ(Dlg().m_bInCall, 1);  // the client's INPROGRESS came back

    Mark();
    HangUp();
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::HangUpAck(kHandset))});
    const std::vector<std::string> sent = Commands();
    const int finished = Find(sent, callcmd::Finish("200"));
    ASSERT_GE(finished, 0);
    ASSERT_LT(static_cast<std::size_t>(finished + 1), sent.size());
    EXPECT_EQ(sent[static_cast<std::size_t>(finished) + 1], callcmd::kHookOn);
    EXPECT_GE(Find(sent, callcmd::kUserStatusOnline), 0);
    EXPECT_EQ(State(), CS_IDLE);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_TRUE(Logged(DeviceLog(), client::kLogOnHook));
}

TEST_F(Incoming, LongCallerIsAlertedWithItsFirstTwentyCharacters) {
    const std::string caller = "abcdefghij0123456789xyzuvw";
    h.Client().SetPartner(caller);
    Boot();
    Ring("200");
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Alert(caller.substr(0, 20)))});
    EXPECT_EQ(Packets().front().size(), 2u * (20 + 10));
    EXPECT_EQ(Dlg().m_strDisplayName, caller.substr(0, 20));
}

TEST_F(Incoming, AnyKeyOnTheRingingHandsetAnswersAndIsSentAsATone) {
    Boot();
    Ring("200");
    Mark();
    Key('5');
    EXPECT_EQ(State(), CS_ANSWERED);
    EXPECT_EQ(Commands(), (std::vector<std::string>{callcmd::Answer("200"), callcmd::Dtmf("200", '5')}));
}

TEST_F(Incoming, TalkKeyOnTheRingingHandsetAnswers) {
    Boot();
    Ring("200");
    Mark();
    Talk(2);
    EXPECT_EQ(State(), CS_ANSWERED);
    EXPECT_EQ(Link().m_nHandset, 2);
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Answer("200")});
}

TEST_F(Incoming, AnswerWithoutACallTellsTheClientNothing) {
    Boot();
    Answer();  // nothing rings: the handset was only lifted
    EXPECT_EQ(State(), CS_OFF_HOOK);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_OFF_HOOK);
    EXPECT_TRUE(Commands().empty());
    Mark();
    HangUp();  // nothing was placed or taken, so nothing is finished
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::kUserStatusOnline});
}

TEST_F(Incoming, CallWhileOffHookIsTakenAtOnce) {
    Boot();
    Key('0');
    Mark();
    Ring("300");
    EXPECT_EQ(State(), CS_ANSWERED);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_IN_CALL);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), callcmd::Answer("300"));
    for (const std::string& p : Packets()) EXPECT_FALSE(IsAlert(p)) << p;
}

TEST_F(Incoming, AnsweredAtTheComputerStopsTheRinging) {
    Boot();
    Ring("200");
    Mark();
    Say("CALL 200 STATUS INPROGRESS");
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Release(pkt::kAllHandsets))});
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_EQ(Dlg().m_bInCall, 0);  // no handset holds it: going on hook must not end it
    EXPECT_EQ(Dlg().m_strCallId, "200");
    h.Run(kCallerIdMs * 2);
    EXPECT_EQ(Packets().size(), 1u);  // no more alerts

    // Its end at the computer releases no handset (one may be dialling) and sends nothing back.
    Mark();
    Say("CALL 200 STATUS FINISHED");
    EXPECT_TRUE(Packets().empty());
    EXPECT_EQ(Find(Commands(), callcmd::Finish("200")), -1);
    EXPECT_TRUE(Dlg().m_strCallId.empty());
}

TEST_F(Incoming, RefusedCallStopsTheRinging) {
    Boot();
    Ring("200");
    Mark();
    Say("CALL 200 STATUS REFUSED");
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Release(pkt::kAllHandsets))});
    EXPECT_EQ(State(), CS_IDLE);
    h.Run(kCallerIdMs * 2);
    EXPECT_EQ(Packets().size(), 1u);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Incoming, MissedAndFailedCallsEndOnTheBridgeOnly) {
    Boot();
    for (const std::string end : {"MISSED", "FAILED"}) {
        Ring("200");
        Mark();
        Say("CALL 200 STATUS " + end);
        EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Release(pkt::kAllHandsets))}) << end;
        EXPECT_EQ(Dlg().m_nStatus, STATUS_READY) << end;
        EXPECT_TRUE(Dlg().m_strCallId.empty()) << end;
        EXPECT_TRUE(Logged(DeviceLog(), client::kLogOnHook)) << end;
        EXPECT_EQ(Find(Commands(), callcmd::Finish("200")), -1) << end;
        h.Run(kCallerIdMs * 2);
        EXPECT_EQ(Packets().size(), 1u) << end;
    }
}

TEST_F(Incoming, FarEndHangingUpReleasesTheHandsetAndSendsNothingBack) {
    Boot();
    Ring("200");
    Answer(3);
    h.Run(kEventMs);
    Mark();
    Say("CALL 200 STATUS FINISHED");
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::Release(3))});
    EXPECT_EQ(State(), CS_IDLE);
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::kUserStatusOnline});

    // The handset's own hang-up afterwards is only acknowledged.
    Mark();
    HangUp(3);
    EXPECT_EQ(Packets(), std::vector<std::string>{Hex(pkt::HangUpAck(3))});
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Incoming, LineReleasedEndsTheCallLikeAHangUp) {
    Boot();
    Ring("200");
    Answer();
    h.Run(kEventMs);
    Mark();
    h.Base().LineReleased();
    h.Run(kEventMs);
    EXPECT_EQ(State(), CS_IDLE);
    EXPECT_TRUE(Packets().empty());
    const std::vector<std::string> sent = Commands();
    const int finished = Find(sent, callcmd::Finish("200"));
    ASSERT_GE(finished, 0);
    EXPECT_EQ(Find(sent, callcmd::kHookOn, finished), finished + 1);
}

}  // namespace
}  // namespace handset_test
