// The phone-book checker on its own, fed by the simulated peers with no bridge at all: each
// rule broken on purpose must be named, and what a sound bridge does must pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tools/sim/PhonebookChecker.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace {

class PhonebookCheckerTest : public ::testing::Test {
protected:
    PhonebookCheckerTest() : checker(base, client, [this] { return now; }, found) {
        base.AddObserver(&checker);
        client.AddObserver(&checker);
        client.SetAuto(false);
        client.SetBridgeProbe([this] { return attached; });
        base.PowerOn();
        client.ProcessStarted();
        client.AttachDelivered(0);
    }

    void Advance(std::uint64_t ms) {
        for (std::uint64_t step = 0; step < ms; step += 100) {
            now += 100;
            checker.Check();
        }
    }
    void Command(const std::string& text) { client.OnCommand(text); }
    void Say(const std::string& text) { client.Delivered(text); }
    void Key(std::uint8_t handset, char key) {
        base.Key(handset, key);
        std::vector<std::uint8_t> data;
        ASSERT_TRUE(base.NextInputReport(data));
    }
    void HangUp(std::uint8_t handset) {
        base.HangUp(handset);
        std::vector<std::uint8_t> data;
        ASSERT_TRUE(base.NextInputReport(data));
    }
    void Show(std::uint8_t handset, const std::string& text) { base.OnFeatureReport(pkt::Display(handset, text)); }
    // The client lists these contacts, the bridge asks for each status and hears ONLINE.
    void Online(const std::vector<std::string>& handles) {
        std::string users = "USERS ";
        for (const std::string& h : handles) users += (users.size() > 6 ? ", " : "") + h;
        Say(users);
        for (const std::string& h : handles) {
            Command("GET USER " + h + " ONLINESTATUS");
            Say("USER " + h + " ONLINESTATUS ONLINE");
        }
    }
    std::vector<std::string> Broken() const {
        std::vector<std::string> rules;
        for (const sim::Violation& v : found) rules.push_back(v.rule.substr(0, v.rule.find(" (")));
        return rules;
    }

    bool attached = true;
    std::uint64_t now = 0;
    std::vector<sim::Violation> found;
    sim::SimBase base;
    sim::SimClient client;
    sim::PhonebookChecker checker;
};

using Rules = std::vector<std::string>;

TEST_F(PhonebookCheckerTest, ACallCarriesOnlyTheDialCharactersKeyed) {
    for (char k : std::string("012#")) Key(1, k);
    Command("CALL 012");
    EXPECT_TRUE(found.empty());
    HangUp(1);

    for (char k : std::string("#4U5")) Key(2, k);
    Command("CALL 4U5");  // the navigation key is no part of the number
    EXPECT_EQ(Broken(), Rules{"rule 11"});
}

TEST_F(PhonebookCheckerTest, AContactCallCarriesTheWholeHandleTheHandsetShowed) {
    Online({"abcdefghijklmnopqrst", "bob"});
    Key(1, '2');
    Show(1, "abcdefghijklmnop");
    Key(1, '#');
    Command("CALL abcdefghijklmnopqrst");
    EXPECT_TRUE(found.empty());
    HangUp(1);

    Key(2, '2');
    Show(2, "abcdefghijklmnop");
    Key(2, '#');
    Command("CALL bob");  // not what was shown
    EXPECT_EQ(Broken(), Rules{"rule 11"});
}

TEST_F(PhonebookCheckerTest, TheMenuShowsOnlyContactsListedAndOnline) {
    Say("USERS alice, carol");
    Command("GET USER alice ONLINESTATUS");
    Say("USER alice ONLINESTATUS ONLINE");
    Command("GET USER carol ONLINESTATUS");
    Say("USER carol ONLINESTATUS OFFLINE");
    Key(1, '2');
    Show(1, "alice");
    EXPECT_TRUE(found.empty());
    Key(1, 'D');
    Show(1, "carol");
    EXPECT_EQ(Broken(), Rules{"rule 9"});
}

TEST_F(PhonebookCheckerTest, AContactsReplyIsSweptWhole) {
    Say("USERS alice, bob");
    Command("GET USER alice ONLINESTATUS");
    Say("USER alice ONLINESTATUS ONLINE");
    Advance(2000);  // bob is never asked about
    EXPECT_EQ(Broken(), Rules{"rule 9"});
}

