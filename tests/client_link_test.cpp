// Discovery, attachment, the attach statuses, the client kinds, the copy-data transport,
// the silence watchdog and the log writers, driven through the running bridge.
#include <string>
#include <vector>

#include "res/resource.h"
#include "res/ResourceTables.h"
#include "tests/client_harness.h"

namespace client_test {
namespace {

using sim::ClientKindSim;

std::string Text(int id) { return res::FindString(id, res::Lang::English); }

class ClientLink : public ClientHarness {};

TEST_F(ClientLink, DiscoversAboutOneSecondAfterTheWaveDeviceAppears) {
    h.StartClient(ClientKindSim::Skype);
    h.Start("QOPA");
    h.Run(5000);
    EXPECT_TRUE(h.Find("broadcast").empty());
    EXPECT_FALSE(Has(VoipLog(), "FindUSB"));

    const std::uint64_t plugged = h.Now();
    h.PlugBase();
    h.Run(1500);
    const std::vector<sim::Line> broadcasts = h.Find("broadcast");
    ASSERT_EQ(broadcasts.size(), 1u);
    EXPECT_EQ(broadcasts[0].text, client::kDiscoverNames[Skype]);
    EXPECT_LE(broadcasts[0].time - plugged, 1100u);
    // Balloon 1 right after the broadcast, then attachment.
    const int b = h.IndexOf("broadcast", "");
    EXPECT_EQ(h.IndexOf("balloon", Text(113), b), b + 1);
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
}

TEST_F(ClientLink, AttachmentSendsAudioUserHandleOnlineThenSearchFriendsAndBalloons) {
    h.PlugBase();
    h.StartClient(ClientKindSim::Skype);
    h.Start("QOPA");
    h.Run(kAttachMs);
    const std::vector<std::string> sent = Since("client>");
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[0], "SET AUDIO_IN VA6 USB Audio");
    EXPECT_EQ(sent[1], "SET AUDIO_OUT VA6 USB Audio");
    EXPECT_EQ(sent[2], "Get CURRENTUSERHANDLE");
    EXPECT_EQ(sent[3], "SET USERSTATUS ONLINE");
    EXPECT_TRUE(Has(sent, client::kSearchFriends));
    // Every command is in the VoIP log, with exactly the text sent.
    for (const std::string& command : sent) EXPECT_TRUE(Has(VoipLog(), command)) << command;
    EXPECT_TRUE(Has(VoipLog(), client::kLogAttached));
    EXPECT_EQ(Dlg().m_nLinkState, Ready);

