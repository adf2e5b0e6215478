// The tray icon and what the user reaches from it: the popup menu, the options sheet on a
// double click, the information window, and the client choice commands.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/BridgeApp.h"
#include "app/BridgeDlg.h"
#include "app/ShellConstants.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "res/resource.h"
#include "tools/sim/SimClient.h"
#include "ui/OptionsSheet.h"

namespace {

// Runs the bridge in 100 ms steps until the condition holds or the time is up.
bool RunUntil(sim::Harness& h, const std::function<bool()>& done, std::uint64_t limitMs) {
    for (std::uint64_t waited = 0; waited < limitMs; waited += kTickMs) {
        if (done()) return true;
        h.Run(kTickMs);
    }
    return done();
}

std::string InfoText(sim::Harness& h, int controlId) {
    const sim::WindowState* w = h.Platform().windows.FindByTemplate(IDD_INFO);
    if (!w) return "<no window>";
    const sim::ControlState* c = h.Platform().windows.Control(w->handle, controlId);
    return c ? c->text : "<no control>";
}

std::size_t Broadcasts(sim::Harness& h, sim::ClientKindSim kind) {
    return h.Find("broadcast", sim::SimClient::DiscoverName(kind)).size();
}

// ---- the icon ----

TEST(AppTray, IconIsAddedAtStartWithItsRecord) {
    sim::Harness h;
    h.Start();
    const sim::HeadlessTray::Icon* icon = h.Platform().tray.Shown();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->owner, h.Bridge()->Handle());
    EXPECT_EQ(icon->id, kTrayIconId);
    EXPECT_EQ(icon->callbackMessage, WM_TRAY_CALLBACK);
    EXPECT_EQ(icon->iconResource, IDI_APP);
    EXPECT_EQ(icon->tip, "");
    EXPECT_EQ(h.Find("tray", "add").size(), 1u);
}

TEST(AppTray, RightClickShowsInfoOptionsExit) {
    sim::Harness h;
    h.Start();
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    EXPECT_EQ(h.Platform().tray.LastMenu(), (std::vector<std::string>{"Info", "Options", "Exit"}));
    // The menu is loaded afresh each time: a second click shows the same three items.
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    EXPECT_EQ(h.Find("tray", "menu").size(), 2u);
    EXPECT_EQ(h.Platform().tray.LastMenu(), (std::vector<std::string>{"Info", "Options", "Exit"}));
}

TEST(AppTray, RightClickInChinese) {
    sim::Options o;
    o.lang = "zh-TW";
    sim::Harness h(o);
    h.Start();
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    EXPECT_EQ(h.Platform().tray.LastMenu(), (std::vector<std::string>{"資訊", "選項", "離開"}));
}

TEST(AppTray, OtherMouseMessagesDoNothing) {
    sim::Harness h;
    h.Start();
    const std::size_t before = h.Transcript().size();
    ASSERT_TRUE(h.TrayCallback(0x0200));  // mouse move
    ASSERT_TRUE(h.TrayCallback(0x0202));  // left button up
    ASSERT_TRUE(h.TrayCallback(0x0400));  // NIN_SELECT: a single click
    EXPECT_EQ(h.Transcript().size(), before);
}

TEST(AppTray, TodaysShellIsAskedForKeyboardEvents) {
    sim::Harness h;
    h.Start();
    const sim::HeadlessTray::Icon* icon = h.Platform().tray.Shown();
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->version4);
    // A right click (press, release, WM_CONTEXTMENU) shows one menu, where the shell says.
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    EXPECT_EQ(h.Find("tray", "menu").size(), 1u);
    EXPECT_TRUE(h.Platform().tray.LastMenuPlaced());
}

TEST(AppTray, MenuKeyOpensTheMenuAtTheIcon) {
    sim::Harness h;
    h.Start();
    ASSERT_TRUE(h.TrayCallback(kTrayContextMenu));  // Shift+F10 or the menu key on the icon
    EXPECT_EQ(h.Platform().tray.LastMenu(), (std::vector<std::string>{"Info", "Options", "Exit"}));
    ASSERT_TRUE(h.Platform().tray.LastMenuPlaced());
    EXPECT_EQ(h.Platform().tray.LastMenuX(), sim::HeadlessTray::kIconX);
    EXPECT_EQ(h.Platform().tray.LastMenuY(), sim::HeadlessTray::kIconY);
}

TEST(AppTray, AnOlderShellKeepsTheMenuOnTheRightPress) {
    sim::Harness h;
    h.Platform().tray.SetVersion4Refused(true);
    h.Start();
    ASSERT_FALSE(h.Platform().tray.Shown()->version4);
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    EXPECT_EQ(h.Platform().tray.LastMenu(), (std::vector<std::string>{"Info", "Options", "Exit"}));
    EXPECT_FALSE(h.Platform().tray.LastMenuPlaced());
    // Without today's callback a WM_CONTEXTMENU cannot come from the shell: it is not one.
    ASSERT_TRUE(h.TrayCallback(kTrayContextMenu));
    EXPECT_EQ(h.Find("tray", "menu").size(), 1u);
}

