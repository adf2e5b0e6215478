// Start-up of the bridge process: the command-line words, the single-instance rule, the
// search for the base station's sound device, and Exit.
#include <gtest/gtest.h>

#include <string>

#include "app/BridgeApp.h"
#include "app/BridgeDlg.h"
#include "app/ShellConstants.h"
#include "platform/headless/Harness.h"
#include "platform/headless/HeadlessPlatform.h"
#include "res/resource.h"

namespace {

sim::Options ManualBoxes() {
    sim::Options o;
    o.autoMessageBoxes = false;
    return o;
}

sim::Options WithOs(unsigned major, unsigned minor) {
    sim::Options o;
    o.os = {major, minor};
    return o;
}

bool WindowOpen(sim::Harness& h, int templateId) {
    return h.Platform().windows.FindByTemplate(templateId) != nullptr;
}

// ---- command-line words ----

TEST(AppCommandLine, SetupWordShowsSetupInsteadOfBridgeAndTakesNoMutex) {
    sim::Harness h;
    h.Start(std::string(CBridgeApp::kSetupWord) + "/install");
    EXPECT_TRUE(WindowOpen(h, IDD_SETUP));
    EXPECT_EQ(h.Bridge(), nullptr);
    EXPECT_FALSE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
    EXPECT_TRUE(h.Find("tray").empty());
    EXPECT_FALSE(h.Ended());

    ASSERT_TRUE(h.Close("setup"));
    EXPECT_TRUE(h.Ended());
    EXPECT_TRUE(h.Find("window", "created main").empty());
}

TEST(AppCommandLine, SetupWordWorksWhileABridgeRuns) {
    sim::Harness bridge;
    bridge.Start();
    ASSERT_NE(bridge.Bridge(), nullptr);

    sim::Harness setup;
    setup.Start(CBridgeApp::kSetupWord);
    EXPECT_TRUE(WindowOpen(setup, IDD_SETUP));
    EXPECT_TRUE(setup.Find("msgbox").empty());
    ASSERT_TRUE(setup.Close("setup"));
    EXPECT_TRUE(setup.Ended());

    // The running bridge is untouched and still owns the mutex.
    bridge.Run(1000);
    EXPECT_NE(bridge.Bridge(), nullptr);
    EXPECT_TRUE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
}

TEST(AppCommandLine, SetupWordIsCaseSensitive) {
    sim::Harness h;
    h.Start("voip");
    ASSERT_NE(h.Bridge(), nullptr);
    EXPECT_FALSE(WindowOpen(h, IDD_SETUP));
    EXPECT_TRUE(sim::HeadlessSystem::MutexExists(CBridgeApp::kMutexName));
}

TEST(AppCommandLine, SetupWordMustStandAtTheStart) {
    sim::Harness h;
    h.Start(" VOIP");
    ASSERT_NE(h.Bridge(), nullptr);
    EXPECT_FALSE(WindowOpen(h, IDD_SETUP));
}

TEST(AppCommandLine, PlainStartHasNoDebugWindow) {
    sim::Harness h;
    h.Start();
    ASSERT_NE(h.Bridge(), nullptr);
    EXPECT_FALSE(WindowOpen(h, IDD_DEBUG));
    EXPECT_EQ(h.Bridge()->m_bDebugMode, 0);
}

TEST(AppCommandLine, DebugWindowWordIsAPrefixAndKeepsLogging) {
    sim::Harness h;
    h.Start(std::string(CBridgeApp::kDebugWindowWord) + " x");
    ASSERT_NE(h.Bridge(), nullptr);
    EXPECT_TRUE(WindowOpen(h, IDD_DEBUG));
    EXPECT_EQ(h.Bridge()->m_bDebugMode, 0);
}

TEST(AppCommandLine, DebugWindowWordIsCaseSensitive) {
    sim::Harness h;
    h.Start("qopa");
    ASSERT_NE(h.Bridge(), nullptr);
    EXPECT_FALSE(WindowOpen(h, IDD_DEBUG));
}

TEST(AppCommandLine, DebugModeNeedsTheWholeLine) {
    sim::Harness exact;
    exact.Start(CBridgeApp::kDebugModeLine);
    ASSERT_NE(exact.Bridge(), nullptr);
    EXPECT_TRUE(WindowOpen(exact, IDD_DEBUG));
    EXPECT_EQ(exact.Bridge()->m_bDebugMode, 1);
    exact.Command(ID_TRAY_EXIT);

    sim::Harness blank;
    blank.Start(std::string(CBridgeApp::kDebugModeLine) + " ");
    ASSERT_NE(blank.Bridge(), nullptr);
    EXPECT_FALSE(WindowOpen(blank, IDD_DEBUG));
    EXPECT_EQ(blank.Bridge()->m_bDebugMode, 0);
}

TEST(AppCommandLine, DebugModeMutesTheLogWriters) {
    sim::Harness h;
    h.PlugBase();
    h.Start(CBridgeApp::kDebugModeLine);
    h.Run(3000);
    EXPECT_TRUE(h.Find("voip-log", kFindUsbLine).empty());
    EXPECT_FALSE(h.Find("broadcast").empty());
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

// ---- main timer and the device check ----

TEST(AppDeviceCheck, MainTimerRunsFromStart) {
    sim::Harness h;
    h.Start();
    CBridgeDlg* dlg = h.Bridge();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(h.Platform().loop.HasTimer(dlg->Handle(), TIMER_TICK));
    EXPECT_EQ(dlg->m_nStatus, STATUS_BASE_ABSENT);
    EXPECT_EQ(dlg->m_nLinkState, Detached);
    EXPECT_EQ(dlg->m_usb.m_pOwner, dlg);
}

TEST(AppDeviceCheck, NoSoundDeviceNoDiscoveryThenBothWithinASecondOfPlugging) {
    sim::Harness h;
    h.Start(CBridgeApp::kDebugWindowWord);
    h.Run(5000);
    EXPECT_TRUE(h.Find("voip-log", kFindUsbLine).empty());
    EXPECT_TRUE(h.Find("broadcast").empty());
    EXPECT_TRUE(h.Find("thread").empty());
    EXPECT_EQ(h.Bridge()->m_nLinkState, Detached);

    const std::uint64_t plugged = h.Now();
    h.PlugBase();
    h.Run(1200);
    const auto found = h.Find("voip-log", kFindUsbLine);
    const auto broadcast = h.Find("broadcast");
    ASSERT_EQ(found.size(), 1u);
    ASSERT_EQ(broadcast.size(), 1u);
    EXPECT_LE(found[0].time - plugged, kDeviceCheckEvery * kTickMs);
    EXPECT_LE(broadcast[0].time - plugged, (kDeviceCheckEvery + 1) * kTickMs);
    EXPECT_EQ(h.Bridge()->m_strAudioDevice, sim::HeadlessPlatform::kBaseWaveDevice);
    EXPECT_EQ(h.Find("thread", "created").size(), 1u);
}

TEST(AppDeviceCheck, OnlyAProductNameBeginningWithThePrefixCounts) {
    sim::Harness h;
    h.Platform().waveOut.Add("Speakers VA6");
    h.Platform().waveOut.Add("va6 lower case");
    h.Start(CBridgeApp::kDebugWindowWord);
    h.Run(3000);
    EXPECT_TRUE(h.Find("voip-log", kFindUsbLine).empty());

    h.Platform().waveOut.Add("VA6-2 Handsfree");
    h.Run(1000);
    EXPECT_EQ(h.Find("voip-log", kFindUsbLine).size(), 1u);
    EXPECT_EQ(h.Bridge()->m_strAudioDevice, "VA6-2 Handsfree");
}

TEST(AppDeviceCheck, MinorVersionZeroStartsTheThreadAtTheFirstCheckWithoutSoundDevice) {
    sim::Harness h(WithOs(5, 0));
    h.Start(CBridgeApp::kDebugWindowWord);
    h.Run(3000);
    const auto created = h.Find("thread", "created");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].time, kDeviceCheckEvery * kTickMs);
    EXPECT_EQ(h.Find("thread", "resumed").size(), 1u);
    EXPECT_EQ(h.Find("voip-log", kFindUsbLine).size(), 1u);
    EXPECT_EQ(h.Bridge()->m_nOsVersion, 0);
    EXPECT_TRUE(h.Bridge()->m_strAudioDevice.empty());
}

