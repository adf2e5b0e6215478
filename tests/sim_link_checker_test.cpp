// The link and request checkers on their own, fed by the simulated peers and a page the test
// sets by hand, with no bridge at all: each rule is broken on purpose and must be named, and
// what a sound bridge does must pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "res/resource.h"
#include "tools/sim/LinkChecker.h"
#include "tools/sim/RequestChecker.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace {

// The settings page as the test sets it.
struct Page : sim::UserView {
    bool open = false;
    std::map<int, bool> usable;
    int checked = 0;
    int selection = -1;
    int icon = IDI_LIGHT_OFF;
    bool BridgeRunning() const override { return true; }
    bool SettingsOpen() const override { return open; }
    bool Usable(int control) const override {
        auto it = usable.find(control);
        return open && (it == usable.end() || it->second);
    }
    bool Checked(int control) const override { return open && control == checked; }
    int Selection(int control) const override { return control == IDC_HANDSET_LIST ? selection : -1; }
    int Icon(int control) const override { return control == IDC_LIGHT ? icon : 0; }
    std::string Text(int id) const override { return "text " + std::to_string(id); }
    void Buttons(bool on) { usable[IDC_EXECUTE] = usable[IDC_ALL_RESET] = on; }
};

class LinkCheckerTest : public ::testing::Test {
protected:
    LinkCheckerTest()
        : link(base, client, page, [this] { return now; }, found),
          request(page, [this] { return now; }, found) {
        base.PowerOff();
        for (sim::PeerObserver* o : {static_cast<sim::PeerObserver*>(&link), static_cast<sim::PeerObserver*>(&request)}) {
            base.AddObserver(o);
            client.AddObserver(o);
        }
        client.SetAuto(false);
        client.ProcessStarted();
        client.AttachDelivered(0);
        base.PowerOn();
        Bridge(pkt::Loopback(1));  // the start-up test's first loopback, echoed
        ReadAll();
    }

    // Time passes; the bridge sends a keep-alive every 400 ms while `alive`.
    void Advance(std::uint64_t ms, bool alive = true) {
        for (std::uint64_t step = 0; step < ms; step += 100) {
            now += 100;
            if (alive && now % 400 == 0) Bridge({0, 0, 0, 0});
            Status(status);
        }
    }
    void Status(int s) {
        status = s;
        link.OnStatus(s);
        request.Check();
    }
    void Bridge(const std::vector<std::uint8_t>& report) { base.OnFeatureReport(report); }
    void ReadAll() {
        std::vector<std::uint8_t> data;
        while (base.NextInputReport(data)) {
        }
    }
    // The user clicks a control of the settings page; the bridge sends `sent` at once.
    void Click(int control, const std::vector<std::uint8_t>& sent) {
        request.OnUserClick("options", control);
        if (!sent.empty()) Bridge(sent);
        page.Buttons(false);
    }
    void Box(int textId) {
        request.OnMessageBox(page.Text(textId));
        page.Buttons(true);
    }
    std::vector<std::string> Broken() const {
        std::vector<std::string> rules;
        for (const sim::Violation& v : found) rules.push_back(v.rule.substr(0, v.rule.find(" (")));
        return rules;
    }

    std::string Texts() const {
        std::string all;
        for (const sim::Violation& v : found) all += v.Format() + "\n";
        return all;
    }

    std::uint64_t now = 0;
    int status = 0;
    std::vector<sim::Violation> found;
    sim::SimBase base;
    sim::SimClient client;
    Page page;
    sim::LinkChecker link;
    sim::RequestChecker request;
};

using Rules = std::vector<std::string>;

TEST_F(LinkCheckerTest, AHealthyBaseMustEndReadyWithKeepAlivesFlowing) {
    Status(11);  // the test failed at first
    Advance(5900);
    EXPECT_TRUE(found.empty()) << Texts();
    Status(2);
    Advance(8000);
    EXPECT_TRUE(found.empty()) << Texts();

    Status(11);  // status 11 over a base that has answered well for long
    EXPECT_EQ(Broken(), Rules{"rule 6"});

    found.clear();
    Status(2);
    Advance(6100, false);  // the bridge went silent
    EXPECT_EQ(Broken(), Rules{"rule 6"});
}

TEST_F(LinkCheckerTest, AMisbehavingBaseIsNotHeldAgainstTheBridgeUntilItHasAnsweredWellForAWhile) {
    base.SetEcho(false);
    Status(11);
    Advance(20000);
    EXPECT_TRUE(found.empty()) << Texts();
    base.SetEcho(true);
    Advance(5900);
    EXPECT_TRUE(found.empty()) << Texts();
    Status(2);
    Advance(10000);
    EXPECT_TRUE(found.empty()) << Texts();
}

TEST_F(LinkCheckerTest, ABasePluggedInAgainMustBeTestedAgain) {
    Status(2);
    Advance(2000);
    base.PowerOff();
    base.PowerOn();
    Advance(4500);
    EXPECT_TRUE(found.empty()) << Texts();
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 6"});

    found.clear();
    base.PowerOff();
    base.PowerOn();
    Advance(1200);
    Bridge(pkt::Loopback(2));
    Advance(8000);
    EXPECT_TRUE(found.empty()) << Texts();
}