TEST(AppTray, ExplorerRestartAddsTheIconAgainWithItsTip) {
    sim::Harness h;
    h.Start();
    const std::string tip = h.Platform().tray.Shown()->tip;
    h.RestartShell();
    const int restart = h.IndexOf("tray", "restart");
    ASSERT_GE(restart, 0);
    EXPECT_GT(h.IndexOf("tray", "add", restart), restart);
    const sim::HeadlessTray::Icon* icon = h.Platform().tray.Shown();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->owner, h.Bridge()->Handle());
    EXPECT_EQ(icon->id, kTrayIconId);
    EXPECT_EQ(icon->callbackMessage, WM_TRAY_CALLBACK);
    EXPECT_EQ(icon->tip, tip);
    EXPECT_TRUE(icon->version4);
    // And it works as before.
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    EXPECT_EQ(h.Platform().tray.LastMenu(), (std::vector<std::string>{"Info", "Options", "Exit"}));
    // Each restart brings it back once.
    h.RestartShell();
    EXPECT_EQ(h.Find("tray", "add").size(), 3u);
}

TEST(AppTray, NoIconAfterExitEvenWhenExplorerRestarts) {
    sim::Harness h;
    h.Start(CBridgeApp::kDebugWindowWord);  // the debug window outlives nothing: all go at Exit
    h.Command(ID_TRAY_EXIT);
    h.RestartShell();
    EXPECT_EQ(h.Platform().tray.Shown(), nullptr);
    EXPECT_EQ(h.Find("tray", "add").size(), 1u);
}

TEST(AppTray, NoIconAfterExit) {
    sim::Harness h;
    h.Start();
    h.Command(ID_TRAY_EXIT);
    EXPECT_EQ(h.Platform().tray.Shown(), nullptr);
    std::string error;
    EXPECT_FALSE(h.TrayCallback(kTrayRightDown, &error));
}

// ---- the options sheet ----

TEST(AppOptions, DoubleClickWithoutBaseDoesNothing) {
    sim::Harness h;
    h.Start();
    ASSERT_EQ(h.Bridge()->m_nStatus, STATUS_BASE_ABSENT);
    ASSERT_TRUE(h.TrayCallback(kTrayDoubleClick));
    h.Command(ID_TRAY_OPTIONS);
    EXPECT_TRUE(h.Find("window", "created options").empty());
    EXPECT_EQ(h.Bridge()->m_pOptionsSheet, nullptr);
}

TEST(AppOptions, DoubleClickWithBaseOpensTheSheetOnce) {
    sim::Harness h;
    h.PlugBase();
    h.Start();
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus != STATUS_BASE_ABSENT; }, 10000));

    ASSERT_TRUE(h.TrayCallback(kTrayDoubleClick));
    EXPECT_EQ(h.Find("window", "created options").size(), 1u);
    COptionsSheet* sheet = h.Bridge()->m_pOptionsSheet;
    ASSERT_NE(sheet, nullptr);

    ASSERT_TRUE(h.TrayCallback(kTrayDoubleClick));
    EXPECT_EQ(h.Find("window", "created options").size(), 1u);
    EXPECT_EQ(h.Bridge()->m_pOptionsSheet, sheet);

    // A sheet the user closed is replaced by a new one.
    ASSERT_TRUE(h.Close("options"));
    ASSERT_TRUE(h.TrayCallback(kTrayDoubleClick));
    EXPECT_EQ(h.Find("window", "created options").size(), 2u);
    ASSERT_NE(h.Bridge()->m_pOptionsSheet, nullptr);
    EXPECT_TRUE(h.Bridge()->m_pOptionsSheet->IsWindow());

    h.Command(ID_TRAY_EXIT);
    EXPECT_EQ(h.Find("window", "destroyed options").size(), 2u);
}

TEST(AppOptions, EnterOnTheIconOpensTheSheetAsADoubleClickDoes) {
    sim::Harness h;
    h.PlugBase();
    h.Start();
    ASSERT_TRUE(h.TrayCallback(kTrayKeySelect));  // no base yet: nothing, as a double click
    EXPECT_TRUE(h.Find("window", "created options").empty());
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus != STATUS_BASE_ABSENT; }, 10000));
    ASSERT_TRUE(h.TrayCallback(kTrayKeySelect));
    EXPECT_EQ(h.Find("window", "created options").size(), 1u);
    ASSERT_TRUE(h.TrayCallback(kTrayKeySelect));
    EXPECT_EQ(h.Find("window", "created options").size(), 1u);
}

// ---- the information window ----

TEST(AppInfo, OpensAtStartAndIsRaisedNotDuplicated) {
    sim::Harness h;
    h.Start();
    EXPECT_EQ(h.Find("window", "created info").size(), 1u);
    EXPECT_EQ(InfoText(h, IDC_INFO_STATUS), "USB Disconnected");
    EXPECT_EQ(InfoText(h, IDC_INFO_VOIP), "NOT READY");

    h.Command(ID_TRAY_INFO);
    h.Command(ID_TRAY_INFO);
    EXPECT_EQ(h.Find("window", "created info").size(), 1u);
}

