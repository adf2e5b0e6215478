// The bridge process's life around its work: the single-instance rule, Exit, and the user
// status sent after each attachment of a client.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BridgeApp.h"
#include "app/BridgeDlg.h"
#include "app/ShellConstants.h"
#include "callctl/CallCommands.h"
#include "client/ClientLink.h"
#include "client/ClientTexts.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "res/resource.h"

namespace {

sim::Options ManualBoxes() {
    sim::Options o;
    o.autoMessageBoxes = false;
    return o;
}

// ---- single instance ----

TEST(AppInstance, SecondInstanceSaysSoAndEndsWhileTheFirstRuns) {
    sim::Harness first;
    first.Start();
    ASSERT_NE(first.Bridge(), nullptr);

    sim::Harness second(ManualBoxes());
    second.Start();
    EXPECT_EQ(second.OpenMessageBoxes(), 1);
    ASSERT_EQ(second.Find("msgbox").size(), 1u);
    EXPECT_EQ(second.Find("msgbox")[0].text, CBridgeApp::kAlreadyRunning);
    EXPECT_EQ(second.Bridge(), nullptr);
    EXPECT_TRUE(second.Find("window", "created main").empty());

    ASSERT_TRUE(second.ConfirmMessageBox());
    EXPECT_TRUE(second.Ended());

    // The first one goes on, and it alone held the mutex.
    first.Run(2000);
    EXPECT_NE(first.Bridge(), nullptr);
    EXPECT_TRUE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
}

TEST(AppInstance, ABridgeWhoseMutexCannotBeOpenedStillCountsAsRunning) {
    // An elevated bridge's mutex refuses the rights a normal one asks for.
    sim::HeadlessSystem::SetUnopenableMutex(CBridgeApp::kMutexName, true);
    sim::Harness second(ManualBoxes());
    second.Start();
    ASSERT_EQ(second.Find("msgbox").size(), 1u);
    EXPECT_EQ(second.Find("msgbox")[0].text, CBridgeApp::kAlreadyRunning);
    EXPECT_EQ(second.Bridge(), nullptr);
    ASSERT_TRUE(second.ConfirmMessageBox());
    EXPECT_TRUE(second.Ended());
    sim::HeadlessSystem::SetUnopenableMutex(CBridgeApp::kMutexName, false);
    EXPECT_FALSE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
}

TEST(AppInstance, MutexIsReleasedWhenTheBridgeExits) {
    {
        sim::Harness first;
        first.Start();
        first.Command(ID_TRAY_EXIT);
        ASSERT_TRUE(first.Ended());
        sim::Harness next;
        next.Start();
        EXPECT_NE(next.Bridge(), nullptr);
        EXPECT_TRUE(next.Find("msgbox").empty());
    }
    EXPECT_FALSE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
}

// ---- Exit ----

TEST(AppExit, WithoutClientSendsNothingAndRemovesTheIcon) {
    sim::Harness h;
    h.Start(CBridgeApp::kDebugWindowWord);
    ASSERT_NE(h.Platform().tray.Shown(), nullptr);
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(h.Ended());
    EXPECT_EQ(h.Platform().tray.Shown(), nullptr);
    EXPECT_TRUE(h.Find("client>").empty());
    EXPECT_EQ(h.Find("exit").size(), 1u);
    EXPECT_EQ(h.Find("exit")[0].text, std::to_string(kExitResult));
    EXPECT_EQ(h.Find("window", "destroyed debug").size(), 1u);
    EXPECT_EQ(h.Find("window", "destroyed info").size(), 1u);
}

TEST(AppExit, ClosesWindowsInOrderThenIconThreadAndClientCode) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start(CBridgeApp::kDebugWindowWord);
    h.Run(3000);
    ASSERT_EQ(h.Find("thread", "created").size(), 1u);
    ASSERT_NE(g_hClientWnd, 0u);
    ASSERT_NE(h.Bridge()->m_nStatus, STATUS_BASE_ABSENT);
    h.Command(ID_TRAY_OPTIONS);
    ASSERT_NE(h.Bridge()->m_pOptionsSheet, nullptr);

