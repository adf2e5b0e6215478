// A second call during a call: swapping, the conference, a third call and the end of one.
#include <string>
#include <vector>

#include "callctl/CallCommands.h"
#include "tests/handset_harness.h"

namespace handset_test {
namespace {

class SecondCall : public CallHarness {
protected:
    // Call 200 answered on the handset, then call 201 rings at the client.
    void TwoCalls() {
        Boot();
        Ring("200");
        Answer();
        h.Run(kEventMs);
        Mark();
        Ring("201");
        ASSERT_EQ(Dlg().m_bSecondCall, 1);
        ASSERT_EQ(Dlg().m_strHeldCallId, "201");
        ASSERT_TRUE(Commands().empty());  // a waiting call is only noted
        Mark();
    }
    std::vector<std::string> SwapOf(const std::string& resumed, const std::string& held) {
        return {callcmd::kUserStatusDnd, callcmd::Resume(resumed), callcmd::Hold(held)};
    }
};

TEST_F(SecondCall, StarSwapsTheCallsAndSendsNoTone) {
    TwoCalls();
    Key('*');
    EXPECT_EQ(Commands(), SwapOf("201", "200"));
    EXPECT_EQ(Dlg().m_strCallId, "201");
    EXPECT_EQ(Dlg().m_strHeldCallId, "200");
    EXPECT_EQ(Dlg().m_bDndForSecondCall, 1);
    EXPECT_TRUE(Packets().empty());  // the display is left as it was

    Mark();
    Key('*');
    EXPECT_EQ(Commands(), SwapOf("200", "201"));
    EXPECT_EQ(Dlg().m_strCallId, "200");
    EXPECT_EQ(Dlg().m_strHeldCallId, "201");

    Mark();
    Key('5');  // other keys do nothing while two calls exist
    EXPECT_TRUE(Commands().empty());
}

TEST_F(SecondCall, HashJoinsBothAndKeepsTheSlots) {
    TwoCalls();
    Key('#');
    EXPECT_EQ(Commands(), (std::vector<std::string>{callcmd::kUserStatusDnd, callcmd::Resume("201"),
                                                    callcmd::Join("201", "200")}));
    EXPECT_EQ(Dlg().m_strCallId, "200");
    EXPECT_EQ(Dlg().m_strHeldCallId, "201");
    EXPECT_EQ(Dlg().m_bDndForSecondCall, 1);
}

TEST_F(SecondCall, ThirdCallDuringASwapIsFinishedAtOnce) {
    TwoCalls();
    Key('*');
    Mark();
    Ring("202");
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Finish("202")});
    EXPECT_EQ(Dlg().m_strCallId, "201");
    EXPECT_EQ(Dlg().m_strHeldCallId, "200");
}

TEST_F(SecondCall, EndOfTheHeldCallLeavesTheOtherCurrent) {
    TwoCalls();
    Key('*');
    Mark();
    Say("CALL 200 STATUS FINISHED");
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::kUserStatusOnline});
    EXPECT_EQ(Dlg().m_strCallId, "201");
    EXPECT_EQ(Dlg().m_bSecondCall, 0);
    EXPECT_EQ(Dlg().m_bDndForSecondCall, 0);
    EXPECT_EQ(State(), CS_ANSWERED);  // the handset stays in the remaining call
    EXPECT_TRUE(Packets().empty());

    Mark();
    Key('5');  // back to tones
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Dtmf("201", '5')});
}

TEST_F(SecondCall, EndOfTheCurrentCallMakesTheHeldOneCurrent) {
    TwoCalls();
    Key('*');  // 201 current, 200 held
    Mark();
    Say("CALL 201 STATUS FINISHED");
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::kUserStatusOnline});
    EXPECT_EQ(Dlg().m_strCallId, "200");
    EXPECT_EQ(Dlg().m_bSecondCall, 0);
    EXPECT_EQ(State(), CS_ANSWERED);
    EXPECT_TRUE(Packets().empty());
}

TEST_F(SecondCall, WaitingCallThatEndsBeforeAnySwapNoLongerSteersTheKeys) {
    TwoCalls();
    Say("CALL 201 STATUS FINISHED");
    EXPECT_EQ(Dlg().m_bSecondCall, 0);
    Mark();
    Key('*');  // a tone now: there is nothing to swap with
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Dtmf("200", '*')});
    EXPECT_EQ(Dlg().m_strCallId, "200");
}

TEST_F(SecondCall, HangingUpEndsTheCurrentCallAndTheHeldOne) {
    TwoCalls();
    Key('*');
    Mark();
    HangUp();
    const std::vector<std::string> sent = Commands();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[sent.size() - 3], callcmd::Finish("201"));
    EXPECT_EQ(sent[sent.size() - 2], callcmd::Finish("200"));
    EXPECT_EQ(sent.back(), callcmd::kHookOn);
    EXPECT_EQ(State(), CS_IDLE);
}

TEST_F(SecondCall, GoingOnHookEndsTheSecondCallModeWithItsDoNotDisturb) {
    TwoCalls();
    Key('*');  // do-not-disturb; 201 current, 200 held
    HangUp();  // online again
    Say("CALL 201 STATUS FINISHED");
    EXPECT_EQ(Dlg().m_bSecondCall, 0);
    EXPECT_EQ(Dlg().m_bDndForSecondCall, 0);
    EXPECT_TRUE(Dlg().m_strHeldCallId.empty());

    Keys("0#");
    h.Run(kEventMs);
    ASSERT_EQ(Dlg().m_strCallId, "100");
    Mark();
    Ring("300");  // waits like any second call instead of being turned away
    EXPECT_TRUE(Commands().empty());
    Key('*');
    EXPECT_EQ(Commands(), SwapOf("300", "100"));
}

// The client matches these texts to the byte, trailing blanks included, so here they are
// spelled out rather than taken from the builders the bridge itself uses.
TEST_F(SecondCall, EveryCallCommandReachesTheClientToTheByte) {
    Boot();
    Ring("200");
    Answer();
    Key('5');
    Ring("201");
    Key('*');
    Key('#');
    HangUp();
    EXPECT_EQ(Commands(), (std::vector<std::string>{
                              "GET CALL 200 PARTNER_HANDLE",
                              "SET CALL 200 STATUS INPROGRESS",
                              "SET CALL 200 DTMF 5",
                              "SET USERSTATUS DND",
                              "SET CALL 201 STATUS INPROGRESS ",
                              "SET CALL 200 STATUS ONHOLD ",
                              "SET USERSTATUS DND",
                              "SET CALL 200 STATUS INPROGRESS ",
                              "SET CALL 200 JOIN_CONFERENCE 201",
                              "SET USERSTATUS ONLINE",
                              "SET CALL 201 STATUS FINISHED",
                              "SET CALL 200 STATUS FINISHED",
                              "HOOK ON",
                          }));
    EXPECT_GE(h.IndexOf("client>", "Get CURRENTUSERHANDLE"), 0);
}

}  // namespace
}  // namespace handset_test
