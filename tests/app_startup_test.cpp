// Start-up of the bridge process: the command-line words and the search for the base
// station's sound device.
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

// ---- main timer and the device check ----

TEST(AppDeviceCheck, StartStateAfterInitDialog) {
    sim::Harness h;
    h.Start();
    CBridgeDlg* dlg = h.Bridge();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(h.Platform().loop.HasTimer(dlg->Handle(), TIMER_TICK));
    EXPECT_EQ(dlg->m_usb.m_pOwner, dlg);
    EXPECT_EQ(dlg->m_nStatus, STATUS_BASE_ABSENT);
    EXPECT_EQ(dlg->m_nLinkState, Detached);
    EXPECT_EQ(dlg->m_nClientKind, Skype);
    EXPECT_EQ(dlg->m_bCallClosed, 1);
    EXPECT_EQ(dlg->m_bOnlinePending, 1);
    EXPECT_EQ(dlg->m_bDiscoverPending, 1);
    EXPECT_EQ(dlg->m_bContactScan, 1);
    EXPECT_EQ(dlg->m_pThread, nullptr);
    EXPECT_EQ(dlg->m_pOptionsSheet, nullptr);
    EXPECT_NE(dlg->m_pInfoDlg, nullptr);
    EXPECT_EQ(dlg->m_pDebugDlg, nullptr);
    EXPECT_EQ(g_hClientWnd, 0u);
    const int zeroes[] = {dlg->m_bSettingChain,     dlg->m_bSecondCall, dlg->m_bLoopbackPending,
                          dlg->m_nPending,          dlg->m_bDevicePresent, dlg->m_bDebugMode,
                          dlg->m_bDndForSecondCall, dlg->m_bInCall,      dlg->m_bClientAttached,
                          dlg->m_bContactSelected};
    for (int value : zeroes) EXPECT_EQ(value, 0);
    EXPECT_TRUE(dlg->m_strCallId.empty());
    EXPECT_TRUE(dlg->m_strHeldCallId.empty());
    // The texts the handlers of later events show are loaded at start.
    EXPECT_EQ(dlg->m_strLoopbackFail, "loopback test fail!");
    EXPECT_EQ(dlg->m_strNoReply, "Error! Device not reply !");
    EXPECT_EQ(dlg->m_strRefused, "Connection refused! The Appliction will be end!");
    // The dialog has no visible style and is never shown.
    const sim::WindowState* main = h.Platform().windows.FindByTemplate(IDD_BRIDGE);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(main->visible);
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
        unsigned major, minor;
        int stored;
    } cases[] = {
        {5, 0, 0}, {5, 1, 1}, {4, 10, 10}, {5, 2, kOsVersionOther}, {4, 90, kOsVersionOther},
        {6, 0, 0}, {6, 1, 1},                                 // Vista, 7
        {6, 2, kOsVersionOther},                              // 8, and 8.1 to 11 undeclared
        {6, 3, kOsVersionOther}, {10, 0, kOsVersionOther},    // 8.1, 10 and 11 declared
        {10, 10, kOsVersionOther}, {11, 1, kOsVersionOther},  // and whatever comes after
    };
    for (const auto& c : cases) {
        sim::Harness h(WithOs(c.major, c.minor));
        h.Start();
        ASSERT_NE(h.Bridge(), nullptr);
        EXPECT_EQ(h.Bridge()->m_nOsVersion, c.stored) << "version " << c.major << "." << c.minor;
    }
}

TEST(AppDeviceCheck, Windows10ChoosesTheBaseSoundDeviceAtTheClient) {
    // The version a declared Windows 10 or 11 reports: minor 0, as Vista's.
    sim::Harness h(WithOs(10, 0));
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(3000);
    EXPECT_EQ(h.Bridge()->m_strAudioDevice, sim::HeadlessPlatform::kBaseWaveDevice);
    EXPECT_GE(h.IndexOf("client>", callcmd::AudioIn(sim::HeadlessPlatform::kBaseWaveDevice)), 0);
    EXPECT_GE(h.IndexOf("client>", callcmd::AudioOut(sim::HeadlessPlatform::kBaseWaveDevice)), 0);
}

TEST(AppDeviceCheck, Windows10WaitsForTheSoundDeviceAsWindows8Did) {
    sim::Harness h(WithOs(10, 0));
    h.Start();
    h.Run(3000);
    EXPECT_TRUE(h.Find("thread").empty());
    EXPECT_TRUE(h.Find("broadcast").empty());
}

TEST(AppDeviceCheck, OtherVersionsWaitForTheSoundDevice) {
    sim::Harness h(WithOs(6, 2));
    h.Start();
    h.Run(3000);
    EXPECT_TRUE(h.Find("thread").empty());
}

}  // namespace
