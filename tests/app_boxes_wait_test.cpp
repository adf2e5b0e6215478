// Nobody waits on the base, while a box or menu runs its own loop: the tray menu held open
// while calls come and go, a message box open while the base sends reports, Exit while a
// read is outstanding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/waits_harness.h"

namespace waits_test {
namespace {

// ---- the tray menu held open ----

// The right click arrives as a sent message while the bridge waits on its client inside the
// handling of a report: the menu waits until that work is over, and then its loop runs
// the polls, not inside one.
TEST_F(NoWait, TheTrayMenuHeldOpenWhileCallsRingAreAnsweredAndEnd) {
    Boot();
    Answered();
    h.SetManualMenus(true);
    const std::string dtmf = std::string("SET CALL ") + kCall + " DTMF 4";
    h.DuringClientCommand([&](const std::string& command) {
        // Today's shell asks for the menu with WM_CONTEXTMENU, the icon's id in the high word.
        if (command == dtmf) h.SendNow(WM_TRAY_CALLBACK, 0, (kTrayIconId << 16) | kTrayContextMenu);
    });
    h.Base().Key(1, '4');
    h.Run(0);
    h.DuringClientCommand(nullptr);
    ASSERT_TRUE(h.MenuOpen());
    const int menu = At("tray", "menu");
    ASSERT_GE(menu, 0);
    EXPECT_LT(At("usb>", "2424140A01", At("client>", dtmf)), menu);  // the report's work came first

    // Under the menu: the call ends on the handset, the next one rings, is answered, keyed
    // and ended, and a third rings and is answered.
    h.Base().HangUp(1);
    h.Run(300);
    EXPECT_GE(At("client>", std::string("SET CALL ") + kCall + " STATUS FINISHED", menu), 0);
    EXPECT_GE(At("client>", "HOOK ON", menu), 0);
    for (const std::string id : {"21", "22"}) {
        const int from = static_cast<int>(h.Transcript().size());
        h.ClientSay("CALL " + id + " STATUS RINGING");
        h.Run(100);
        EXPECT_GE(At("usb>", "24240C05", from), 0) << id;
        h.Base().Answer(1);
        h.Run(300);
        EXPECT_GE(At("client>", "SET CALL " + id + " STATUS INPROGRESS", from), 0) << id;
        if (id == "22") break;
        h.Base().Key(1, '9');
        h.Run(300);
        EXPECT_GE(At("client>", "SET CALL " + id + " DTMF 9", from), 0);
        h.Base().HangUp(1);
        h.Run(300);
        EXPECT_GE(At("client>", "SET CALL " + id + " STATUS FINISHED", from), 0);
    }
    EXPECT_TRUE(h.MenuOpen());
    ExpectSoundReads();
    ExpectStillPolling();
    ASSERT_TRUE(h.CloseMenu());
    h.Base().HangUp(1);
    h.Run(300);
    EXPECT_GE(At("client>", "SET CALL 22 STATUS FINISHED"), 0);
}

// ---- message boxes open while the base sends reports ----

TEST_F(NoWait, TheLoopbackResultBoxStaysOpenWhileACallIsAnsweredAndKeyed) {
    Boot();
    h.SetAutoMessageBoxes(false);
    h.Command(ID_TRAY_OPTIONS);
    h.CheckRadio("options", IDC_LOOPBACK);
    h.Click("options", IDC_EXECUTE);
    // The version the sheet asked for comes first; the echo is the next poll's report.
    ASSERT_TRUE(RunUntil([&] { return h.OpenMessageBoxes() == 1; }, 500));
    // The echo was handled as it came; its box opened once that work was over.
    EXPECT_LT(At("usb<", "2424081008"), At("msgbox", ""));

    h.ClientSay("CALL 31 STATUS RINGING");
    h.Run(100);
    EXPECT_GE(At("usb>", "24240C05"), 0);
    h.Base().Answer(1);
    h.Run(300);
    EXPECT_GE(At("client>", "SET CALL 31 STATUS INPROGRESS"), 0);
    h.Base().Key(1, '8');
    h.Run(300);
    EXPECT_GE(At("client>", "SET CALL 31 DTMF 8"), 0);
    EXPECT_EQ(h.OpenMessageBoxes(), 1);
    ExpectStillPolling();
    ASSERT_TRUE(h.ConfirmMessageBox());
    h.Base().HangUp(1);
    h.Run(300);
    EXPECT_GE(At("client>", "SET CALL 31 STATUS FINISHED"), 0);
    ExpectSoundReads();
}

TEST_F(NoWait, TheRefusalBoxStaysOpenWhileTheBaseSendsAndExitsAfter) {
    Boot();
    h.SetAutoMessageBoxes(false);
    h.ClientAttach(2);
    ASSERT_EQ(h.OpenMessageBoxes(), 1);
    h.Base().FuncKey(1, '*');  // off hook
    h.Run(300);
    EXPECT_EQ(h.Bridge()->m_nStatus, STATUS_OFF_HOOK);
    h.Base().HangUp(1);
    h.Run(300);
    EXPECT_GE(At("usb>", "2424030301F9"), 0);  // the hang-up is acknowledged under the box
    ExpectStillPolling();
    ASSERT_TRUE(h.ConfirmMessageBox());
    h.Run(100);
    EXPECT_TRUE(h.Ended());
    EXPECT_EQ(h.Platform().hid.PendingReads(), 0);
    EXPECT_EQ(h.Platform().hid.OpenHandles(), 0);
}

// A client that sends its refusal while the bridge waits on it inside a report's work: the
// box, and the exit after it, wait until that work is over.
TEST_F(NoWait, ARefusalSentInsideAReportsWorkWaitsForItsEnd) {
    Boot();
    Answered();
    h.SetAutoMessageBoxes(false);
    const std::string dtmf = std::string("SET CALL ") + kCall + " DTMF 6";
    h.DuringClientCommand([&](const std::string& command) {
        if (command != dtmf) return;
        h.SendNow(h.Platform().messages.Register("SkypeControlAPIAttach"), h.ClientWindow(), 2);
    });
    h.Base().Key(1, '6');
    h.Run(0);
    h.DuringClientCommand(nullptr);
    ASSERT_EQ(h.OpenMessageBoxes(), 1);
    EXPECT_LT(At("usb>", "2424140A01", At("client>", dtmf)), At("msgbox", ""));
    ExpectStillPolling();
    ASSERT_TRUE(h.ConfirmMessageBox());
    h.Run(100);
    EXPECT_TRUE(h.Ended());
}

// ---- Exit while a read is outstanding ----

TEST_F(NoWait, ExitFromTheTrayMenuWhileAReadIsOutstanding) {
    Boot();
    h.SetManualMenus(true);
    h.Run(kBetweenTicksMs);
    ASSERT_EQ(h.Platform().hid.PendingReads(), 1);
    ASSERT_TRUE(h.TrayCallback(kTrayRightDown));
    ASSERT_TRUE(h.MenuOpen());
    h.Run(kPollWaitMs + kBetweenTicksMs);
    ASSERT_EQ(h.Platform().hid.PendingReads(), 1);
    ASSERT_TRUE(h.ChooseMenuItem(ID_TRAY_EXIT));
    h.Run(100);
    EXPECT_TRUE(h.Ended());
    EXPECT_GE(h.IndexOf("exit", "1"), 0);
    // The read was given up with the device; a report sent afterwards goes nowhere.
    EXPECT_EQ(h.Platform().hid.PendingReads(), 0);
    EXPECT_EQ(h.Platform().hid.OpenHandles(), 0);
    h.Base().Key(1, '1');
    h.Run(300);
    EXPECT_EQ(h.Platform().hid.PendingReads(), 0);
}

}  // namespace
}  // namespace waits_test
