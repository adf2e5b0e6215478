// The headless event loop as the bridge sees it through its dialogs: timer order and
// ties, restarts, message boxes that nest and keep timers running, and the unwinding of
// a process that is still running when its harness goes away.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Platform.h"
#include "tools/world/Harness.h"
#include "res/resource.h"

namespace {


// A main dialog that logs its timers and runs the test's actions on command messages,
// so a test can make it act at a chosen virtual time.
class Probe : public plat::Dialog {
public:
    Probe(sim::Harness& harness, std::vector<std::string>& log)
        : plat::Dialog(IDD_BRIDGE), harness_(harness), log_(log) {}

    std::map<int, std::function<void()>> actions;    // by command id
    std::map<unsigned, std::function<void()>> onTimer;  // by timer id

    void OnTimer(unsigned id) override {
        log_.push_back("timer " + std::to_string(id) + " at " + std::to_string(harness_.Now()));
        auto it = onTimer.find(id);
        if (it != onTimer.end()) it->second();
    }
    bool OnCommand(int id) override {
        auto it = actions.find(id);
        if (it == actions.end()) return false;
        it->second();
        return true;
    }

private:
    sim::Harness& harness_;
    std::vector<std::string>& log_;
};

struct LoopTest : ::testing::Test {
    sim::Harness harness{[] {
        sim::Options o;
        o.autoMessageBoxes = false;
        return o;
    }()};
    std::vector<std::string> log;
    Probe* probe = nullptr;
    int modalResult = -2;

