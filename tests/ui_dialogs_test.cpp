// The information window (run-time caption, boxes filled at once, reopened fresh), the
// Setup dialog's download button and the About box's template.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BridgeApp.h"
#include "app/BridgeDlg.h"
#include "tools/world/Harness.h"
#include "res/ResourceTables.h"
#include "res/resource.h"
#include "tests/ui_harness.h"
#include "ui/InfoDlg.h"
#include "ui/SetupDlg.h"

namespace {

std::string Box(sim::Harness& h, int id) {
    const sim::ControlState* c = ui_test::Control(h, IDD_INFO, id);
    return c ? c->text : "<none>";
}

sim::Options Language(const std::string& lang) {
    sim::Options o;
    o.lang = lang;
    return o;
}

class InfoWindow : public ::testing::TestWithParam<std::string> {};

TEST_P(InfoWindow, RunTimeCaptionWithTrailingBlankInEveryLanguage) {
    sim::Harness h(Language(GetParam()));
    h.Start();
    const sim::WindowState* info = ui_test::Window(h, IDD_INFO);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->caption, "Information R-517 V1.2 ");
    EXPECT_EQ(CInfoDlg::RuntimeCaption(), "Information R-517 V1.2 ");
    EXPECT_TRUE(info->visible);
    // Filled at creation, in the language's texts.
    const res::Lang lang = sim::LangOf(GetParam());
    EXPECT_EQ(Box(h, IDC_INFO_VOIP), res::FindString(IDS_NOT_READY, lang));
    EXPECT_EQ(Box(h, IDC_INFO_STATUS), res::FindString(IDS_USB_DISCONNECTED, lang));
}

INSTANTIATE_TEST_SUITE_P(Languages, InfoWindow, ::testing::Values("en", "zh-TW"));

TEST(InfoWindowLife, ClosedWindowComesBackFreshWithTheCurrentState) {
    sim::Harness h;
    h.Start();
    ASSERT_TRUE(h.Close("info"));
    EXPECT_EQ(ui_test::Window(h, IDD_INFO), nullptr);
    ASSERT_NE(h.Bridge()->m_pInfoDlg, nullptr);  // the object outlives its window

    // The state changes while no window shows it.
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Run(5000);
    ASSERT_EQ(h.Bridge()->m_bClientAttached, 1);
    h.Bridge()->m_strDisplayName = "echo123";

    const std::size_t mark = h.Transcript().size();
    h.Command(ID_TRAY_INFO);
    EXPECT_EQ(ui_test::TextsFrom(h, "window", mark), std::vector<std::string>{"created info"});
    EXPECT_EQ(Box(h, IDC_INFO_VOIP), "READY");
    EXPECT_EQ(Box(h, IDC_INFO_STATUS), h.Bridge()->StatusText(h.Bridge()->m_nStatus));
    EXPECT_EQ(Box(h, IDC_INFO_NAME), "echo123");
    EXPECT_EQ(ui_test::Window(h, IDD_INFO)->caption, "Information R-517 V1.2 ");

    // Info again while it is open raises the same window.
    h.Command(ID_TRAY_INFO);
    EXPECT_EQ(h.Find("window", "created info").size(), 2u);
}

// Enter and Esc reach a dialog as the commands IDOK and IDCANCEL.
class InfoWindowKeys : public ::testing::TestWithParam<int> {};

TEST_P(InfoWindowKeys, CloseTheWindowAndInfoBringsItBack) {
    sim::Harness h;
    h.Start();
    ASSERT_NE(ui_test::Window(h, IDD_INFO), nullptr);
    const int key = GetParam();
    ui_test::Deliver(h, IDD_INFO, [key](plat::Dialog& dlg) { EXPECT_TRUE(dlg.OnCommand(key)); });
    EXPECT_EQ(ui_test::Window(h, IDD_INFO), nullptr);  // gone as with the close box, not hidden
    h.Command(ID_TRAY_INFO);
    const sim::WindowState* info = ui_test::Window(h, IDD_INFO);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->visible);
    EXPECT_EQ(h.Find("window", "created info").size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(EnterAndEsc, InfoWindowKeys, ::testing::Values(IDOK, IDCANCEL));

TEST(InfoWindowLife, InfoShowsAWindowThatWasHidden) {
    sim::Harness h;
    h.Start();
    ui_test::Deliver(h, IDD_INFO, [](plat::Dialog& dlg) { dlg.ShowWindow(false); });
    ASSERT_FALSE(ui_test::Window(h, IDD_INFO)->visible);
    h.Command(ID_TRAY_INFO);
    EXPECT_TRUE(ui_test::Window(h, IDD_INFO)->visible);
    EXPECT_EQ(h.Find("window", "created info").size(), 1u);  // the same window, shown again
}

TEST(SetupDialog, EachPressOfTheLinkAsksTheShellAgain) {
    sim::Harness h;
    h.Start(CBridgeApp::kSetupWord);
    const sim::ControlState* link = ui_test::Control(h, IDD_SETUP, IDC_SETUP_LINK);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(res::VisibleText(link->text), CSetupDlg::kDownloadHost);

    ASSERT_TRUE(h.Click("setup", IDC_SETUP_LINK));
    ASSERT_TRUE(h.Click("setup", IDC_SETUP_LINK));
    EXPECT_EQ(ui_test::TextsFrom(h, "shell"),
              (std::vector<std::string>{CSetupDlg::kDownloadUrl, CSetupDlg::kDownloadUrl}));
    EXPECT_FALSE(h.Ended());

    // "OK" ends the dialog and with it the process.
    ASSERT_TRUE(h.Click("setup", IDOK));
    EXPECT_TRUE(h.Ended());
}

}  // namespace
