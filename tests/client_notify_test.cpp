// Notifications from the client: the call statuses as they arrive, driven through a running
// bridge with a base. The words and bytes of a notification are in client_words_test.cpp.
#include <string>
#include <vector>

#include "tests/notify_harness.h"

namespace client_test {
namespace {

TEST_F(Notify, RingingCallBecomesCurrentAndItsPartnerIsAskedFor) {
    Settle();
    h.ClientSay("CALL 123 STATUS RINGING");  // the partner reply follows in the same pump
    EXPECT_EQ(Dlg().m_strCallId, "123");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_RINGING);
    EXPECT_EQ(Dlg().m_nPending & PENDING_RING, PENDING_RING);
    EXPECT_EQ(Dlg().m_nPending & PENDING_CALLER, PENDING_CALLER);
    EXPECT_EQ(Dlg().m_strPeerHandle, "alice");
    EXPECT_EQ(Dlg().m_nLinkState, Ready);
    EXPECT_EQ(Dlg().m_bCallClosed, 0);
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET CALL 123 PARTNER_HANDLE"});
    EXPECT_TRUE(Has(VoipLog(), "GET CALL 123 PARTNER_HANDLE"));
    h.Run(kStepMs);
    EXPECT_TRUE(Has(Packets(), HexOf(pkt::Alert("alice"))));

    Mark();
    Say("CALL 123 STATUS INPROGRESS");  // answered at the PC
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_EQ(Dlg().m_bInCall, 0);  // no handset holds it
    EXPECT_TRUE(Has(Packets(), HexOf(pkt::Release(pkt::kAllHandsets))));
}

TEST_F(Notify, CallTakenAtThePcDoesNotKeepTheBridgeFromRingingAgain) {
    Settle();
    Say("CALL 123 STATUS RINGING");
    Say("CALL 123 STATUS INPROGRESS");
    Say("CALL 123 STATUS FINISHED");
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_EQ(Dlg().m_bInCall, 0);
    Mark();
    Say("CALL 124 STATUS RINGING");
    EXPECT_EQ(Dlg().m_strCallId, "124");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_RINGING);
    EXPECT_TRUE(Has(Commands(), "GET CALL 124 PARTNER_HANDLE"));
}

TEST_F(Notify, CallFinishedWhileRingingStopsEveryHandsetAndTheAlert) {
    Settle();
    Say("CALL 9 STATUS RINGING");
    h.Run(1000);
    ASSERT_TRUE(Has(Packets(), HexOf(pkt::Alert("alice"))));
    Mark();
    Say("CALL 9 STATUS FINISHED");
    EXPECT_EQ(Packets(), std::vector<std::string>{HexOf(pkt::Release(pkt::kAllHandsets))});
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    Mark();
    h.Run(3 * kCallerIdMs);
    EXPECT_FALSE(Has(Packets(), HexOf(pkt::Alert("alice"))));
}

TEST_F(Notify, CallerTextIsCutToTwentyBytes) {
    Settle();
    h.Client().SetPartner("a_partner_with_a_very_long_handle");
    Say("CALL 8 STATUS RINGING");
    char buffer[64];
    Dlg().CopyCallPartner(buffer);
    EXPECT_EQ(std::string(buffer), "a_partner_with_a_ver");
    Dlg().m_strPeerHandle.clear();
    Dlg().CopyCallPartner(buffer);
    EXPECT_EQ(std::string(buffer), "");
}

TEST_F(Notify, RoutingWhileOffHookIsAnsweredAtOnce) {
    Settle();
    Key('0');
    ASSERT_EQ(Dlg().m_nStatus, STATUS_OFF_HOOK);
    Mark();
    Say("CALL 77 STATUS ROUTING");
    EXPECT_EQ(Dlg().m_strCallId, "77");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_IN_CALL);
    EXPECT_EQ(Commands().front(), "SET CALL 77 STATUS INPROGRESS");
}

TEST_F(Notify, RoutingWhileIdleOnlyTakesTheId) {
    Settle();
    Say("CALL 31 STATUS ROUTING");
    EXPECT_EQ(Dlg().m_strCallId, "31");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_TRUE(Commands().empty());
    // A call of the computer's own does not keep the handsets from ringing for the next one.
    Say("CALL 32 STATUS RINGING");
    EXPECT_EQ(Dlg().m_strCallId, "32");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_RINGING);
    EXPECT_EQ(Commands(), std::vector<std::string>{"GET CALL 32 PARTNER_HANDLE"});
}

TEST_F(Notify, SecondCallIsHeldAndAThirdIsRejectedAfterASwap) {
    Settle();
    InCall("5");
    Say("CALL 6 STATUS RINGING");
    EXPECT_EQ(Dlg().m_bSecondCall, 1);
    EXPECT_EQ(Dlg().m_strHeldCallId, "6");
    EXPECT_TRUE(Commands().empty());

    Key('*');  // swap
    ASSERT_EQ(Dlg().m_bDndForSecondCall, 1);
    Mark();
    Say("CALL 7 STATUS RINGING");
    EXPECT_EQ(Commands(), std::vector<std::string>{"SET CALL 7 STATUS FINISHED"});
    Mark();
    Say("CALL 8 STATUS ROUTING");
    EXPECT_TRUE(Commands().empty());

    // FINISHED for an id that is neither current nor held changes nothing at all.
    const std::string current = Dlg().m_strCallId, held = Dlg().m_strHeldCallId;
    Say("CALL 9 STATUS FINISHED");
    EXPECT_EQ(Dlg().m_strCallId, current);
    EXPECT_EQ(Dlg().m_strHeldCallId, held);
    EXPECT_EQ(Dlg().m_bSecondCall, 1);
    EXPECT_EQ(Dlg().m_bDndForSecondCall, 1);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(Packets().empty());
}