    const std::vector<sim::Line> connected = h.Find("balloon", Text(IDS_SKYPE_CONNECTED));
    ASSERT_EQ(connected.size(), 1u);
    h.Run(6000);
    bool cleared = false;
    for (const sim::Line& l : h.Find("balloon"))
        if (l.text.empty() && l.time == connected[0].time + kBalloonClearMs) cleared = true;
    EXPECT_TRUE(cleared);
    EXPECT_EQ(Dlg().m_strUserHandle, "echo123");
}

TEST_F(ClientLink, UnregisteredNamesAreTriedAgainAtEveryStep) {
    h.PlugBase();
    h.StartClient(ClientKindSim::Skype);
    h.Platform().messages.SetRegistrationFails(true);
    h.Start("QOPA");
    h.Run(kAttachMs);
    EXPECT_TRUE(h.Find("broadcast").empty());
    EXPECT_TRUE(h.Find("balloon", Text(113)).empty());
    EXPECT_EQ(Dlg().m_nLinkState, Discovering);
    EXPECT_EQ(Dlg().m_bDiscoverPending, 1);

    h.Platform().messages.SetRegistrationFails(false);
    const std::uint64_t allowed = h.Now();
    h.Run(kStepMs);
    const std::vector<sim::Line> broadcasts = h.Find("broadcast");
    ASSERT_EQ(broadcasts.size(), 1u);
    EXPECT_LE(broadcasts[0].time - allowed, kTickMs);
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
}

TEST_F(ClientLink, SoftPhoneGetsNoContactRequestAndItsOwnTexts) {
    h.PlugBase();
    h.StartClient(ClientKindSim::SoftPhone);
    h.Start("QOPA");
    h.Command(ID_CONNECT_SOPHONE);  // before the first device check
    h.Run(kAttachMs);
    EXPECT_EQ(h.Find("broadcast").size(), 1u);
    EXPECT_EQ(h.Find("broadcast", client::kDiscoverNames[SoftPhone]).size(), 1u);
    ASSERT_EQ(Dlg().m_bClientAttached, 1);
    EXPECT_TRUE(h.Find("client>", client::kSearchFriends).empty());
    EXPECT_FALSE(h.Find("client>", "Get CURRENTUSERHANDLE").empty());
    EXPECT_EQ(Dlg().m_nLinkState, Ready);
    EXPECT_EQ(h.Find("balloon", Text(IDS_SOFTPHONE_CONNECTED)).size(), 1u);
}

TEST_F(ClientLink, SwitchingTheKindResetsOnceAndRediscoversWithTheOtherNames) {
    Boot();
    h.StartClient(ClientKindSim::SoftPhone);
    h.Command(ID_CONNECT_SOPHONE);
    EXPECT_EQ(Dlg().m_nLinkState, Detached);
    EXPECT_EQ(Dlg().m_bClientAttached, 0);
    EXPECT_EQ(g_hClientWnd, 0u);
    h.Command(ID_CONNECT_SOPHONE);  // the same kind again: nothing
    h.Run(1500);
    const std::vector<std::string> broadcasts = Since("broadcast");
    ASSERT_EQ(broadcasts.size(), 1u);
    EXPECT_EQ(broadcasts[0], client::kDiscoverNames[SoftPhone]);
    EXPECT_EQ(Since("balloon").front(), Text(115));
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
    EXPECT_TRUE(Has(Since("balloon"), Text(IDS_SOFTPHONE_CONNECTED)));
    EXPECT_FALSE(Has(Commands(), client::kSearchFriends));

    Mark();
    h.StartClient(ClientKindSim::Skype);
    h.Command(ID_CONNECT_SKYPE);
    h.Run(1500);
    EXPECT_EQ(Since("broadcast"), std::vector<std::string>{client::kDiscoverNames[Skype]});
    EXPECT_TRUE(Has(Commands(), client::kSearchFriends));
}

TEST_F(ClientLink, BalloonTextIsCutToTheShellsBuffer) {
    Boot();
    Dlg().m_strSkypeMissing = std::string(300, 'm');
    h.Command(ID_CONNECT_SOPHONE);
    h.Command(ID_CONNECT_SKYPE);
    h.Run(1500);
    const std::vector<std::string> balloons = Since("balloon");
    ASSERT_FALSE(balloons.empty());
    EXPECT_EQ(balloons.front(), std::string(client::kBalloonTextBytes - 1, 'm'));
}

TEST_F(ClientLink, SecondStatusZeroWhileReadySendsTheAttachmentCommandsAgain) {
    Boot();
    h.ClientAttach(0);
    h.Run(kStepMs);
    const std::vector<std::string> sent = Commands();
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[0], "SET AUDIO_IN VA6 USB Audio");
    EXPECT_EQ(sent[2], "Get CURRENTUSERHANDLE");
    EXPECT_EQ(sent[3], "SET USERSTATUS ONLINE");
    EXPECT_TRUE(Has(sent, client::kSearchFriends));
}

TEST_F(ClientLink, AttachStatusesLogTheirLinesAndOnlyTheAvailableOneBroadcasts) {
    Boot();
    h.ClientAttach(client::kAttachPending);
    h.ClientAttach(client::kAttachNotAvailable);
    EXPECT_EQ(VoipLog(), (std::vector<std::string>{client::kLogPending, client::kLogNotAvailable}));
    EXPECT_TRUE(Since("broadcast").empty());
    EXPECT_EQ(Dlg().m_bClientAttached, 1);

    Mark();
    h.ClientAttach(4);
    h.ClientAttach(12345);
    EXPECT_TRUE(VoipLog().empty());

    Mark();
    h.ClientAttach(client::kAttachAvailable);
    const int broadcast = h.IndexOf("broadcast", client::kDiscoverNames[Skype], static_cast<int>(MarkIndex()));
    const int logged = h.IndexOf("voip-log", client::kLogAvailable, static_cast<int>(MarkIndex()));
    ASSERT_GE(broadcast, 0);
    EXPECT_GT(logged, broadcast);
}

TEST_F(ClientLink, CopyDataFromAnotherWindowIsNotLoggedOrParsed) {
    Boot();
    CopyDataFrom(h.ClientWindow() + 0x1000, "CALL 5 STATUS RINGING");
    EXPECT_TRUE(VoipLog().empty());
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    h.Run(kStepMs);
    EXPECT_TRUE(Commands().empty());

    Say("CALL 5 STATUS RINGING");
    EXPECT_EQ(VoipLog().front(), "Skype(0): CALL 5 STATUS RINGING");
    EXPECT_EQ(Dlg().m_strCallId, "5");
}

