// The simulated base station and VoIP client answer as the healthy peers would.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The next input report, cut to its packet (length byte + 3).
Bytes NextPacket(sim::SimBase& base) {
    Bytes report;
    if (!base.NextInputReport(report)) return {};
    EXPECT_EQ(report.size(), pkt::kDataSize);
    const std::size_t total = std::min<std::size_t>(report[2] + 3u, report.size());
    return Bytes(report.begin(), report.begin() + static_cast<std::ptrdiff_t>(total));
}

std::uint8_t Sum(const Bytes& packet) {
    std::uint8_t sum = 0;
    for (std::size_t i = 2; i < packet.size(); ++i) sum = static_cast<std::uint8_t>(sum + packet[i]);
    return sum;
}

TEST(SimBaseTest, AnswersMaintenanceCommandsLikeAHealthyBase) {
    sim::SimBase base;
    base.SetVersion("V2.1");
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x0A, 0xE1});  // get version
    base.OnFeatureReport({0x24, 0x24, 0x04, 0x12, 0x04, 0x02, 0xE4});  // delete handset 2
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x03, 0xE8});  // delete all
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x0B, 0xE0});  // reset
    base.OnFeatureReport({0x24, 0x24, 0x08, 0x12, 0x08, 0xFD, 0xFE, 0xFF, 0x00, 0x01, 0xE3});  // loopback
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x07, 0x13, 0x00, 'V', '2', '.', '1', 0xFF}));
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x04, 0x13, 0x04, 0x02, 0xE3}));
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x03, 0x13, 0x03, 0xE7}));
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x03, 0x13, 0x0B, 0xDF}));
    const Bytes echo = NextPacket(base);
    EXPECT_EQ(echo, (Bytes{0x24, 0x24, 0x08, 0x10, 0x08, 0xFD, 0xFE, 0xFF, 0x00, 0x01, 0xE5}));
    EXPECT_EQ(Sum(echo), 0);
    EXPECT_FALSE(base.HasInputReport());
    EXPECT_EQ(base.Received().size(), 5u);
}

TEST(SimBaseTest, SilentSwitchesAndBadFramesGetNoAnswer) {
    sim::SimBase base;
    base.SetEcho(false);
    base.SetReplies(false);
    base.OnFeatureReport({0x24, 0x24, 0x08, 0x12, 0x08, 0x01, 0x02, 0x03, 0x04, 0x05, 0xCF});
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x0A, 0xE1});
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x03, 0xE8});
    EXPECT_FALSE(base.HasInputReport());
    base.SetEcho(true);
    base.SetReplies(true);
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x0A, 0xE0});  // wrong checksum
    base.OnFeatureReport({0x24, 0x24, 0x2D, 0x12, 0x0A, 0xE1});  // length beyond the bytes given
    base.OnFeatureReport({0x00, 0x00, 0x00, 0x00});              // keep-alive
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x06, 0xE5});  // paging: no reply awaited
    EXPECT_FALSE(base.HasInputReport());
    EXPECT_EQ(base.Received().size(), 7u);
}

// A misbehaving base: echoes twice or with other bytes, replies twice or for another
// command, answers held back and released late and out of order; its power gone, what
// it held is gone too. Only the healthy defaults count as healthy, and every oddity counts.
TEST(SimBaseTest, MisbehavioursAnswerAsTheirNamesSay) {
    const Bytes loopback{0x24, 0x24, 0x08, 0x12, 0x08, 0x01, 0x02, 0x03, 0x04, 0x05, 0xCF};
    const Bytes deleteTwo{0x24, 0x24, 0x04, 0x12, 0x04, 0x02, 0xE4};
    const Bytes echo{0x24, 0x24, 0x08, 0x10, 0x08, 0x01, 0x02, 0x03, 0x04, 0x05, 0xD1};
    sim::SimBase base;
    EXPECT_TRUE(base.Healthy());
    base.SetEchoMode(sim::EchoMode::Twice);
    base.SetReplyMode(sim::ReplyMode::Twice);
    base.OnFeatureReport(loopback);
    base.OnFeatureReport(deleteTwo);
    EXPECT_EQ(base.Backlog(), 4u);
    EXPECT_EQ(NextPacket(base), echo);
    EXPECT_EQ(NextPacket(base), echo);
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x04, 0x13, 0x04, 0x02, 0xE3}));
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x04, 0x13, 0x04, 0x02, 0xE3}));

    base.SetEchoMode(sim::EchoMode::Wrong);
    base.SetReplyMode(sim::ReplyMode::Other);
    EXPECT_FALSE(base.Healthy());
    base.OnFeatureReport(loopback);
    base.OnFeatureReport(deleteTwo);
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x03, 0xE8});  // delete all: the reset's reply
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x0B, 0xE0});  // reset: delete-all's
    base.OnFeatureReport({0x24, 0x24, 0x03, 0x12, 0x0A, 0xE1});  // version: a "done"
    const Bytes wrong = NextPacket(base);
    EXPECT_EQ(wrong.size(), echo.size());
    EXPECT_NE(wrong, echo);
    EXPECT_EQ(Sum(wrong), 0);
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x04, 0x13, 0x04, 0x03, 0xE2}));
    EXPECT_EQ(NextPacket(base)[4], pkt::BASE_RESET);
    EXPECT_EQ(NextPacket(base)[4], pkt::BASE_DELETE_ALL);
    EXPECT_EQ(NextPacket(base)[4], pkt::REPLY_DONE);

    base.SetEchoMode(sim::EchoMode::On);
    base.SetReplyMode(sim::ReplyMode::On);
    EXPECT_TRUE(base.Healthy());
    const int oddities = base.Oddities();
    base.SetHold(true);
    base.OnFeatureReport(loopback);
    base.OnFeatureReport(deleteTwo);
    base.Key(1, '5');  // handset events are never held
    EXPECT_EQ(base.Backlog(), 1u);
    EXPECT_FALSE(base.Healthy());
    base.SetHold(false);
    EXPECT_FALSE(base.Healthy());  // answers still wait
    base.Release(true);
    EXPECT_TRUE(base.Healthy());
    EXPECT_EQ(NextPacket(base)[3], pkt::EVT_KEY);
    EXPECT_EQ(NextPacket(base)[3], pkt::EVT_COMMAND_REPLY);  // newest first
    EXPECT_EQ(NextPacket(base), echo);
    EXPECT_EQ(base.Oddities(), oddities + 2);

    base.SetHold(true);
    base.OnFeatureReport(loopback);
    base.PowerOff();
    base.PowerOn();
    base.SetHold(false);
    base.Release(false);
    EXPECT_FALSE(base.HasInputReport());
    base.SendPacket(pkt::EVT_BASE_STATUS, {0x00});
    EXPECT_EQ(base.Oddities(), oddities + 5);
}