TEST_F(Notify, FinishedTwiceReleasesTheHandsetOnce) {
    Settle();
    InCall("5");
    Say("CALL 5 STATUS FINISHED");
    Say("CALL 5 STATUS FINISHED");
    EXPECT_EQ(Count(Packets(), HexOf(pkt::Release(kHandset))), 1);
    EXPECT_EQ(Dlg().m_bCallClosed, 1);
    EXPECT_EQ(Dlg().m_bInCall, 0);
}

TEST_F(Notify, MissedCallIsEndedLocallyWithoutAHangUp) {
    Settle();
    Say("CALL 40 STATUS RINGING");
    Mark();
    Say("CALL 40 STATUS MISSED");
    EXPECT_TRUE(Has(Packets(), HexOf(pkt::Release(pkt::kAllHandsets))));
    EXPECT_TRUE(Has(DeviceLog(), client::kLogOnHook));
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_TRUE(Dlg().m_strDisplayName.empty());
    EXPECT_EQ(Commands(), std::vector<std::string>{"SET USERSTATUS ONLINE"});
    Mark();
    Say("CALL 40 STATUS FAILED");  // closed already
    EXPECT_TRUE(Packets().empty());
}

TEST_F(Notify, FailedOutgoingCallIsEndedWithoutAHangUpThoughItWasPlaced) {
    Settle();
    for (char key : std::string("0123#")) Key(key);
    ASSERT_EQ(Dlg().m_strCallId, "100");
    ASSERT_EQ(Dlg().m_bInCall, 1);
    Mark();
    Say("CALL 100 STATUS FAILED");
    EXPECT_EQ(Commands(), std::vector<std::string>{"SET USERSTATUS ONLINE"});
    EXPECT_TRUE(Has(DeviceLog(), client::kLogOnHook));
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
}

TEST_F(Notify, RefusedStopsTheRingingAndClearsTheWaitingCall) {
    Settle();
    Say("CALL 41 STATUS RINGING");
    Mark();
    Say("CALL 41 STATUS REFUSED");
    EXPECT_TRUE(Has(Packets(), HexOf(pkt::Release(pkt::kAllHandsets))));
    EXPECT_EQ(Dlg().m_bCallClosed, 1);
    // No handset held it, so it is forgotten and the next caller rings.
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    Say("CALL 42 STATUS RINGING");
    EXPECT_EQ(Dlg().m_strCallId, "42");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_RINGING);
    Say("CALL 42 STATUS REFUSED");
    Mark();

    // During a call, only the refusal of the waiting call ends the second-call mode.
    InCall("50");
    Say("CALL 51 STATUS RINGING");
    ASSERT_EQ(Dlg().m_bSecondCall, 1);
    Say("CALL 99 STATUS REFUSED");
    EXPECT_EQ(Dlg().m_bSecondCall, 1);
    Say("CALL 51 STATUS REFUSED");
    EXPECT_EQ(Dlg().m_bSecondCall, 0);
    EXPECT_EQ(Dlg().m_strCallId, "50");
    EXPECT_TRUE(Packets().empty());
}

TEST_F(Notify, WaitingCallThatEndsBeforeItIsTakenIsForgotten) {
    Settle();
    for (const char* end : {"MISSED", "FINISHED"}) {
        InCall("5");
        Say("CALL 6 STATUS RINGING");
        ASSERT_EQ(Dlg().m_bSecondCall, 1);
        Say(std::string("CALL 6 STATUS ") + end);
        EXPECT_EQ(Dlg().m_bSecondCall, 0) << end;
        EXPECT_TRUE(Dlg().m_strHeldCallId.empty()) << end;
        EXPECT_EQ(Dlg().m_strCallId, "5") << end;
        EXPECT_EQ(Dlg().m_nStatus, STATUS_IN_CALL) << end;
        EXPECT_TRUE(Packets().empty()) << end;
        Key('*');  // no longer a swap key: nothing is resumed or held
        for (const std::string& c : Commands()) EXPECT_EQ(c.find("STATUS ONHOLD"), std::string::npos) << c;
        h.Base().HangUp(kHandset);
        h.Run(kStepMs);
        ASSERT_EQ(Dlg().m_nStatus, STATUS_READY);
    }
}

TEST_F(Notify, MalformedCallLinesChangeNothing) {
    Settle();
    for (const char* line : {"CALL  123 STATUS RINGING", "CALL 123 status RINGING", "CALL 123 STATUS ringing",
                             "call 123 STATUS RINGING", "CALL", "CALL ", "CALL 123", "CALL 123 STATUS",
                             "CALL  STATUS RINGING", "CALL  STATUS FINISHED", "Call 1 STATUS RINGING"}) {
        Say(line);
        EXPECT_TRUE(Dlg().m_strCallId.empty()) << line;
    }
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(Packets().empty());
    EXPECT_EQ(Dlg().m_nStatus, STATUS_READY);
}

TEST_F(Notify, CallWithoutAnIdNeverWaitsBesideTheCurrentOne) {
    Settle();
    InCall("5");
    Say("CALL  STATUS RINGING");
    Say("CALL  STATUS ROUTING");
    EXPECT_EQ(Dlg().m_bSecondCall, 0);
    EXPECT_EQ(Dlg().m_strCallId, "5");
    Key('*');  // no second call: the key does not swap, call 5 is not put on hold
    for (const std::string& c : Commands()) EXPECT_EQ(c.find("ONHOLD"), std::string::npos) << c;
    EXPECT_EQ(Dlg().m_strCallId, "5");
}

}  // namespace
}  // namespace client_test
