// Nobody waits on the base: a poll's wait for the base's report is a state of the link, not
// a block of the UI thread. These tests meet the orders the client, the user and the base
// can arrive in: a notification at each point of a poll, the tray menu held open while
// calls come and go, a message box open while the base sends reports, Exit while a read is
// outstanding. The bus runs live reads (a report completes the outstanding read the moment
// the base sends it, and a poll's wait lasts its 200 ms of virtual time).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "res/resource.h"

namespace {

constexpr std::uint64_t kReadyMs = 10000;
constexpr std::uint64_t kBetweenTicksMs = 37;  // a moment that is no tick's
constexpr std::uint64_t kPollWaitMs = 200;
constexpr std::uint64_t kKeepAliveEveryMs = 800;  // every fourth poll of an idle base
constexpr const char* kKeepAlive = "00000000";
constexpr const char* kCall = "7";

class NoWait : public ::testing::Test {
protected:
    NoWait() { client::g_bRefusalArmed = 1; }

    // A healthy base and Skype attached, the debug window recording both logs.
    void Boot() {
        h.LiveReads(true);
        h.PlugBase();
        h.StartClient(sim::ClientKindSim::Skype);
        h.Start("QOPA");
        ASSERT_TRUE(RunUntil([&] { return AllReady(); }, kReadyMs));
        Mark();
    }
    bool AllReady() {
        CBridgeDlg* dlg = h.Bridge();
        return dlg && dlg->m_nStatus == STATUS_READY && dlg->m_bClientAttached == 1 && dlg->m_nLinkState == Ready;
    }
    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) {
        for (std::uint64_t waited = 0; waited < limitMs; waited += 10) {
            if (done()) return true;
            h.Run(10);
        }
        return done();
    }
    void Mark() { mark_ = h.Transcript().size(); }

    // The first line of the kind containing the text after the mark; its index (-1: none).
    int At(const std::string& kind, const std::string& text, int from = -1) const {
        return h.IndexOf(kind, text, from < 0 ? static_cast<int>(mark_) : from);
    }
    std::uint64_t TimeOf(int index) const { return h.Transcript()[static_cast<std::size_t>(index)].time; }
    int Count(const std::string& kind, const std::string& text) const {
        int n = 0;
        for (std::size_t i = mark_; i < h.Transcript().size(); ++i)
            if (h.Transcript()[i].kind == kind && h.Transcript()[i].text.find(text) != std::string::npos) ++n;
        return n;
    }

    // A call rings and handset 1 answers it; the client has it in progress.
    void Answered() {
        h.ClientSay(std::string("CALL ") + kCall + " STATUS RINGING");
        h.Run(100);
        h.Base().Answer(1);
        ASSERT_TRUE(RunUntil([&] { return h.Bridge()->m_nStatus == STATUS_IN_CALL; }, 1000));
        h.Run(300);
        Mark();
    }

    // The read is never started over one still outstanding, and at most one is.
    void ExpectSoundReads() {
        EXPECT_EQ(h.Platform().hid.ReadsStartedOverPending(), 0);
        EXPECT_LE(h.Platform().hid.PendingReads(), 1);
    }
    // The link still polls: keep-alives go out at the idle cadence, and a key is answered.
    void ExpectStillPolling() {
        Mark();
        h.Run(2 * kKeepAliveEveryMs);
        EXPECT_GE(Count("usb>", kKeepAlive), 1);
        ExpectSoundReads();
    }

    sim::Harness h;
    std::size_t mark_ = 0;
};

// ---- the wait holds nobody up ----

TEST_F(NoWait, AReportIsHandledTheMomentItArrivesWhileThePollWaits) {
    Boot();
    Answered();
    h.Run(kBetweenTicksMs);
    ASSERT_EQ(h.Platform().hid.PendingReads(), 1);  // the poll waits for its report
    const std::uint64_t pressed = h.Now();
    h.Base().Key(1, '5');
    h.Run(0);
    const int dtmf = At("client>", std::string("SET CALL ") + kCall + " DTMF 5");
    ASSERT_GE(dtmf, 0);
    EXPECT_EQ(TimeOf(dtmf), pressed);
    ExpectSoundReads();
}

TEST_F(NoWait, EachReportTakesAReadOfItsOwnStartedByAPoll) {
    Boot();
    Answered();
    // Early in a poll's wait, before any tick finds it still waiting.
    const auto waitJustBegun = [&] {
        return h.Platform().hid.WaitStartedAt() == static_cast<std::int64_t>(h.Now());
    };
    ASSERT_TRUE(RunUntil(waitJustBegun, 1000));
    h.Run(kBetweenTicksMs);
    const int readsBefore = h.Platform().hid.ReadsStarted();
    const std::uint64_t pressed = h.Now();
    for (char key : {'1', '2', '3'}) h.Base().Key(1, key);
    h.Run(1000);
    const std::string prefix = std::string("SET CALL ") + kCall + " DTMF ";
    const int first = At("client>", prefix + "1");
    const int second = At("client>", prefix + "2", first);
    const int third = At("client>", prefix + "3", second);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    ASSERT_GE(third, 0);
    EXPECT_EQ(TimeOf(first), pressed);  // the read was waiting
    // The others each wait for a poll to start the next read: one a tick.
    EXPECT_GT(TimeOf(second), TimeOf(first));
    EXPECT_EQ(TimeOf(third) - TimeOf(second), kTickMs);
    // Two reads for the queued reports, and the one now waiting for the next.
    EXPECT_EQ(h.Platform().hid.ReadsStarted() - readsBefore, 3);
    ExpectSoundReads();
}