TEST_F(LinkCheckerTest, ATestResultMustNotHideARingingCall) {
    Status(2);
    client.Delivered("CALL 7 STATUS RINGING");
    Bridge(pkt::Alert("alice"));
    Status(7);
    Advance(3000);
    EXPECT_TRUE(found.empty()) << Texts();
    Status(11);
    Advance(1000);
    EXPECT_TRUE(found.empty()) << Texts();
    Advance(200);
    EXPECT_EQ(Broken(), Rules{"rule 7"});
}

TEST_F(LinkCheckerTest, RingingWithNoCallRingingIsFalse) {
    Status(7);
    Advance(1000);
    EXPECT_TRUE(found.empty()) << Texts();
    Advance(200);
    EXPECT_EQ(Broken(), Rules{"rule 7"});
}

TEST_F(LinkCheckerTest, AHandsetHoldingTheLineMustShowACallsStatus) {
    Status(2);
    base.Answer(1);
    ReadAll();
    Status(1);
    Advance(2000);
    EXPECT_TRUE(found.empty()) << Texts();
    Status(11);
    Advance(1200);
    EXPECT_EQ(Broken(), Rules{"rule 7"});
}

TEST_F(LinkCheckerTest, AnAnsweredRequestEndsInItsMessageOnce) {
    page.open = true;
    page.checked = IDC_DELETE_ALL;
    Click(IDC_EXECUTE, pkt::Base(pkt::BASE_DELETE_ALL));
    ReadAll();
    Box(IDS_DELETE_FINISHED);
    Advance(5000);
    EXPECT_TRUE(found.empty()) << Texts();

    Box(IDS_DELETE_FINISHED);  // a second result, with nothing waiting
    EXPECT_EQ(Broken(), Rules{"rule 8"});
}

TEST_F(LinkCheckerTest, AReplyForAnotherCommandIsNoAnswer) {
    page.open = true;
    page.checked = IDC_DELETE_ONE;
    page.selection = 2;  // handset 3
    base.SetReplyMode(sim::ReplyMode::Other);
    Click(IDC_EXECUTE, pkt::Base(pkt::BASE_DELETE_HANDSET, 3));
    ReadAll();
    Box(IDS_DELETE_FINISHED);
    EXPECT_EQ(Broken(), Rules{"rule 8"});

    found.clear();
    Click(IDC_EXECUTE, pkt::Base(pkt::BASE_DELETE_HANDSET, 3));
    ReadAll();
    Box(IDS_NO_REPLY);  // its time-out message is the sound result
    EXPECT_TRUE(found.empty()) << Texts();
}

TEST_F(LinkCheckerTest, AReplyToACommandTheBaseNeverHeardIsNoAnswer) {
    page.open = true;
    page.checked = IDC_DELETE_ONE;
    page.selection = 2;
    Click(IDC_EXECUTE, {});  // the base was away: nothing reached it
    base.SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_DELETE_HANDSET, 3});
    ReadAll();
    Box(IDS_DELETE_FINISHED);
    EXPECT_EQ(Broken(), Rules{"rule 8"});

    found.clear();
    Click(IDC_EXECUTE, {});
    base.SendPacket(pkt::EVT_COMMAND_REPLY, {pkt::BASE_DELETE_HANDSET, 3});
    ReadAll();
    Box(IDS_NO_REPLY);
    EXPECT_TRUE(found.empty()) << Texts();
}

TEST_F(LinkCheckerTest, ARequestWithNoResultAtAllIsFound) {
    page.open = true;
    page.checked = IDC_LOOPBACK;
    base.SetEcho(false);
    Click(IDC_EXECUTE, pkt::Loopback(9));
    Advance(2500);
    EXPECT_TRUE(found.empty()) << Texts();
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 8"});
}

TEST_F(LinkCheckerTest, TheButtonsAreOffExactlyWhileARequestWaits) {
    page.open = true;
    page.checked = IDC_DELETE_ALL;
    base.SetReplies(false);
    request.OnUserClick("options", IDC_EXECUTE);
    Bridge(pkt::Base(pkt::BASE_DELETE_ALL));  // the buttons stay on
    Advance(300);
    EXPECT_TRUE(found.empty()) << Texts();
    Advance(100);
    EXPECT_EQ(Broken(), Rules{"rule 8"});

    found.clear();
    Box(IDS_NO_REPLY);
    page.Buttons(false);  // and off with nothing waiting
    Advance(300);
    EXPECT_TRUE(found.empty()) << Texts();
    Advance(200);
    EXPECT_EQ(Broken(), Rules{"rule 8"});
}

TEST_F(LinkCheckerTest, TheLightIsGreenExactlyWhileTheBaseRegisters) {
    page.open = true;
    page.checked = 0;
    Bridge(pkt::Base(pkt::BASE_OPEN_REGISTRATION));
    page.icon = IDI_LIGHT_ON;
    Advance(1000);
    EXPECT_TRUE(found.empty()) << Texts();

    page.open = false;  // the sheet closed and opened again: the light must still be on
    Advance(500);
    page.open = true;
    page.icon = IDI_LIGHT_OFF;
    Advance(500);
    EXPECT_EQ(Broken(), Rules{"rule 8"});

    found.clear();
    base.RegisterEnd();
    ReadAll();
    Advance(1000);
    EXPECT_TRUE(found.empty()) << Texts();
}

}  // namespace