TEST_F(PhonebookCheckerTest, AClientThatWentTakesNoMoreQuestions) {
    Say("USERS alice, bob");
    Command("GET USER alice ONLINESTATUS");
    Say("USER alice ONLINESTATUS ONLINE");
    client.ProcessEnded();  // the question about bob is lost with it
    Advance(2000);
    EXPECT_TRUE(found.empty());
    client.ProcessStarted();
    Advance(2000);  // back, and bob still never asked about
    EXPECT_EQ(Broken(), Rules{"rule 9"});
}

TEST_F(PhonebookCheckerTest, AConnectedHandsetShowsItsTonesNotTheMenu) {
    Key(1, '*');  // lifted by this key, it takes a call that rings before any alert
    checker.OnStatus(5);
    Show(1, "*");
    EXPECT_TRUE(found.empty());
    HangUp(1);

    Key(2, '*');  // in the menu the same text is no contact
    Show(2, "*");
    EXPECT_EQ(Broken(), Rules{"rule 9"});
}

TEST_F(PhonebookCheckerTest, AnotherClientsContactsAreNoPartOfThePhoneBook) {
    Online({"alice"});
    attached = false;  // the bridge lets this client go
    Key(1, '2');
    Show(1, "alice");
    EXPECT_EQ(Broken(), Rules{"rule 9"});
}

TEST_F(PhonebookCheckerTest, EveryEntryIsWhatItsKeyChose) {
    Online({"alice", "bob", "dave"});
    Key(1, '3');
    Show(1, "dave");
    Key(1, 'D');
    Show(1, "alice");  // the step goes on from the entry shown, round the book
    EXPECT_TRUE(found.empty());
    Key(1, '0');
    Show(1, "bob");  // a key the menu does not use moved it
    EXPECT_EQ(Broken(), Rules{"rule 10"});

    found.clear();
    Key(1, 'D');
    Show(1, "dave");  // the step goes on from bob, though a wrong key showed him
    EXPECT_TRUE(found.empty());
    Key(1, 'U');
    Show(1, "alice");  // before dave is bob
    EXPECT_EQ(Broken(), Rules{"rule 10"});
}

TEST_F(PhonebookCheckerTest, NoLetterThatIsNotThere) {
    Key(1, 'D');
    Show(1, "_EMPTY");  // an empty phone book
    EXPECT_TRUE(found.empty());
    Key(1, '2');
    Show(1, "A_EMPTY");
    EXPECT_TRUE(found.empty());
    Key(1, 'D');
    Show(1, "@_EMPTY");
    EXPECT_EQ(Broken(), Rules{"rule 10"});

    found.clear();
    Online({"bob"});
    Key(1, '2');
    Show(1, "A_EMPTY");
    EXPECT_TRUE(found.empty());
    Key(1, '2');
    Show(1, "B_EMPTY");  // bob is there
    EXPECT_EQ(Broken(), Rules{"rule 9"});
}

TEST_F(PhonebookCheckerTest, ANameIsCutAtACharacterBoundary) {
    const std::string name = "abcdefghijklmno\xC3\xA9z";  // the 16th byte is inside "é"
    Online({name});
    Key(1, '2');
    Show(1, name.substr(0, 15));
    EXPECT_TRUE(found.empty());
    Key(1, '2');
    Show(1, name.substr(0, 16));
    EXPECT_EQ(Broken(), Rules{"rule 10"});
}

TEST_F(PhonebookCheckerTest, AContactThatLeftIsSoonNoLongerShown) {
    Online({"alice", "bob"});
    Key(1, '2');
    Show(1, "alice");
    Say("USER alice ONLINESTATUS OFFLINE");
    Advance(1000);
    EXPECT_TRUE(found.empty());
    Advance(1000);
    EXPECT_EQ(Broken(), Rules{"rule 10"});
}

TEST_F(PhonebookCheckerTest, CallingIsShownOnlyForACallThatReachedTheClient) {
    Online({"alice"});
    Key(1, '2');
    Show(1, "alice");
    Key(1, '#');
    checker.OnStatus(4);
    Advance(2000);
    EXPECT_EQ(Broken(), Rules{"rule 11"});
}

}  // namespace
