// Numbers from the handset: typed, dialled in one string, or entered after '#'.
#include <string>
#include <vector>

#include "device/HandsetCodes.h"
#include "tests/handset_harness.h"

namespace handset_test {
namespace {

std::string DisplayOf(const std::string& text) { return Hex(pkt::Display(kHandset, text)); }

class HandsetNumber : public CallHarness {};

TEST_F(HandsetNumber, TypedNumberIsShownUpToItsSecondDigitAndCalledWithHash) {
    Boot();
    Key('0');  // the first key takes the handset off hook and starts the number
    EXPECT_EQ(State(), CS_NUMBER);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_OFF_HOOK);
    EXPECT_TRUE(Logged(DeviceLog(), handset::kLogOffHook));
    EXPECT_EQ(Packets(), std::vector<std::string>{DisplayOf("0")});
    Key('1');
    EXPECT_EQ(Packets(), (std::vector<std::string>{DisplayOf("0"), DisplayOf("01")}));
    Mark();
    Keys("23+4");
    EXPECT_TRUE(Packets().empty());  // typed blind from the third digit on
    EXPECT_EQ(Dlg().m_strDisplayName, "0123+4");
    EXPECT_TRUE(Commands().empty());

    Key('#');
    EXPECT_EQ(State(), CS_NUMBER_CALL);
    EXPECT_TRUE(Logged(DeviceLog(), handset::kLogCallOut));
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL 0123+4");
    // The client's ROUTING makes the new call current and its partner is asked for.
    EXPECT_EQ(Dlg().m_strCallId, "100");
    EXPECT_EQ(Dlg().m_bInCall, 1);
}

TEST_F(HandsetNumber, KeysOtherThanDigitsDoNotEnterTheNumber) {
    Boot();
    Keys("1*U5");
    EXPECT_EQ(State(), CS_NUMBER);
    EXPECT_EQ(Dlg().m_strDisplayName, "15");
}

TEST_F(HandsetNumber, DialStringKeepsOnlyDialCharacters) {
    Boot();
    DialString("12-34", false);
    EXPECT_EQ(State(), CS_NUMBER_CALL);
    EXPECT_TRUE(Logged(DeviceLog(), handset::kLogCallOut));
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL 1234");
    Mark();
    DialString("#*5a", false);  // a call is being placed: no second dial string
    EXPECT_TRUE(Commands().empty());
    HangUp();
    Mark();
    DialString("#*5a", false);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL #*5");
}

TEST_F(HandsetNumber, RepeatedDialStringIsTakenOncePerIdlePeriod) {
    Boot();
    DialString("555", true);
    EXPECT_EQ(Commands().front(), "CALL 555");
    Mark();
    DialString("555", true);
    EXPECT_TRUE(Commands().empty());
    HangUp();
    Mark();
    DialString("555", true);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL 555");
}

TEST_F(HandsetNumber, DialStringWithACountBeyondThePacketStaysInside) {
    Boot();
    // Count 40 but only three characters in the body, and a last body byte (no dial
    // character) chosen so that the checksum after it reads as the digit '1'.
    std::vector<std::uint8_t> body{0x00, 40, '7', '8', '9', 0x00};
    std::uint8_t sum = static_cast<std::uint8_t>(body.size() + 2 + pkt::EVT_DIAL_STRING);
    for (std::uint8_t b : body) sum = static_cast<std::uint8_t>(sum + b);
    body.back() = static_cast<std::uint8_t>(0x100 - '1' - sum);
    h.Base().SendPacket(pkt::EVT_DIAL_STRING, body);
    h.Run(kEventMs);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL 789");
}

TEST_F(HandsetNumber, HashEntryIsDialledThreeSecondsAfterTheLastKey) {
    Boot();
    Key('#');
    EXPECT_EQ(State(), CS_HASH_ENTRY);
    EXPECT_EQ(Packets(), std::vector<std::string>{DisplayOf("#")});
    Keys("55");
    h.Run(2000);
    Key('5');
    h.Run(2000);  // 2.3 s after the last key: not yet
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Dlg().m_strDisplayName, "#555");
    h.Run(1000);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL 555");
    EXPECT_EQ(State(), CS_CONTACT_CALL);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_CALL_OUT);
}

// Nothing to dial: the handset is not shown calling, and the entry goes on with the next key.
TEST_F(HandsetNumber, HashAloneDialsNothing) {
    Boot();
    Key('#');
    h.Run(kDialPauseMs + kEventMs);
    EXPECT_EQ(State(), CS_HASH_ENTRY);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_OFF_HOOK);
    EXPECT_TRUE(Commands().empty());
    Key('7');
    h.Run(kDialPauseMs + kEventMs);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL 7");
    EXPECT_EQ(Dlg().m_nStatus, STATUS_CALL_OUT);
}

TEST_F(HandsetNumber, HangingUpAbandonsAHashEntry) {
    Boot();
    Keys("#12");
    HangUp();
    EXPECT_EQ(State(), CS_IDLE);
    h.Run(kDialPauseMs * 2);
    for (const std::string& c : Commands()) EXPECT_NE(c.rfind("CALL", 0), 0u) << c;
    // Nor does a new number typed before the old entry's pause ran out get dialled early.
    Keys("#12");
    HangUp();
    Mark();
    Keys("09");
    h.Run(kDialPauseMs * 2);
    EXPECT_EQ(State(), CS_NUMBER);
    for (const std::string& c : Commands()) EXPECT_NE(c.rfind("CALL", 0), 0u) << c;
}

TEST_F(HandsetNumber, CallTakenDuringAHashEntryAbandonsIt) {
    Boot();
    Keys("#12");
    Ring("300");  // off hook: taken at once
    EXPECT_EQ(State(), CS_ANSWERED);
    Mark();
    h.Run(kDialPauseMs * 2);
    for (const std::string& c : Commands()) EXPECT_NE(c.rfind("CALL", 0), 0u) << c;
    EXPECT_EQ(Dlg().m_nStatus, STATUS_IN_CALL);
}

TEST_F(HandsetNumber, LongPartnerNameIsShownAsItsLastSixteen) {
    const std::string name = "abcdefghij0123456789";  // 20 characters
    h.Client().SetPartner(name);
    Boot();
    Keys("#5");
    h.Run(kDialPauseMs + 1000);  // dialled, ROUTING, partner handle
    EXPECT_EQ(State(), CS_CONTACT_CALL);
    EXPECT_EQ(Dlg().m_strDisplayName, name);
    ASSERT_FALSE(Packets().empty());
    EXPECT_EQ(Packets().back(), DisplayOf(name.substr(4)));
}

}  // namespace
}  // namespace handset_test
