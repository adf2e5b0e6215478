// The call checker on its own, fed by the simulated peers with no bridge at all: each rule
// is broken on purpose and must be named, and what a sound bridge does must pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tools/sim/CallChecker.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace {

class CallCheckerTest : public ::testing::Test {
protected:
    CallCheckerTest() : checker(base, client, [this] { return now; }, found) {
        base.PowerOff();  // unplugged before anybody watched
        base.AddObserver(&checker);
        client.AddObserver(&checker);
        client.SetAuto(false);
        client.SetBridgeProbe([] { return true; });  // the bridge listens to this client
        base.PowerOn();
        client.ProcessStarted();
        client.AttachDelivered(0);
        Bridge({0, 0, 0, 0});  // the bridge has found the base: a keep-alive
    }

    void Advance(std::uint64_t ms) {
        for (std::uint64_t step = 0; step < ms; step += 100) {
            now += 100;
            checker.Check();
        }
    }
    // The bridge wrote this report to the base.
    void Bridge(const std::vector<std::uint8_t>& report) { base.OnFeatureReport(report); }
    // The bridge sent the client this command.
    void Command(const std::string& text) { client.OnCommand(text); }
    // The client told the bridge this.
    void Say(const std::string& text) { client.Delivered(text); }
    // A handset event, read by the bridge.
    void Read() {
        std::vector<std::uint8_t> data;
        ASSERT_TRUE(base.NextInputReport(data));
    }
    void Key(std::uint8_t handset, char key) {
        base.Key(handset, key);
        Read();
    }
    void Answer(std::uint8_t handset) {
        base.Answer(handset);
        Read();
    }
    void HangUp(std::uint8_t handset) {
        base.HangUp(handset);
        Read();
    }
    // The rules found broken so far, as "rule N" words.
    std::vector<std::string> Broken() const {
        std::vector<std::string> rules;
        for (const sim::Violation& v : found) rules.push_back(v.rule.substr(0, v.rule.find(" (")));
        return rules;
    }
    // Call 7 rings, is alerted and answered on handset 1.
    void TalkOnHandsetOne() {
        Say("CALL 7 STATUS RINGING");
        Bridge(pkt::Alert("alice"));
        Answer(1);
        Command("SET CALL 7 STATUS INPROGRESS");
    }

    std::uint64_t now = 0;
    std::vector<sim::Violation> found;
    sim::SimBase base;
    sim::SimClient client;
    sim::CallChecker checker;
};

using Rules = std::vector<std::string>;

TEST_F(CallCheckerTest, ARingingCallMustBeAlertedWithinOneAndAHalfSecondsAndEveryFourSeconds) {
    Say("CALL 7 STATUS RINGING");
    Advance(1500);
    EXPECT_TRUE(found.empty());
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 2"});
    EXPECT_EQ(found[0].call, "7");

    found.clear();
    Say("CALL 7 STATUS MISSED");
    Say("CALL 8 STATUS RINGING");
    Bridge(pkt::Alert(""));  // an empty caller text counts
    Advance(4700);
    EXPECT_TRUE(found.empty());
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 2"});
}

TEST_F(CallCheckerTest, AnAnswerThatTakesNoCallUpIsALostCall) {
    Say("CALL 7 STATUS RINGING");
    Bridge(pkt::Alert("alice"));
    Answer(2);
    Advance(1100);
    EXPECT_EQ(Broken(), Rules{"rule 2"});
}

TEST_F(CallCheckerTest, NoAnswerIsOwedWhileAnotherHandsetIsOnTheLine) {
    Key(1, '0');  // handset 1 dials
    Say("CALL 7 STATUS RINGING");
    Bridge(pkt::Alert("alice"));
    Answer(2);
    Advance(1100);
    EXPECT_TRUE(found.empty());
}

TEST_F(CallCheckerTest, ACallAHandsetLetGoMustEndAtTheClientUnlessTakenAtTheComputer) {
    TalkOnHandsetOne();
    HangUp(1);
    Advance(1500);
    EXPECT_TRUE(found.empty());
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 1"});

    found.clear();
    Say("CALL 9 STATUS RINGING");
    Say("CALL 9 STATUS INPROGRESS");  // taken at the computer: no handset needs to hold it
    Advance(10000);
    EXPECT_TRUE(found.empty());
}

TEST_F(CallCheckerTest, AHandsetsHangUpFollowedByTheFinishIsSound) {
    TalkOnHandsetOne();
    HangUp(1);
    Command("SET CALL 7 STATUS FINISHED");
    Advance(10000);
    EXPECT_TRUE(found.empty());
}

TEST_F(CallCheckerTest, TheBaseLostGivesTheBridgeTimeToNoticeButNotForEver) {
    TalkOnHandsetOne();
    base.PowerOff();
    Advance(6000);
    EXPECT_TRUE(found.empty());
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 1"});
}

TEST_F(CallCheckerTest, ConnectedOnlyForACallUnderWayOfThatHandset) {
    Bridge(pkt::Connected(1));
    EXPECT_EQ(Broken(), Rules{"rule 3"});

    found.clear();
    checker.OnStatus(5);
    Advance(1000);
    EXPECT_TRUE(found.empty());
    Advance(200);
    EXPECT_EQ(Broken(), Rules{"rule 3"});
}

TEST_F(CallCheckerTest, AHandsetThatNeverJoinedNeitherTonesNorEndsTheCall) {
    TalkOnHandsetOne();
    Key(2, '5');
    Command("SET CALL 7 DTMF 5");
    EXPECT_EQ(Broken(), Rules{"rule 3"});

    found.clear();
    Command("SET CALL 7 STATUS FINISHED");  // handset 1 still holds it
    EXPECT_EQ(Broken(), Rules{"rule 3"});
}

// What a CALL carries is the phone-book checker's (its own tests); here only that a handset
// dialled it.
TEST_F(CallCheckerTest, ACallNeedsAHandsetThatDialled) {
    for (char k : std::string("012#")) Key(1, k);
    Command("CALL 012");
    EXPECT_TRUE(found.empty());
    HangUp(1);

    Command("CALL 999");  // nobody dialled
    EXPECT_EQ(Broken(), Rules{"rule 4"});
}

TEST_F(CallCheckerTest, TheBridgeTurnsARingingCallAwayOnlyWhenDoNotDisturb) {
    Say("CALL 7 STATUS RINGING");
    Command("SET CALL 7 STATUS FINISHED");
    EXPECT_EQ(Broken(), Rules{"rule 4"});

    found.clear();
    Command("SET USERSTATUS DND");
    Say("CALL 8 STATUS RINGING");
    Command("SET CALL 8 STATUS FINISHED");
    EXPECT_TRUE(found.empty());
}

}  // namespace
