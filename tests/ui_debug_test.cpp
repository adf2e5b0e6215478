// The debug window: both logs newest on top, the log files and their pairs, Save, Write,
// the muted debug mode, the commands without a control and the About item.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "client/ClientTexts.h"
#include "tools/world/Harness.h"
#include "res/ResourceTables.h"
#include "res/resource.h"
#include "tests/ui_harness.h"
#include "ui/DebugDlg.h"

namespace {

using ui_test::CrLfLines;
using ui_test::Items;
using ui_test::ReadFile;
using ui_test::TextsFrom;

constexpr std::uint64_t kBootMs = 5000;  // base found and tested, client attached: both logs have lines

std::vector<std::string> Reversed(std::vector<std::string> lines) {
    std::reverse(lines.begin(), lines.end());
    return lines;
}

// "MM:SS " of the virtual clock (the harness's day starts at 10:07:00).
std::string Stamp(std::uint64_t nowMs) {
    const unsigned seconds = 7 * 60 + static_cast<unsigned>(nowMs / 1000);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u ", (seconds / 60) % 60, seconds % 60);
    return text;
}

class DebugWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.Ready()); }

    // A bridge with its debug window, a base and a client, run until both logs have lines.
    void Boot(const std::string& commandLine = "QOPA") {
        h.PlugBase();
        h.StartClient(sim::ClientKindSim::Skype);
        h.Start(commandLine);
        h.Run(kBootMs);
        ASSERT_NE(h.Bridge(), nullptr);
        ASSERT_NE(ui_test::Window(h, IDD_DEBUG), nullptr);
    }
    // As the user reads it (the key's "&" is an underline).
    std::string SaveLabel() {
        const sim::ControlState* c = ui_test::Control(h, IDD_DEBUG, IDC_SAVE);
        return c ? res::VisibleText(c->text) : "<none>";
    }

    ui_test::WorkFolder folder;  // first: the harness's files close before it goes
    sim::Harness h;
};

TEST_F(DebugWindow, NewestLineOnTopOfItsListAndLastInItsFile) {
    Boot();
    const std::vector<std::string> device = TextsFrom(h, "device-log");
    const std::vector<std::string> voip = TextsFrom(h, "voip-log");
    ASSERT_GE(device.size(), 2u);
    ASSERT_GE(voip.size(), 2u);
    // The lists show the lines newest first...
    EXPECT_EQ(Items(h, IDD_DEBUG, IDC_DEVICE_LOG), Reversed(device));
    EXPECT_EQ(Items(h, IDD_DEBUG, IDC_VOIP_LOG), Reversed(voip));
    EXPECT_NE(voip.front().find("FindUSB"), std::string::npos);
    // ...and the first pair of a run holds them oldest first, complete once saved.
    EXPECT_EQ(h.IndexOf("file", "open usb0.txt"), h.IndexOf("file", "open"));
    ASSERT_TRUE(h.Click("debug", IDC_SAVE));
    EXPECT_EQ(ReadFile("usb0.txt"), CrLfLines(device));
    EXPECT_EQ(ReadFile("voip0.txt"), CrLfLines(voip));
    // The attach line ends in a line feed of its own: on disk it is a CR LF like any other.
    const std::string file = ReadFile("voip0.txt");
    EXPECT_NE(file.find("#disconnect\r\n\r\n"), std::string::npos);
    for (std::size_t i = file.find('\n'); i != std::string::npos; i = file.find('\n', i + 1))
        EXPECT_TRUE(i > 0 && file[i - 1] == '\r') << "bare line feed at byte " << i;
}

TEST_F(DebugWindow, EachSaveClosesThePairAndOpensTheNext) {
    Boot();
    const std::size_t first = h.Transcript().size();
    const std::vector<std::string> device0 = TextsFrom(h, "device-log");
    const std::vector<std::string> voip0 = TextsFrom(h, "voip-log");
    ASSERT_FALSE(device0.empty());
    ASSERT_FALSE(voip0.empty());
    EXPECT_EQ(SaveLabel(), "Save 0");

    ASSERT_TRUE(h.Click("debug", IDC_SAVE));
    EXPECT_EQ(SaveLabel(), "Save 1");
    EXPECT_EQ(TextsFrom(h, "file", first),
              (std::vector<std::string>{"close usb0.txt", "close voip0.txt", "open usb1.txt", "open voip1.txt"}));

    const std::size_t second = h.Transcript().size();
    h.Base().RegisterEnd();  // one more device line
    h.ClientSay("USER echo123 ONLINESTATUS ONLINE");
    h.Run(1000);
    const std::vector<std::string> device1 = TextsFrom(h, "device-log", second);
    const std::vector<std::string> voip1 = TextsFrom(h, "voip-log", second);
    ASSERT_FALSE(device1.empty());
    ASSERT_FALSE(voip1.empty());

    ASSERT_TRUE(h.Click("debug", IDC_SAVE));
    EXPECT_EQ(SaveLabel(), "Save 2");
    // Both saved pairs are complete on disk, every line ending in CR LF; pair 2 is open.
    EXPECT_EQ(ReadFile("usb0.txt"), CrLfLines(device0));
    EXPECT_EQ(ReadFile("voip0.txt"), CrLfLines(voip0));
    EXPECT_EQ(ReadFile("usb1.txt"), CrLfLines(device1));
    EXPECT_EQ(ReadFile("voip1.txt"), CrLfLines(voip1));
    EXPECT_NE(h.IndexOf("file", "open usb2.txt"), -1);
}

