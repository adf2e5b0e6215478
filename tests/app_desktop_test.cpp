// The bridge on a Windows desktop with more going on than one user at the machine: the
// session ending (log-off, shut-down, an installer's Restart Manager) and the user's session
// leaving the console and coming back.
#include <gtest/gtest.h>

#include <cstdint>
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

// ---- the user's session and the console ----

constexpr unsigned kLock = 7;    // WTS_SESSION_LOCK
constexpr unsigned kUnlock = 8;  // WTS_SESSION_UNLOCK

// Runs in 100 ms steps until the condition holds or the time is up.
bool RunUntil(sim::Harness& h, const std::function<bool()>& done, std::uint64_t limitMs) {
    for (std::uint64_t waited = 0; waited < limitMs; waited += kTickMs) {
        if (done()) return true;
        h.Run(kTickMs);
    }
    return done();
}

// Ready: the base found and tested, Skype attached.
void StartReady(sim::Harness& h) {
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_READY; }, 10000));
}

std::size_t LinesFrom(sim::Harness& h, int from, const std::string& kind, const std::string& fragment = "") {
    std::size_t n = 0;
    for (int i = h.IndexOf(kind, fragment, from); i >= 0; i = h.IndexOf(kind, fragment, i + 1)) ++n;
    return n;
}

// Reports written to the base or read from it since `from`.
std::size_t BaseTrafficFrom(sim::Harness& h, int from) { return LinesFrom(h, from, "usb>") + LinesFrom(h, from, "usb<"); }

TEST(AppUserSession, TheMainDialogHearsOfTheSessionUntilExit) {
    sim::Harness h;
    h.Start();
    EXPECT_EQ(h.Platform().session.Watching(), std::vector<plat::WindowHandle>{h.Bridge()->Handle()});
    h.Command(ID_TRAY_EXIT);
    EXPECT_TRUE(h.Platform().session.Watching().empty());
}

TEST(AppUserSession, LeavingTheConsoleLetsTheBaseGoAsIfUnplugged) {
    sim::Harness h;
    StartReady(h);
    const int away = static_cast<int>(h.Transcript().size());
    h.SessionChange(kSessionConsoleDisconnect);  // another user's session takes the console
    // The base's reports are no longer read, and nothing is written to it.
    h.Base().Key(1, '5');
    h.Run(1000);
    EXPECT_EQ(LinesFrom(h, away, "usb<"), 0u);
    EXPECT_EQ(LinesFrom(h, away, "usb>"), 0u);
    // The information window says so once the device link's checks agree, as after an unplug.
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_BASE_ABSENT; }, 5000));
    // The client link is this user's own and stays: a call rings at the client, waits to
    // ring on the handsets until the base is back, and nothing is ended at the client.
    h.ClientSay("CALL 40 STATUS RINGING");
    h.Run(5000);
    EXPECT_EQ(h.IndexOf("client>", "GET CALL 40 PARTNER_HANDLE", away), -1);
    EXPECT_EQ(LinesFrom(h, away, "usb>"), 0u);
    EXPECT_EQ(LinesFrom(h, away, "client>", "FINISHED"), 0u);
    // The base stays away however long the user is.
    h.Run(20000);
    EXPECT_EQ(BaseTrafficFrom(h, away), 0u);
}

TEST(AppUserSession, BackAtTheConsoleTheBaseIsFoundAndTestedAgain) {
    sim::Harness h;
    StartReady(h);
    h.SessionChange(kSessionConsoleDisconnect);
    h.Run(5000);
    ASSERT_EQ(h.Bridge()->m_nStatus, STATUS_BASE_ABSENT);
    const int back = static_cast<int>(h.Transcript().size());
    h.SessionChange(kSessionConsoleConnect);
    // Found at the device link's next search (every 2 s), then the loopback test.
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_READY; }, 5000));
    const int found = h.IndexOf("status", "8", back);
    ASSERT_GE(found, 0);
    EXPECT_GT(h.IndexOf("usb<", "2424081008", found), found);  // an echo of the link test
    // And the handsets work again.
    h.Base().DialString(1, "0123", false);
    h.Run(500);
    EXPECT_GE(h.IndexOf("client>", "CALL 0123", back), 0);
}