TEST(SimBaseTest, HandsetEventsCarryTheirFieldsWhereTheBridgeReadsThem) {
    sim::SimBase base;
    base.Key(3, '7');
    base.FuncKey(1, '#');
    base.Answer(2);
    base.DialString(1, "5551234", true);
    base.LineReleased();
    const Bytes key = NextPacket(base);
    EXPECT_EQ(key[3], pkt::EVT_KEY);
    EXPECT_EQ(key[4], 3);
    EXPECT_EQ(key[5], 0);
    EXPECT_EQ(key[6], '7');
    EXPECT_EQ(Sum(key), 0);
    const Bytes func = NextPacket(base);
    EXPECT_EQ(func[3], pkt::EVT_FUNC_KEY);
    EXPECT_EQ(func[6], '#');
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x03, 0x04, 0x02, 0xF7}));
    const Bytes dial = NextPacket(base);
    EXPECT_EQ(dial[3], pkt::EVT_DIAL_STRING);
    EXPECT_EQ(dial[4], 1);      // repeat marker
    EXPECT_EQ(dial[5], 8);      // count: digits + 1
    EXPECT_EQ(std::string(dial.begin() + 6, dial.begin() + 13), "5551234");
    EXPECT_EQ(dial.size(), 14u);
    EXPECT_EQ(NextPacket(base), (Bytes{0x24, 0x24, 0x02, 0x03, 0xFB}));
}

TEST(SimBaseTest, RawReportsArePaddedOrCutToTheReport) {
    sim::SimBase base;
    base.SendRaw({1, 2, 3});
    base.SendRaw(Bytes(60, 0xAA));
    Bytes report;
    ASSERT_TRUE(base.NextInputReport(report));
    EXPECT_EQ(report.size(), 48u);
    EXPECT_EQ(report[2], 3);
    EXPECT_EQ(report[3], 0);
    ASSERT_TRUE(base.NextInputReport(report));
    EXPECT_EQ(report, Bytes(48, 0xAA));
}

TEST(SimClientTest, CannedRepliesFollowTheCommands) {
    sim::SimClient client;
    client.SetContacts({{"bob", "ONLINE"}, {"carol", "AWAY"}});
    using V = std::vector<std::string>;
    EXPECT_EQ(client.OnCommand("CALL +4420"), V{"CALL 100 STATUS ROUTING"});
    EXPECT_EQ(client.OnCommand("CALL bob"), V{"CALL 101 STATUS ROUTING"});
    EXPECT_EQ(client.OnCommand("GET CALL 101 PARTNER_HANDLE"), V{"CALL 101 PARTNER_HANDLE alice"});
    EXPECT_EQ(client.OnCommand("SET CALL 101 STATUS INPROGRESS "), V{"CALL 101 STATUS INPROGRESS"});
    EXPECT_EQ(client.OnCommand("SET CALL 101 STATUS FINISHED"), V{"CALL 101 STATUS FINISHED"});
    EXPECT_EQ(client.OnCommand("SET CALL 101 STATUS ONHOLD "), V{});
    EXPECT_EQ(client.OnCommand("SEARCH FRIENDS"), V{"USERS bob, carol"});
    EXPECT_EQ(client.OnCommand("GET USER carol ONLINESTATUS"), V{"USER carol ONLINESTATUS AWAY"});
    EXPECT_EQ(client.OnCommand("GET USER zed ONLINESTATUS"), V{"USER zed ONLINESTATUS OFFLINE"});
    EXPECT_EQ(client.OnCommand("Get CURRENTUSERHANDLE"), V{"CURRENTUSERHANDLE echo123"});
    EXPECT_EQ(client.OnCommand("GET CONNSTATUS"), V{"CONNSTATUS ONLINE"});
    EXPECT_EQ(client.OnCommand("SET USERSTATUS ONLINE"), V{});
    client.SetAuto(false);
    EXPECT_EQ(client.OnCommand("GET CONNSTATUS"), V{});
    EXPECT_EQ(client.Commands().size(), 13u);
    EXPECT_EQ(client.Commands()[5], "SET CALL 101 STATUS ONHOLD ");
}

TEST(SimClientTest, AnEmptyContactListIsAnEmptyUsersReply) {
    sim::SimClient client;
    EXPECT_EQ(client.OnCommand("SEARCH FRIENDS"), std::vector<std::string>{"USERS"});
    EXPECT_STREQ(sim::SimClient::DiscoverName(sim::ClientKindSim::Skype), "SkypeControlAPIDiscover");
    EXPECT_STREQ(sim::SimClient::AttachName(sim::ClientKindSim::SoftPhone), "WM_UAXAPP_ATTACH");
}

}  // namespace
