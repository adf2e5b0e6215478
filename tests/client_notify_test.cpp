// Notifications from the client: the first word, the token reader, the call statuses and
// the copy-data bytes as they arrive, driven through a running bridge with a base.
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tests/client_harness.h"

namespace client_test {
namespace {

constexpr std::uint8_t kHandset = 1;
constexpr std::uint64_t kSettleMs = 8000;  // the base passed its link test

std::string HexOf(const std::vector<std::uint8_t>& bytes) { return pkt::Hex(bytes.data(), bytes.size()); }

class Notify : public ClientHarness {
protected:
    void Settle() {
        Boot();
        h.Run(kSettleMs);
        ASSERT_EQ(Dlg().m_nStatus, STATUS_READY);
        Mark();
    }
    std::vector<std::string> Packets() const {
        std::vector<std::string> out;
        for (const std::string& t : Since("usb>"))
            if (t.rfind("2424", 0) == 0) out.push_back(t);
        return out;
    }
    int Count(const std::vector<std::string>& lines, const std::string& text) const {
        int n = 0;
        for (const std::string& l : lines) n += l == text;
        return n;
    }
    void Key(char key) {
        h.Base().Key(kHandset, key);
        h.Run(kStepMs);
    }
    void Answer() {
        h.Base().Answer(kHandset);
        h.Run(kStepMs);
    }
    // Call id rings and is answered on the handset.
    void InCall(const std::string& id) {
        Say("CALL " + id + " STATUS RINGING");
        Answer();
        ASSERT_EQ(Dlg().m_nStatus, STATUS_IN_CALL);
        ASSERT_EQ(Dlg().m_strCallId, id);
        Mark();
    }
};

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

TEST_F(Notify, EverySeparatorSplitsWordsAndHighBytesBelongToThem) {
    Settle();
    Say("CALL\t12\xE9\vSTATUS\fRINGING\r\n");
    EXPECT_EQ(Dlg().m_strCallId, "12\xE9");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_RINGING);
}

TEST_F(Notify, UserHandleKeepsInnerBlanksAndAudioInChangesNothing) {
    Settle();
    Say("CURRENTUSERHANDLE john  smith");
    EXPECT_EQ(Dlg().m_strUserHandle, "john  smith");
    Say("AUDIO_IN VA6 USB Audio");
    Say("NONSENSE words here");
    EXPECT_EQ(Dlg().m_strUserHandle, "john  smith");
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Notify, PlacingCallsNeedsATargetOrASelection) {
    Settle();
    Dlg().PlaceCallToSelected();
    EXPECT_TRUE(Has(VoipLog(), client::kLogNoSelection));
    Dlg().PlaceCall("");
    h.Run(kStepMs);
    EXPECT_TRUE(Commands().empty());
    Dlg().PlaceCall("0123");
    h.Run(kStepMs);
    EXPECT_EQ(Commands().front(), "CALL 0123");
    EXPECT_EQ(Dlg().m_strCallId, "100");  // the client's ROUTING made its id current
    EXPECT_EQ(Dlg().m_bInCall, 1);
}

TEST_F(Notify, FetchedChatMessageIsKeptAndNotShownOnTheHandset) {
    Settle();
    h.Client().SetAuto(false);
    Say("MESSAGE 88 STATUS READ");
    Say("MESSAGE 88 PARTNER_HANDLE bob");
    Say("MESSAGE 88 BODY see you");
    h.Run(kCallerIdMs);
    EXPECT_EQ(Dlg().m_strMessagePartner, "bob");
    EXPECT_EQ(Dlg().m_strMessageBody, "see you");
    EXPECT_TRUE(Packets().empty());
}

// ---- long words ----

TEST_F(Notify, TokenReaderStopsAtNinetyNineBytesWithoutAssigning) {
    Settle();
    CBridgeDlg& d = Dlg();
    std::string out = "old";
    const std::string w98(98, 'a'), w99(99, 'b');
    EXPECT_EQ(d.ReadToken((" " + w98 + " x").c_str(), out, 0), 99);
    EXPECT_EQ(out, w98);
    out = "old";
    EXPECT_EQ(d.ReadToken((" " + w99 + " x").c_str(), out, 0), client::kTokenStop);
    EXPECT_EQ(out, "old");
    EXPECT_EQ(d.ReadToken("  x", out, 0), 1);  // doubled blank: empty token
    EXPECT_EQ(out, "");
    EXPECT_EQ(d.ReadToken(" a b c", out, 1), 6);
    EXPECT_EQ(out, "a b c");
    out = "old";
    EXPECT_EQ(d.ReadToken("", out, 0), 0);  // at the end: empty, nothing past the text read
    EXPECT_EQ(out, "");
    EXPECT_EQ(d.ReadToken("x", out, 1), 1);  // one byte is always skipped
    EXPECT_EQ(out, "");
}

TEST_F(Notify, NinetyEightByteIdRingsButLongerOnesAreDropped) {
    Settle();
    const std::string id98(98, '7');
    Say("CALL " + std::string(99, '8') + " STATUS RINGING");
    Say("CALL " + std::string(120, '9') + " STATUS RINGING");
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_TRUE(Commands().empty());
    Say("CALL " + id98 + " STATUS RINGING");
    EXPECT_EQ(Dlg().m_strCallId, id98);
    EXPECT_EQ(Commands().front(), "GET CALL " + id98 + " PARTNER_HANDLE");
}

TEST_F(Notify, LongFirstWordsAndLongValuesAreIgnored) {
    Settle();
    Say("CURRENTUSERHANDLE " + std::string(98, 'u'));
    EXPECT_EQ(Dlg().m_strUserHandle, std::string(98, 'u'));
    Say("CURRENTUSERHANDLE " + std::string(99, 'v'));
    Say("CURRENTUSERHANDLE " + std::string(120, 'w'));
    EXPECT_EQ(Dlg().m_strUserHandle, std::string(98, 'u'));
    Say(std::string(99, 'C') + " 1 STATUS RINGING");
    Say(std::string(120, 'C') + " 1 STATUS RINGING");
    Say("CALL" + std::string(116, 'L') + " 1 STATUS RINGING");
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_TRUE(Commands().empty());
}

// ---- copy-data bytes ----

TEST_F(Notify, BytesWithoutNulAreReadOnlyUpToTheirSize) {
    Settle();
    const std::string text = "CURRENTUSERHANDLE bob";
    Raw(std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(Dlg().m_strUserHandle, "bob");
    EXPECT_EQ(VoipLog(), std::vector<std::string>{"Skype(0): CURRENTUSERHANDLE bob"});

    Mark();
    const char withNul[] = "CURRENTUSERHANDLE al\0ice";
    Raw(std::vector<std::uint8_t>(withNul, withNul + sizeof withNul - 1));
    EXPECT_EQ(Dlg().m_strUserHandle, "al");
    EXPECT_EQ(VoipLog(), std::vector<std::string>{"Skype(0): CURRENTUSERHANDLE al"});
}

TEST_F(Notify, EmptyMessageIsLoggedAndOnlyKeepsTheClientAlive) {
    Settle();
    h.Client().SetAuto(false);
    h.Run(kSilenceMs - 1000);  // no notification since the mark's settle
    Mark();
    Raw({});
    EXPECT_EQ(VoipLog(), std::vector<std::string>{"Skype(0): "});
    h.Run(kSilenceMs - 500);
    EXPECT_FALSE(Has(Commands(), client::kGetConnStatus));  // the watchdog was restarted
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
    h.Run(1000);
    EXPECT_TRUE(Has(Commands(), client::kGetConnStatus));
}

}  // namespace
}  // namespace client_test