TEST_F(ClientLink, CopyDataBeforeAttachmentGetsNoLogLine) {
    h.PlugBase();
    h.Start("QOPA");
    h.Run(2000);
    Mark();
    h.ClientSay("CURRENTUSERHANDLE bob");
    EXPECT_TRUE(VoipLog().empty());
    EXPECT_TRUE(Dlg().m_strUserHandle.empty());
}

TEST_F(ClientLink, SendingWithoutAClientWindowReturnsZeroAndStillLogs) {
    h.PlugBase();
    h.Start("QOPA");
    h.Run(2000);
    Mark();
    EXPECT_EQ(Dlg().SendClientCommand("SEARCH FRIENDS", 0), 0);
    Dlg().PlaceCall("4711");
    EXPECT_TRUE(Has(VoipLog(), "CALL 4711"));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(ClientLink, RefusalEndsTheBridgeOnceWithBalloonsAndMessageBox) {
    h.SetAutoMessageBoxes(false);
    h.PlugBase();
    h.Start("QOPA");
    h.Run(2000);  // discovered; no client answers
    Mark();
    h.ClientAttach(client::kAttachRefused);
    EXPECT_EQ(h.OpenMessageBoxes(), 1);
    EXPECT_EQ(Since("balloon"), (std::vector<std::string>{"", Text(IDS_REFUSED)}));
    EXPECT_EQ(Since("msgbox"), std::vector<std::string>{Text(IDS_REFUSED)});
    EXPECT_TRUE(Has(VoipLog(), client::kLogRefused));

    h.ClientAttach(client::kAttachRefused);  // while the box is open: logged, no second box
    EXPECT_EQ(h.OpenMessageBoxes(), 1);
    EXPECT_EQ(Since("msgbox").size(), 1u);
    EXPECT_FALSE(h.Ended());

    ASSERT_TRUE(h.ConfirmMessageBox());
    h.Run(kStepMs);
    EXPECT_TRUE(h.Ended());
    EXPECT_FALSE(h.Find("tray", "remove").empty());
    EXPECT_EQ(Since("exit").size(), 1u);
}

// ---- silence watchdog ----

TEST_F(ClientLink, LiveClientIsPolledEverySixtySecondsAndStaysAttached) {
    Boot();
    const std::uint64_t last = h.Find("client<").back().time;
    h.Run(last + kSilenceMs - 1 - h.Now());
    EXPECT_FALSE(Has(Commands(), client::kGetConnStatus));
    h.Run(1);
    EXPECT_TRUE(Has(Commands(), client::kGetConnStatus));
    h.Run(5 * kSilenceMs);
    std::vector<std::uint64_t> times;
    for (const sim::Line& l : LinesSince("client>"))
        if (l.text == client::kGetConnStatus) times.push_back(l.time);
    ASSERT_GE(times.size(), 5u);
    EXPECT_EQ(times[0], last + kSilenceMs);
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], kSilenceMs);
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
    EXPECT_FALSE(Has(VoipLog(), client::kLogReconnect));
}

TEST_F(ClientLink, NotificationAtFiftyNineSecondsPostponesThePoll) {
    Boot();
    h.Client().SetAuto(false);
    const std::uint64_t last = h.Find("client<").back().time;
    h.Run(last + kSilenceMs - 1000 - h.Now());
    Say("AUDIO_IN VA6 USB Audio");
    const std::uint64_t said = h.Find("client<").back().time;
    h.Run(said + kSilenceMs - 1 - h.Now());
    EXPECT_FALSE(Has(Commands(), client::kGetConnStatus));
    h.Run(1);
    EXPECT_TRUE(Has(Commands(), client::kGetConnStatus));
}

TEST_F(ClientLink, SilentClientIsResetWithinTwoMinutesAndRediscovered) {
    Boot();
    h.Client().SetAuto(false);  // the window lives on but never answers
    h.Run(2 * kSilenceMs + 1000);
    const std::vector<std::string> log = VoipLog();
    EXPECT_TRUE(Has(log, client::kGetConnStatus));
    EXPECT_TRUE(Has(log, client::kLogReconnect));
    // Torn down at most 120 s after the last notification, then found again.
    const std::vector<sim::Line> reflash = h.Find("voip-log", client::kLogReconnect);
    ASSERT_EQ(reflash.size(), 1u);
    EXPECT_LE(reflash[0].time, h.Find("client<").back().time + 2 * kSilenceMs);
    const std::vector<std::string> broadcasts = Since("broadcast");
    ASSERT_EQ(broadcasts.size(), 1u);
    EXPECT_EQ(Dlg().m_bClientAttached, 1);  // the sim client answers discovery again
}