TEST(AppInfo, ClosedWindowIsRecreatedWithTheCurrentState) {
    sim::Harness h;
    h.Start();
    ASSERT_TRUE(h.Close("info"));
    EXPECT_EQ(h.Platform().windows.FindByTemplate(IDD_INFO), nullptr);

    h.Bridge()->m_strDisplayName = "0123456";
    h.Command(ID_TRAY_INFO);
    EXPECT_EQ(h.Find("window", "created info").size(), 2u);
    EXPECT_EQ(InfoText(h, IDC_INFO_STATUS), "USB Disconnected");
    EXPECT_EQ(InfoText(h, IDC_INFO_NAME), "0123456");
}

TEST(AppInfo, StatusTextsFollowTheStatusAndUnknownCodesKeepTheLastText) {
    sim::Harness h;
    h.Start();
    CBridgeDlg* dlg = h.Bridge();
    const struct {
        int status;
        const char* text;
    } cases[] = {
        {STATUS_OFF_HOOK, "OFF HOOK"},     {STATUS_READY, "USB READY"},     {STATUS_PRESS, "PRESS"},
        {STATUS_CALL_OUT, "CALL OUT"},     {STATUS_IN_CALL, "INCOMMING"},   {STATUS_RINGING, "Ringing"},
        {STATUS_BASE_FOUND, "USB READY"},  {STATUS_TEST_FAILED, "Error!Please restart base."},
        {STATUS_BASE_ABSENT, "USB Disconnected"},
    };
    for (const auto& c : cases) {
        dlg->m_nStatus = c.status;
        dlg->UpdateInfoDialog();
        EXPECT_EQ(InfoText(h, IDC_INFO_STATUS), c.text) << "status " << c.status;
    }
    dlg->m_nStatus = 9;
    dlg->UpdateInfoDialog();
    EXPECT_EQ(InfoText(h, IDC_INFO_STATUS), "USB Disconnected");
    EXPECT_EQ(dlg->m_strStatusText, "USB Disconnected");
    // A code with an entry shows its text even when that text is empty.
    dlg->m_strPress.clear();
    dlg->m_nStatus = STATUS_PRESS;
    dlg->UpdateInfoDialog();
    EXPECT_EQ(InfoText(h, IDC_INFO_STATUS), "");
}

TEST(AppInfo, DebugWindowCommandOpensOneWindowAndReplacesAClosedOne) {
    sim::Harness h;
    h.Start();
    h.Command(ID_TRAY_DEBUG);
    h.Command(ID_TRAY_DEBUG);
    EXPECT_EQ(h.Find("window", "created debug").size(), 1u);
    ASSERT_TRUE(h.Close("debug"));
    h.Command(ID_TRAY_DEBUG);
    EXPECT_EQ(h.Find("window", "created debug").size(), 2u);
    EXPECT_NE(h.Platform().windows.FindByTemplate(IDD_DEBUG), nullptr);
}

// ---- client choice ----

TEST(AppConnect, SameKindTwiceResetsOnceAndTheOtherKindResetsAgain) {
    sim::Harness h;
    h.PlugBase();
    h.Start();
    h.Run(2000);
    ASSERT_EQ(Broadcasts(h, sim::ClientKindSim::Skype), 1u);

    h.Command(ID_CONNECT_SOPHONE);
    EXPECT_EQ(h.Bridge()->m_nClientKind, SoftPhone);
    EXPECT_EQ(h.Bridge()->m_nLinkState, Detached);
    h.Run(2000);
    EXPECT_EQ(Broadcasts(h, sim::ClientKindSim::SoftPhone), 1u);

    h.Command(ID_CONNECT_SOPHONE);
    EXPECT_NE(h.Bridge()->m_nLinkState, Detached);
    h.Run(2000);
    EXPECT_EQ(Broadcasts(h, sim::ClientKindSim::SoftPhone), 1u);

    h.Command(ID_CONNECT_SKYPE);
    EXPECT_EQ(h.Bridge()->m_nClientKind, Skype);
    h.Run(2000);
    EXPECT_EQ(Broadcasts(h, sim::ClientKindSim::Skype), 2u);
    EXPECT_EQ(Broadcasts(h, sim::ClientKindSim::SoftPhone), 1u);
}

TEST(AppConnect, ChangingKindDetachesAnAttachedClient) {
    sim::Harness h;
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_bClientAttached == 1; }, 5000));
    EXPECT_EQ(InfoText(h, IDC_INFO_VOIP), "READY");

    h.Command(ID_CONNECT_SKYPE);
    EXPECT_EQ(h.Bridge()->m_bClientAttached, 1);

    h.Command(ID_CONNECT_SOPHONE);
    EXPECT_EQ(h.Bridge()->m_bClientAttached, 0);
    EXPECT_EQ(InfoText(h, IDC_INFO_VOIP), "NOT READY");
}

}  // namespace