TEST(AppDeviceCheck, WindowsVersionsAreKeptOrFolded) {
    const struct {
        unsigned minor;
        int stored;
    } cases[] = {{0, 0}, {1, 1}, {10, 10}, {2, kOsVersionOther}, {90, kOsVersionOther}};
    for (const auto& c : cases) {
        sim::Harness h(WithOs(5, c.minor));
        h.Start();
        ASSERT_NE(h.Bridge(), nullptr);
        EXPECT_EQ(h.Bridge()->m_nOsVersion, c.stored) << "minor " << c.minor;
    }
}

TEST(AppDeviceCheck, OtherVersionsWaitForTheSoundDevice) {
    sim::Harness h(WithOs(6, 2));
    h.Start();
    h.Run(3000);
    EXPECT_TRUE(h.Find("thread").empty());
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

TEST(AppExit, SuspendsTheDeviceThreadAndSendsTheExitCodeToALiveClient) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(3000);
    ASSERT_EQ(h.Find("thread", "created").size(), 1u);
    ASSERT_NE(g_hClientWnd, 0u);

    const int before = static_cast<int>(h.Client().Commands().size());
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(h.Ended());
    const int removed = h.IndexOf("tray", "remove");
    const int suspended = h.IndexOf("thread", "suspended");
    ASSERT_GE(removed, 0);
    ASSERT_GT(suspended, removed);
    // The exit code carries a 4-byte zero value: the client sees an empty text.
    const int sent = h.IndexOf("client>", "", suspended);
    ASSERT_GT(sent, suspended);
    EXPECT_EQ(h.Transcript()[static_cast<std::size_t>(sent)].text, "");
    ASSERT_EQ(static_cast<int>(h.Client().Commands().size()), before + 1);
}

}  // namespace