TEST_F(ClientLink, ClientThatNeverSpeaksIsPolledAndResetAfterItsAttachment) {
    h.Client().SetAuto(false);  // attaches, then sends no notification at all
    Boot();
    ASSERT_TRUE(h.Find("client<").empty());
    ASSERT_FALSE(h.Find("attach").empty());
    const std::uint64_t attached = h.Find("attach").back().time;
    h.Run(2 * kSilenceMs + 500);
    const std::vector<sim::Line> polls = h.Find("client>", client::kGetConnStatus);
    ASSERT_FALSE(polls.empty());
    EXPECT_EQ(polls[0].time, attached + kSilenceMs);
    const std::vector<sim::Line> reflash = h.Find("voip-log", client::kLogReconnect);
    ASSERT_EQ(reflash.size(), 1u);
    EXPECT_LE(reflash[0].time, attached + 2 * kSilenceMs);
}

TEST_F(ClientLink, DeadClientWindowDoesNotKeepTheLinkForEver) {
    Boot();
    const std::size_t broadcasts = h.Find("broadcast").size();
    h.StopClient();
    h.Run(kTickMs);  // its window is gone: the link starts over at once, without a poll
    EXPECT_EQ(Dlg().m_bClientAttached, 0);
    EXPECT_EQ(g_hClientWnd, 0u);
    h.Run(2 * kSilenceMs + 500);
    EXPECT_FALSE(Has(VoipLog(), client::kLogReconnect));
    EXPECT_EQ(h.Find("broadcast").size(), broadcasts + 1);  // discovered again once
    h.Run(10 * kSilenceMs);  // nobody answers the discovery: no further resets
    EXPECT_EQ(h.Find("broadcast").size(), broadcasts + 1);
}

TEST_F(ClientLink, LoggedOutTearsDownAndOnlineOnlyRestartsTheWatchdog) {
    Boot();
    Say("CONNSTATUS ONLINE");
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
    Say("CONNSTATUS LOGGEDOUT");
    EXPECT_EQ(Dlg().m_bClientAttached, 0);
    EXPECT_TRUE(Has(DeviceLog(), "USB Disconnect"));
    EXPECT_TRUE(Dlg().m_contacts.empty());
    h.Run(1500);
    EXPECT_EQ(Since("broadcast").size(), 1u);
    EXPECT_EQ(Dlg().m_bClientAttached, 1);
}

// ---- log writers ----

TEST_F(ClientLink, LogLinesCarryMinuteAndSecondAndTraceIsUpperCaseHex) {
    Boot();  // the clock starts at 10:07:00
    Mark();
    const std::uint8_t bytes[] = {0x00, 0xAB, 0x7f, 0x10};
    Dlg().TraceRawSend(bytes, 4);
    Dlg().TraceRawSend(nullptr, 0);
    const std::vector<std::string> device = Since("device-log");
    ASSERT_EQ(device.size(), 2u);
    EXPECT_EQ(device[0].substr(0, 3), "07:");
    EXPECT_EQ(device[0].substr(5), " Send 00AB7F10");
    EXPECT_EQ(device[1].substr(5), " Send ");
}

class DebugModeLink : public ClientHarness {};

TEST_F(DebugModeLink, DebugModeMutesBothLogsButNotTheTrace) {
    h.PlugBase();
    h.StartClient(ClientKindSim::Skype);
    h.Start("DEBUG");
    h.Run(kAttachMs);
    ASSERT_EQ(Dlg().m_bClientAttached, 1);
    EXPECT_TRUE(h.Find("voip-log").empty());
    EXPECT_FALSE(h.Find("client>").empty());
    const std::uint8_t bytes[] = {0x01, 0x02};
    Dlg().TraceRawSend(bytes, 2);
    const std::vector<sim::Line> device = h.Find("device-log");
    ASSERT_EQ(device.size(), 1u);
    EXPECT_EQ(device[0].text.substr(5), " Send 0102");
}

class LateClock : public ClientHarness {
protected:
    static sim::Options At() {
        sim::Options o;
        o.clock = plat::TimeOfDay{10, 7, 3};
        return o;
    }
    LateClock() : ClientHarness(At()) {}
};

TEST_F(LateClock, LineWrittenAtTenOhSevenOhThreeBeginsWithMinuteAndSecond) {
    h.Start("QOPA");
    Mark();
    Dlg().LogClientLine("hello");
    EXPECT_EQ(Since("voip-log"), std::vector<std::string>{"07:03 hello"});
}

}  // namespace
}  // namespace client_test