    // Runs a process whose main dialog is a Probe; `setup` prepares it before its window exists.
    void StartProbe(std::function<void(Probe&)> setup = {}) {
        harness.StartWith([this, setup] {
            Probe dlg(harness, log);
            probe = &dlg;
            if (setup) setup(dlg);
            modalResult = dlg.DoModal();
            probe = nullptr;
            return 0;
        });
    }
    void Act(int id, std::function<void()> action) {
        probe->actions[id] = std::move(action);
        harness.Command(id);
    }
};

TEST_F(LoopTest, TimersFireInDueOrderAndTiesInTheOrderTheyWereSet) {
    StartProbe();
    Act(1, [this] {
        probe->SetTimer(2, 300);
        probe->SetTimer(1, 100);
        probe->SetTimer(3, 300);
    });
    harness.Run(300);
    EXPECT_EQ(log, (std::vector<std::string>{"timer 1 at 100", "timer 1 at 200", "timer 2 at 300",
                                             "timer 1 at 300", "timer 3 at 300"}));
    EXPECT_EQ(harness.Now(), 300u);
}

TEST_F(LoopTest, SettingATimerAgainRestartsItAndKillingItStopsIt) {
    StartProbe();
    Act(1, [this] { probe->SetTimer(7, 100); });
    harness.Run(150);
    Act(2, [this] { probe->SetTimer(7, 100); });  // restarted at 150: next due at 250
    harness.Run(150);
    Act(3, [this] { probe->KillTimer(7); });
    harness.Run(1000);
    EXPECT_EQ(log, (std::vector<std::string>{"timer 7 at 100", "timer 7 at 250"}));
}

TEST_F(LoopTest, ADestroyedWindowGetsNoMoreTimersAndIsGone) {
    StartProbe();
    Act(1, [this] { probe->SetTimer(5, 100); });
    harness.Run(100);
    Act(2, [this] { probe->DestroyWindow(); });
    harness.Run(500);
    EXPECT_EQ(log, (std::vector<std::string>{"timer 5 at 100"}));
    // A modal dialog whose window is destroyed ends its loop.
    EXPECT_TRUE(harness.Ended());
    EXPECT_EQ(modalResult, -1);
    EXPECT_GE(harness.IndexOf("window", "destroyed main"), 0);
}

TEST_F(LoopTest, TimersKeepFiringWhileNestedMessageBoxesAreOpen) {
    StartProbe();
    Act(1, [this] { probe->SetTimer(1, 100); });
    // The first tick opens a box; the second tick, inside that box's loop, opens another.
    int ticks = 0;
    std::vector<std::string> closed;
    probe->onTimer[1] = [&] {
        const int mine = ++ticks;
        if (mine > 2) return;
        probe->MessageBox(mine == 1 ? "outer" : "inner");
        closed.push_back("box of tick " + std::to_string(mine) + " closed at " + std::to_string(harness.Now()));
    };
    harness.Run(500);
    EXPECT_EQ(harness.OpenMessageBoxes(), 2);
    EXPECT_EQ(ticks, 5);  // 100 and 200 open boxes; 300, 400 and 500 tick inside the inner one
    ASSERT_TRUE(harness.ConfirmMessageBox());  // the innermost
    EXPECT_EQ(harness.OpenMessageBoxes(), 1);
    harness.Run(100);
    EXPECT_EQ(ticks, 6);
    ASSERT_TRUE(harness.ConfirmMessageBox());
    EXPECT_EQ(harness.OpenMessageBoxes(), 0);
    EXPECT_FALSE(harness.ConfirmMessageBox());
    EXPECT_EQ(closed, (std::vector<std::string>{"box of tick 2 closed at 500", "box of tick 1 closed at 600"}));
    const auto boxes = harness.Find("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Format(), "100 msgbox outer");
    EXPECT_EQ(boxes[1].Format(), "200 msgbox inner");
}

TEST_F(LoopTest, AutomaticBoxesAreRecordedAndCloseAtOnce) {
    harness.SetAutoMessageBoxes(true);
    StartProbe();
    bool returned = false;
    Act(1, [&] {
        probe->MessageBox("Delete Finshed!");
        returned = true;
    });
    EXPECT_TRUE(returned);
    EXPECT_EQ(harness.OpenMessageBoxes(), 0);
    EXPECT_EQ(harness.IndexOf("msgbox", "Delete Finshed!"), 1);  // after "window created main"
}

TEST_F(LoopTest, EndDialogEndsTheModalLoopWithItsResult) {
    StartProbe();
    Act(1, [this] { probe->EndDialog(1); });
    EXPECT_TRUE(harness.Ended());
    EXPECT_EQ(modalResult, 1);
    EXPECT_EQ(harness.ExitCode(), 0);
    EXPECT_EQ(harness.Transcript().back().Format(), "0 exit 1");
}

TEST(LoopTeardown, ARunningProcessUnwindsEveryLoopAndRecordsNothingMore) {
    auto result = std::make_shared<int>(-2);
    auto boxReturned = std::make_shared<bool>(false);
    auto afterModal = std::make_shared<bool>(false);
    {
        sim::Options o;
        o.autoMessageBoxes = false;
        sim::Harness harness(o);
        std::vector<std::string> log;
        harness.StartWith([&harness, &log, result, boxReturned, afterModal] {
            Probe dlg(harness, log);
            dlg.actions[1] = [&dlg, boxReturned] {
                dlg.MessageBox("still open");
                *boxReturned = true;
                dlg.MessageBox("after the unwinding");
            };
            *result = dlg.DoModal();
            *afterModal = true;
            dlg.MessageBox("never shown");
            return 0;
        });
        harness.Command(1);
        ASSERT_EQ(harness.OpenMessageBoxes(), 1);
        EXPECT_FALSE(harness.Ended());
    }
    EXPECT_TRUE(*boxReturned);
    EXPECT_TRUE(*afterModal);
    EXPECT_EQ(*result, -1);
}

TEST(LoopClock, TheLocalTimeIsTheStartTimeOfDayPlusTheVirtualClock) {
    sim::Options o;
    o.clock = {23, 59, 58};
    sim::Harness harness(o);
    std::vector<std::string> log;
    std::vector<plat::TimeOfDay> seen;
    harness.StartWith([&] {
        Probe dlg(harness, log);
        dlg.actions[1] = [&] { seen.push_back(plat::system().LocalTime()); };
        return dlg.DoModal();
    });
    harness.Command(1);
    harness.Run(1999);
    harness.Command(1);
    harness.Run(1);
    harness.Command(1);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].hour * 10000 + seen[0].minute * 100 + seen[0].second, 235958);
    EXPECT_EQ(seen[1].hour * 10000 + seen[1].minute * 100 + seen[1].second, 235959);
    EXPECT_EQ(seen[2].hour * 10000 + seen[2].minute * 100 + seen[2].second, 0);  // past midnight
}

TEST(LoopSecondInstance, AMutexOfOneProcessIsSeenByAnotherUntilTheFirstEnds) {
    std::vector<std::string> log;
    auto first = std::make_unique<sim::Harness>();
    first->StartWith([&] {
        Probe dlg(*first, log);
        bool existed = true;
        plat::system().CreateMutex("QVZ", true, existed);
        log.push_back(existed ? "existed" : "created");
        return dlg.DoModal();
    });
    int found = -1;
    {
        sim::Harness second;
        second.StartWith([&] {
            bool existed = false;
            plat::system().CreateMutex("QVZ", true, existed);
            found = existed ? 1 : 0;
            return 0;
        });
        EXPECT_TRUE(second.Ended());
    }
    EXPECT_EQ(found, 1);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "created");
    EXPECT_FALSE(first->Ended());  // the first one runs on undisturbed
    first.reset();
    sim::Harness third;
    third.StartWith([&] {
        bool existed = true;
        plat::system().CreateMutex("QVZ", true, existed);
        found = existed ? 1 : 0;
        return 0;
    });
    EXPECT_EQ(found, 0);
}

}  // namespace
