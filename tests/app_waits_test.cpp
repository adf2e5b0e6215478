// Nobody waits on the base: a poll's wait for the base's report is a state of the link, not
// a block of the UI thread. These tests meet the orders the client, the user and the base
// can arrive in around a poll: a report the moment it arrives, a notification at each point
// of a poll. The boxes and menus are in app_boxes_wait_test.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "res/resource.h"
#include "tests/waits_harness.h"

namespace waits_test {
namespace {

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

}  // namespace
}  // namespace waits_test