TEST(AppUserSession, AHandsetCallIsEndedOnceTheBaseIsGoneAsAfterAnUnplug) {
    sim::Harness h;
    StartReady(h);
    h.ClientSay("CALL 41 STATUS RINGING");
    h.Run(500);
    h.Base().Answer(1);
    h.Run(500);
    ASSERT_GE(h.IndexOf("client>", "SET CALL 41 STATUS INPROGRESS"), 0);
    const int away = static_cast<int>(h.Transcript().size());
    h.SessionChange(kSessionConsoleDisconnect);
    // The handset that held it lost it with the base: once the loss is noticed the call is
    // ended at the client, and not again when the user is back.
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_BASE_ABSENT; }, 5000));
    const int finished = h.IndexOf("client>", "SET CALL 41 STATUS FINISHED", away);
    ASSERT_GE(finished, 0);
    EXPECT_GT(h.IndexOf("client>", "HOOK ON", finished), finished);
    h.SessionChange(kSessionConsoleConnect);
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_READY; }, 5000));
    h.Run(1000);
    EXPECT_EQ(LinesFrom(h, away, "client>", "FINISHED"), 1u);
}

TEST(AppUserSession, ARemoteConnectionIsNotTheConsole) {
    for (unsigned change : {kSessionRemoteConnect, kSessionRemoteDisconnect}) {
        sim::Harness h;
        StartReady(h);
        const int away = static_cast<int>(h.Transcript().size());
        h.SessionChange(change);
        h.Run(5000);
        EXPECT_EQ(h.Bridge()->m_nStatus, STATUS_BASE_ABSENT) << "change " << change;
        EXPECT_EQ(BaseTrafficFrom(h, away), 0u) << "change " << change;
    }
}

TEST(AppUserSession, ALockedScreenKeepsTheBase) {
    sim::Harness h;
    StartReady(h);
    const int locked = static_cast<int>(h.Transcript().size());
    h.SessionChange(kLock);
    h.Run(3000);
    EXPECT_EQ(h.Bridge()->m_nStatus, STATUS_READY);
    EXPECT_GT(LinesFrom(h, locked, "usb>"), 0u);  // keep-alives go on
    // A call rings on the handsets of a locked machine.
    h.ClientSay("CALL 42 STATUS RINGING");
    h.Run(500);
    EXPECT_GE(h.IndexOf("usb>", "24240C0581", locked), 0);
    h.SessionChange(kUnlock);
    EXPECT_EQ(h.Bridge()->m_nStatus, STATUS_RINGING);
}

TEST(AppUserSession, StartedAwayFromTheConsoleLeavesTheBaseAlone) {
    sim::Options o;
    o.atConsole = false;  // a remote session, or a user switched away during the log-in
    sim::Harness h(o);
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(10000);
    EXPECT_TRUE(h.Find("usb>").empty());
    EXPECT_TRUE(h.Find("usb<").empty());
    EXPECT_EQ(h.Bridge()->m_nStatus, STATUS_BASE_ABSENT);
    EXPECT_EQ(h.Bridge()->m_bClientAttached, 1);  // the user's client is served all the same
    h.SessionChange(kSessionConsoleConnect);
    EXPECT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_READY; }, 5000));
}

TEST(AppUserSession, ARefusedRequestForTheNewsIsMadeAgainOnceASecond) {
    sim::Harness h;
    h.Platform().session.FailWatches(3);  // the session service is not up yet
    h.Start();
    h.Run(2900);
    EXPECT_TRUE(h.Platform().session.Watching().empty());
    h.Run(100);
    EXPECT_EQ(h.Platform().session.Watching(), std::vector<plat::WindowHandle>{h.Bridge()->Handle()});
}

TEST(AppUserSession, AChangeNobodyHeardOfIsReadWhenTheRequestIsTaken) {
    sim::Harness h;
    h.Platform().session.FailWatches(2);
    h.PlugBase();
    h.Start();
    h.Platform().session.SetAtConsole(false);  // switched away before the request was taken
    h.Run(3000);
    ASSERT_EQ(h.Platform().session.Watching().size(), 1u);
    EXPECT_TRUE(h.Find("usb>").empty());
    ASSERT_TRUE(RunUntil(h, [&] { return h.Bridge()->m_nStatus == STATUS_BASE_ABSENT; }, 5000));
    h.Run(5000);
    EXPECT_TRUE(h.Find("usb>").empty());
}

}  // namespace