TEST_F(DebugWindow, CloseBoxKeepsTheFilesOpenUntilExit) {
    Boot();
    const std::vector<std::string> device = TextsFrom(h, "device-log");
    const std::vector<std::string> voip = TextsFrom(h, "voip-log");
    ASSERT_FALSE(device.empty());
    ASSERT_TRUE(h.Close("debug"));
    EXPECT_NE(h.IndexOf("window", "destroyed debug"), -1);
    EXPECT_EQ(h.IndexOf("file", "close"), -1);
    ASSERT_NE(h.Bridge()->m_pDebugDlg, nullptr);

    // Nothing more is logged while the window is gone, and exit completes the pair.
    h.Run(2000);
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(h.Ended());
    EXPECT_EQ(TextsFrom(h, "device-log").size(), device.size());
    EXPECT_NE(h.IndexOf("file", "close usb0.txt"), -1);
    EXPECT_EQ(ReadFile("usb0.txt"), CrLfLines(device));
    EXPECT_EQ(ReadFile("voip0.txt"), CrLfLines(voip));
}

TEST_F(DebugWindow, ANewWindowOfTheRunTakesTheNextPair) {
    Boot();
    ASSERT_TRUE(h.Close("debug"));
    const std::size_t mark = h.Transcript().size();
    h.Command(ID_TRAY_DEBUG);
    ASSERT_NE(ui_test::Window(h, IDD_DEBUG), nullptr);
    // The dead window's object goes (closing pair 0) before the new one opens pair 1.
    EXPECT_EQ(TextsFrom(h, "file", mark),
              (std::vector<std::string>{"close usb0.txt", "close voip0.txt", "open usb1.txt", "open voip1.txt"}));
    EXPECT_EQ(SaveLabel(), "Save 0");  // the template's text until the first Save
    ASSERT_TRUE(h.Click("debug", IDC_SAVE));
    EXPECT_EQ(SaveLabel(), "Save 2");
}

TEST_F(DebugWindow, EnterAndEscCloseItAndItsCommandOpensItAgain) {
    Boot();
    for (int key : {IDOK, IDCANCEL}) {
        ui_test::Deliver(h, IDD_DEBUG, [key](plat::Dialog& dlg) { EXPECT_TRUE(dlg.OnCommand(key)); });
        EXPECT_EQ(ui_test::Window(h, IDD_DEBUG), nullptr) << "key " << key;
        h.Command(ID_TRAY_DEBUG);
        const sim::WindowState* debug = ui_test::Window(h, IDD_DEBUG);
        ASSERT_NE(debug, nullptr);
        EXPECT_TRUE(debug->visible);
    }
    // A hidden window is shown by the command, not only raised.
    ui_test::Deliver(h, IDD_DEBUG, [](plat::Dialog& dlg) { dlg.ShowWindow(false); });
    h.Command(ID_TRAY_DEBUG);
    EXPECT_TRUE(ui_test::Window(h, IDD_DEBUG)->visible);
    EXPECT_EQ(h.Find("window", "created debug").size(), 3u);
}

TEST_F(DebugWindow, DebugModeLogsOnlyTheRawTrace) {
    Boot("DEBUG");
    EXPECT_TRUE(h.Find("device-log").empty());
    EXPECT_TRUE(h.Find("voip-log").empty());

    ASSERT_TRUE(h.Click("debug", IDC_WRITE));
    const std::string line = Stamp(h.Now()) + "Send 00010203040506070809";
    EXPECT_EQ(TextsFrom(h, "device-log"), std::vector<std::string>{line});
    EXPECT_EQ(Items(h, IDD_DEBUG, IDC_DEVICE_LOG), std::vector<std::string>{line});
    // "Write" sends nothing to the base.
    EXPECT_EQ(h.IndexOf("usb>", "00010203040506070809"), -1);

    h.Run(1000);
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(Items(h, IDD_DEBUG, IDC_VOIP_LOG).empty());
    EXPECT_EQ(ReadFile("usb0.txt"), line + "\r\n");
    EXPECT_EQ(ReadFile("voip0.txt"), "");
}