    const int before = static_cast<int>(h.Client().Commands().size());
    const int start = static_cast<int>(h.Transcript().size());
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(h.Ended());
    const char* const order[][2] = {
        {"window", "destroyed debug"}, {"window", "destroyed info"}, {"window", "destroyed options"},
        {"tray", "remove"},            {"thread", "suspended"},      {"client>", ""},
        {"exit", "1"},
    };
    int previous = start - 1;
    for (const auto& step : order) {
        const int at = h.IndexOf(step[0], step[1], start);
        EXPECT_GT(at, previous) << step[0] << " " << step[1];
        previous = at;
    }
    // The exit code carries a 4-byte zero value: the client sees an empty text, once.
    const int sent = h.IndexOf("client>", "", start);
    ASSERT_GE(sent, 0);
    EXPECT_EQ(h.Transcript()[static_cast<std::size_t>(sent)].text, "");
    EXPECT_EQ(static_cast<int>(h.Client().Commands().size()), before + 1);
}

TEST(AppExit, ClientWindowGoneSendsNothing) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(3000);
    ASSERT_NE(g_hClientWnd, 0u);
    h.StopClient();
    const int start = static_cast<int>(h.Transcript().size());
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(h.Ended());
    EXPECT_LT(h.IndexOf("client>", "", start), 0);
    EXPECT_GE(h.IndexOf("tray", "remove", start), 0);
}

TEST(AppExit, ExitWhileTheRefusalBoxIsOpenLeavesOnce) {
    client::g_bRefusalArmed = 1;  // this harness stands for a fresh process
    sim::Harness h(ManualBoxes());
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(3000);
    ASSERT_NE(g_hClientWnd, 0u);
    const std::size_t sentBefore = h.Find("client>").size();
    h.ClientAttach(static_cast<int>(client::kAttachRefused));
    ASSERT_EQ(h.OpenMessageBoxes(), 1);
    h.Command(ID_TRAY_EXIT);
    ASSERT_TRUE(h.ConfirmMessageBox());
    EXPECT_TRUE(h.Ended());
    // The refusal's own exit finds the work done: one exit code, one suspension.
    EXPECT_EQ(h.Find("client>").size(), sentBefore + 1);
    EXPECT_EQ(h.Find("thread", "suspended").size(), 1u);
    EXPECT_EQ(h.Find("exit").size(), 1u);
}

TEST(AppExit, ClosingTheHiddenWindowLeavesAsExitDoes) {
    sim::Harness h;
    h.Start();
    ASSERT_TRUE(h.Close("main"));
    EXPECT_TRUE(h.Ended());
    EXPECT_EQ(h.Platform().tray.Shown(), nullptr);
    EXPECT_EQ(h.Find("window", "destroyed info").size(), 1u);
    ASSERT_EQ(h.Find("exit").size(), 1u);
    EXPECT_EQ(h.Find("exit")[0].text, std::to_string(kExitResult));
    EXPECT_FALSE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
}

// ---- the user status after each attachment ----

TEST(AppPoll, OnlineIsSentOnceMoreAtTheTickAfterEachAttachment) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(3000);
    ASSERT_EQ(h.Bridge()->m_bClientAttached, 1);
    // Once by the attachment, once more by the next device poll, then never again.
    std::vector<sim::Line> online = h.Find("client>", callcmd::kUserStatusOnline);
    ASSERT_EQ(online.size(), 2u);
    EXPECT_LE(online[1].time - online[0].time, kTickMs);
    EXPECT_EQ(h.Bridge()->m_bOnlinePending, 0);
    h.Run(3000);
    EXPECT_EQ(h.Find("client>", callcmd::kUserStatusOnline).size(), 2u);

    // A client that logs out resets the link; the next attachment sends it twice again.
    h.ClientSay("CONNSTATUS LOGGEDOUT");
    EXPECT_EQ(h.Bridge()->m_bOnlinePending, 1);
    h.Run(3000);
    ASSERT_EQ(h.Bridge()->m_bClientAttached, 1);
    online = h.Find("client>", callcmd::kUserStatusOnline);
    ASSERT_EQ(online.size(), 4u);
    EXPECT_LE(online[3].time - online[2].time, kTickMs);
}

}  // namespace