TEST_F(NoWait, AnIdleBaseIsPolledAndKeptAliveAsWhenThePollBlocked) {
    Boot();
    const int readsBefore = h.Platform().hid.ReadsStarted();
    h.Run(4 * kKeepAliveEveryMs);
    std::vector<std::uint64_t> times;
    for (std::size_t i = mark_; i < h.Transcript().size(); ++i)
        if (h.Transcript()[i].kind == "usb>" && h.Transcript()[i].text == kKeepAlive)
            times.push_back(h.Transcript()[i].time);
    ASSERT_GE(times.size(), 3u);
    // A poll waits its 200 ms for a report that never comes; every fourth one keeps alive.
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], kKeepAliveEveryMs);
    // No read is started while the last one is still out.
    EXPECT_EQ(h.Platform().hid.ReadsStarted(), readsBefore);
    ExpectSoundReads();
}

TEST_F(NoWait, TheRingingAlertDoesNotWaitForThePoll) {
    Boot();
    h.Run(kBetweenTicksMs);
    const std::uint64_t rang = h.Now();
    h.ClientSay("CALL 11 STATUS RINGING");  // the client names the caller at once
    h.Run(100);
    const int alert = At("usb>", "24240C05");
    ASSERT_GE(alert, 0);
    EXPECT_LE(TimeOf(alert) - rang, kHandsetNewsMs);
    EXPECT_LT(At("client>", "GET CALL 11 PARTNER_HANDLE"), alert);
}

// ---- a notification at each point of a poll ----

enum class Point {
    WhileThePollWaits,        // the read is outstanding and nothing has arrived
    ReportArrivedFirst,       // the report and the notification arrive together, the report first
    ReportArrivesMeanwhile,   // the report arrives while the notification is being handled
    InsideTheReportsHandling, // the client answers the report's command with a notification
    InsideATick,              // the report is taken by a tick (a box's loop watched no event)
};

class NotificationAt : public NoWait, public ::testing::WithParamInterface<Point> {};

// A message read at the PC: the bridge asks the client for its sender at once.
constexpr const char* kSaid = "MESSAGE 88 STATUS READ";
constexpr const char* kAsked = "GET MESSAGE 88 PARTNER_HANDLE";

TEST_P(NotificationAt, ItIsHandledAtOnceAndTheReportExactlyOnce) {
    Boot();
    Answered();
    const std::string dtmf = std::string("SET CALL ") + kCall + " DTMF 5";
    const auto sayInsideTheKeysCommand = [&](const std::string& command) {
        if (command == dtmf) h.ClientSayNow(kSaid);
    };
    h.Run(kBetweenTicksMs);
    const std::uint64_t start = h.Now();
    switch (GetParam()) {
        case Point::WhileThePollWaits:
            h.ClientSay(kSaid);
            h.Base().Key(1, '5');
            h.Run(0);
            break;
        case Point::ReportArrivedFirst:
            h.Base().Key(1, '5');
            h.ClientSay(kSaid);
            break;
        case Point::ReportArrivesMeanwhile:
            h.DuringClientCommand([&](const std::string& command) {
                if (command == kAsked) h.Base().Key(1, '5');
            });
            h.ClientSay(kSaid);
            h.DuringClientCommand(nullptr);
            break;
        case Point::InsideTheReportsHandling:
            h.DuringClientCommand(sayInsideTheKeysCommand);
            h.Base().Key(1, '5');
            h.Run(0);
            h.DuringClientCommand(nullptr);
            break;
        case Point::InsideATick:
            h.SetAutoMessageBoxes(false);
            h.Command(ID_TRAY_OPTIONS);
            h.CheckRadio("options", IDC_LOOPBACK);
            h.Click("options", IDC_EXECUTE);
            // "loopback test ok!", whose loop watches no event.
            ASSERT_TRUE(RunUntil([&] { return h.OpenMessageBoxes() == 1; }, 500));
            h.DuringClientCommand(sayInsideTheKeysCommand);
            h.Base().Key(1, '5');
            h.Run(0);
            EXPECT_EQ(At("client>", dtmf), -1);  // not yet: the next tick takes it
            h.Run(100);
            h.DuringClientCommand(nullptr);
            ASSERT_TRUE(h.ConfirmMessageBox());
            break;
    }
    h.Run(300);
    const int key = At("client>", dtmf);
    const int asked = At("client>", kAsked);
    ASSERT_GE(key, 0);
    ASSERT_GE(asked, 0);
    EXPECT_EQ(Count("client>", dtmf), 1);
    EXPECT_EQ(Count("client>", kAsked), 1);
    switch (GetParam()) {
        case Point::WhileThePollWaits:
        case Point::ReportArrivesMeanwhile:
            EXPECT_LT(asked, key);
            break;
        case Point::ReportArrivedFirst:  // a set event goes before the queue
            EXPECT_LT(key, asked);
            break;
        case Point::InsideTheReportsHandling:
        case Point::InsideATick: {
            // Nested in the key's SendMessage, before the rest of the report's work.
            EXPECT_LT(key, asked);
            const int display = At("usb>", "2424140A01", key);
            ASSERT_GE(display, 0);
            EXPECT_LT(asked, display);
            break;
        }
    }
    if (GetParam() == Point::InsideATick) {
        EXPECT_LE(TimeOf(key) - start, 100u);
    } else {
        EXPECT_EQ(TimeOf(key), start);
        EXPECT_EQ(TimeOf(asked), start);
    }
    ExpectSoundReads();
    ExpectStillPolling();
}

INSTANTIATE_TEST_SUITE_P(EveryPoint, NotificationAt,
                         ::testing::Values(Point::WhileThePollWaits, Point::ReportArrivedFirst,
                                           Point::ReportArrivesMeanwhile, Point::InsideTheReportsHandling,
                                           Point::InsideATick));

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
