// Notifications from the client: the first word, the token reader and the copy-data bytes
// as they arrive, chat messages and placed calls, driven through a running bridge with a base.
#include <string>
#include <vector>

#include "tests/notify_harness.h"

namespace client_test {
namespace {

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