// Decision: a log file that cannot be created only loses its own lines; the lists, the
// other file and the next Save keep working.
TEST_F(DebugWindow, AFileThatCannotBeCreatedLeavesTheListsWorking) {
    ASSERT_EQ(mkdir("usb0.txt", 0755), 0);  // a folder in the file's place
    Boot();
    EXPECT_NE(h.IndexOf("file", "open-failed usb0.txt"), -1);
    const std::vector<std::string> device = TextsFrom(h, "device-log");
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(Items(h, IDD_DEBUG, IDC_DEVICE_LOG), Reversed(device));

    ASSERT_TRUE(h.Click("debug", IDC_SAVE));
    EXPECT_EQ(SaveLabel(), "Save 1");
    EXPECT_EQ(ReadFile("voip0.txt"), CrLfLines(TextsFrom(h, "voip-log")));
    const std::size_t mark = h.Transcript().size();
    h.Base().RegisterEnd();
    h.Run(1000);
    const std::vector<std::string> later = TextsFrom(h, "device-log", mark);
    ASSERT_FALSE(later.empty());
    ASSERT_TRUE(h.Click("debug", IDC_SAVE));
    EXPECT_EQ(ReadFile("usb1.txt"), CrLfLines(later));
}

TEST_F(DebugWindow, SystemMenuAboutItemOpensTheAboutBox) {
    Boot();
    const sim::WindowState* debug = ui_test::Window(h, IDD_DEBUG);
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(debug->systemMenuItems,
              (std::vector<std::string>{"-", res::FindString(IDS_ABOUTBOX, res::Lang::English)}));
    const plat::WindowHandle debugHandle = debug->handle;

    // Other system commands get the default handling.
    bool handled = true;
    ui_test::Deliver(h, IDD_DEBUG, [&](plat::Dialog& d) { handled = d.OnSysCommand(0xF060); });
    EXPECT_FALSE(handled);
    EXPECT_EQ(ui_test::Window(h, IDD_ABOUTBOX), nullptr);

    // The low four bits of the command carry flags.
    ui_test::Deliver(h, IDD_DEBUG, [](plat::Dialog& d) { d.OnSysCommand(IDM_ABOUTBOX | 0x3); });
    const sim::WindowState* about = ui_test::Window(h, IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->modal);
    EXPECT_EQ(about->parent, debugHandle);
    EXPECT_EQ(about->caption, "About Bridger");
    ASSERT_TRUE(h.Click("about", IDOK));
    EXPECT_EQ(ui_test::Window(h, IDD_ABOUTBOX), nullptr);
    EXPECT_NE(ui_test::Window(h, IDD_DEBUG), nullptr);
}

TEST_F(DebugWindow, CommandsWithoutAControl) {
    h.PlugBase();
    h.Start("QOPA");
    ASSERT_NE(h.Bridge(), nullptr);
    const std::size_t mark = h.Transcript().size();

    // 1004 and 1012 step through a name list nothing fills: an empty VoIP line each.
    ui_test::Deliver(h, IDD_DEBUG, [](plat::Dialog& d) { d.OnCommand(IDC_CMD_NAME_NEXT); });
    ui_test::Deliver(h, IDD_DEBUG, [](plat::Dialog& d) { d.OnCommand(IDC_CMD_NAME_PREV); });
    EXPECT_EQ(TextsFrom(h, "voip-log", mark), (std::vector<std::string>{Stamp(0), Stamp(0)}));
    // 1002, 1013 do nothing; 1009 needs an edit 1008 the window does not have.
    const std::size_t quiet = h.Transcript().size();
    for (int id : {IDC_CMD_NOTHING, IDC_CMD_MESSAGE_BODY, IDC_CMD_SEND_EDIT})
        ui_test::Deliver(h, IDD_DEBUG, [id](plat::Dialog& d) { d.OnCommand(id); });
    EXPECT_EQ(h.Transcript().size(), quiet);

    // 1001 is one tick of the device search: ten find the plugged base at once.
    for (int i = 0; i < 10; ++i)
        ui_test::Deliver(h, IDD_DEBUG, [](plat::Dialog& d) { d.OnCommand(IDC_CMD_CHECK_DEVICE); });
    EXPECT_EQ(TextsFrom(h, "voip-log", quiet), std::vector<std::string>{Stamp(0) + "FindUSB"});
    EXPECT_NE(h.Bridge()->m_pThread, nullptr);

    // 1011 calls the selected contact; with none selected the VoIP log says so.
    const std::size_t call = h.Transcript().size();
    ui_test::Deliver(h, IDD_DEBUG, [](plat::Dialog& d) { d.OnCommand(IDC_CMD_CALL_SELECTED); });
    EXPECT_EQ(TextsFrom(h, "voip-log", call), std::vector<std::string>{Stamp(0) + client::kLogNoSelection});
}

}  // namespace
