// The handset's letter menu: multi-tap, stepping, the entry shown and calling it.
#include <string>
#include <vector>

#include "device/HandsetCodes.h"
#include "tests/handset_harness.h"

namespace handset_test {
namespace {

// The display packet for handset 1 showing this text (cut or padded to 16).
std::string DisplayOf(const std::string& text) { return Hex(pkt::Display(kHandset, text)); }

// The display of a letter no contact starts with.
std::string EmptyLetter(char letter) { return DisplayOf(std::string(1, letter) + handset::kEmptyEntry); }

class HandsetMenu : public CallHarness {};

TEST_F(HandsetMenu, EmptyLetterEntryIsShownAsTheLetterAndEmpty) {
    Boot();
    Talk();
    EXPECT_EQ(State(), CS_OFF_HOOK);
    Mark();
    Menu();
    EXPECT_EQ(State(), CS_MENU);
    EXPECT_EQ(Packets(), std::vector<std::string>{
        "242414" "0A0110" "415F454D505459202020202020202020" "82"});
}

TEST_F(HandsetMenu, RepeatedKeysCycleThroughTheirLetters) {
    Boot();
    Talk();
    Mark();
    std::vector<int> items;
    for (int i = 0; i < 4; ++i) {
        Key('2');
        items.push_back(Link().m_nMenuItem);
    }
    EXPECT_EQ(State(), CS_BROWSE);
    EXPECT_EQ(items, (std::vector<int>{3, 4, 5, 3}));
    EXPECT_EQ(Packets(), (std::vector<std::string>{EmptyLetter('A'), EmptyLetter('B'), EmptyLetter('C'),
                                                   EmptyLetter('A')}));

    items.clear();
    for (int i = 0; i < 5; ++i) {
        Key('7');
        items.push_back(Link().m_nMenuItem);
    }
    EXPECT_EQ(items, (std::vector<int>{18, 19, 20, 21, 18}));

    items.clear();
    for (int i = 0; i < 5; ++i) {
        Key('9');
        items.push_back(Link().m_nMenuItem);
    }
    EXPECT_EQ(items, (std::vector<int>{25, 26, 27, 28, 25}));
}

TEST_F(HandsetMenu, StepKeysRestartTheCycle) {
    Boot();
    Talk();
    std::vector<int> items;
    for (char k : std::string("2*2")) {
        Key(k);
        items.push_back(Link().m_nMenuItem);
    }
    EXPECT_EQ(items, (std::vector<int>{3, 2, 3}));
    items.clear();
    for (char k : std::string("3U3D3")) {
        Key(k);
        items.push_back(Link().m_nMenuItem);
    }
    EXPECT_EQ(items, (std::vector<int>{6, 1, 6, 2, 6}));
}

TEST_F(HandsetMenu, TapPositionSurvivesTheEndOfACall) {
    Boot();
    Talk();
    Key('5');
    EXPECT_EQ(Link().m_nMenuItem, 12);
    HangUp();
    EXPECT_EQ(State(), CS_IDLE);
    Talk();
    Key('5');  // the cycle of '5' goes on where it was
    EXPECT_EQ(Link().m_nMenuItem, 13);
}

TEST_F(HandsetMenu, HashCallsOnlyFromBrowsing) {
    h.Client().SetContacts({{"alice"}, {"bob"}});
    Boot();
    Talk();
    Menu();
    Mark();
    Key('#');  // the menu opened by the function key does not call
    EXPECT_EQ(State(), CS_MENU);
    EXPECT_TRUE(Commands().empty());

    HangUp();
    Key('2');  // a letter key as the first key browses
    Key('2');
    EXPECT_EQ(State(), CS_BROWSE);
    EXPECT_EQ(Packets().back(), DisplayOf("bob"));
    Mark();
    Key('#');
    EXPECT_EQ(State(), CS_CONTACT_CALL);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_CALL_OUT);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL bob");
    for (const std::string& p : Packets()) EXPECT_NE(p.rfind("2424140A", 0), 0u) << p;  // dialling shows nothing new
}

TEST_F(HandsetMenu, LongHandleIsShownAsItsFirstSixteen) {
    const std::string handle = "abcdefghij0123456789xyz";
    h.Client().SetContacts({{handle}});
    Boot();
    Key('2');
    EXPECT_EQ(Packets().back(), DisplayOf(handle.substr(0, 16)));
    Mark();
    Key('#');  // the call goes to the whole handle, not to what the display could hold
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL " + handle);
}

TEST_F(HandsetMenu, CallingAnEmptyEntryDoesNothing) {
    h.Client().SetContacts({{"alice"}});
    Boot();
    Key('3');  // 'D': nobody
    EXPECT_EQ(State(), CS_BROWSE);
    Mark();
    Key('#');
    // Nothing was called: the menu stays, and the handset is not shown calling.
    EXPECT_EQ(State(), CS_BROWSE);
    EXPECT_EQ(Dlg().m_nStatus, STATUS_OFF_HOOK);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(Logged(VoipLog(), "no active!"));
    Key('2');
    Key('#');
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "CALL alice");
}

}  // namespace
}  // namespace handset_test
