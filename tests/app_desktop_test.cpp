// The bridge on a Windows desktop with more going on than one user at the machine: the
// session ending (log-off, shut-down, an installer's Restart Manager) and the user's session
// leaving the console and coming back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/BridgeApp.h"
#include "app/BridgeDlg.h"
#include "app/ShellConstants.h"
#include "platform/headless/Harness.h"
#include "platform/headless/HeadlessPlatform.h"
#include "res/resource.h"
#include "tools/sim/SimClient.h"

namespace {

constexpr std::intptr_t kCloseApp = 0x00000001;  // ENDSESSION_CLOSEAPP: Restart Manager

// A bridge with its debug window (and so its two log files) and its base, attached to Skype.
void StartAttachedWithLogs(sim::Harness& h) {
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start(CBridgeApp::kDebugWindowWord);
    h.Run(3000);
    ASSERT_NE(g_hClientWnd, 0u);
    ASSERT_EQ(h.Find("file", "open").size(), 2u);
}

// ---- the session ends ----

TEST(AppEndSession, EveryWindowLetsTheSessionEnd) {
    sim::Harness h;
    StartAttachedWithLogs(h);
    const std::vector<std::intptr_t> answers = h.SendToTopLevel(kWmQueryEndSession, 0, 0);
    ASSERT_EQ(answers.size(), 3u);  // the main dialog, the information and debug windows
    for (std::intptr_t answer : answers) EXPECT_EQ(answer, 1);
    // Asking changes nothing yet: the user may still cancel.
    EXPECT_FALSE(h.Ended());
    EXPECT_TRUE(h.Find("file", "close").empty());
}

TEST(AppEndSession, EndingRunsTheWholeExitBeforeTheMessageReturns) {
    for (std::intptr_t why : {std::intptr_t{0}, kCloseApp}) {
        sim::Harness h;
        StartAttachedWithLogs(h);
        const std::size_t commandsBefore = h.Client().Commands().size();
        const int start = static_cast<int>(h.Transcript().size());
        h.SendToTopLevel(kWmQueryEndSession, 0, why);
        h.SendToTopLevel(kWmEndSession, 1, why);
        // Everything of Exit happened within the message: Windows may end the process now.
        const char* const order[][2] = {
            {"window", "destroyed debug"}, {"file", "close usb"}, {"file", "close voip"},
            {"window", "destroyed info"}, {"tray", "remove"}, {"client>", ""}, {"exit", "1"},
        };
        int previous = start - 1;
        for (const auto& step : order) {
            const int at = h.IndexOf(step[0], step[1], start);
            EXPECT_GT(at, previous) << step[0] << " " << step[1] << " (lparam " << why << ")";
            previous = at;
        }
        EXPECT_EQ(h.Client().Commands().size(), commandsBefore + 1);  // the exit code, once
        EXPECT_EQ(h.Platform().tray.Shown(), nullptr);
        EXPECT_TRUE(h.Ended());
    }
}

TEST(AppEndSession, ASessionThatGoesOnAfterAllChangesNothing) {
    sim::Harness h;
    StartAttachedWithLogs(h);
    h.SendToTopLevel(kWmQueryEndSession, 0, 0);
    h.SendToTopLevel(kWmEndSession, 0, 0);  // another program said no
    EXPECT_FALSE(h.Ended());
    EXPECT_TRUE(h.Find("file", "close").empty());
    EXPECT_NE(h.Platform().tray.Shown(), nullptr);
    h.ClientSay("CALL 5 STATUS RINGING");
    EXPECT_GE(h.IndexOf("client>", "GET CALL 5 PARTNER_HANDLE"), 0);
}

TEST(AppEndSession, EndingAfterExitDoesNothingTwice) {
    sim::Harness h(sim::Options{});
    h.SetAutoMessageBoxes(false);
    StartAttachedWithLogs(h);
    // A refusal box is open (its own loop runs) when the session ends; the box's OK then
    // finds the bridge gone and leaves nothing to do.
    h.ClientAttach(2);
    ASSERT_EQ(h.OpenMessageBoxes(), 1);
    h.SendToTopLevel(kWmEndSession, 1, 0);
    EXPECT_EQ(h.Find("tray", "remove").size(), 1u);
    ASSERT_TRUE(h.ConfirmMessageBox());
    EXPECT_EQ(h.Find("tray", "remove").size(), 1u);
    EXPECT_EQ(h.Find("exit").size(), 1u);
}

}  // namespace
