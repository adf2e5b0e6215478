// How the end-to-end driver checks a scenario's expects on the real build: what of a line
// it can see from outside, the order it can tell for lines found by a look at the windows,
// and the status code behind the information window's text.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/BridgeDlg.h"
#include "tools/e2e-driver/Checks.h"
#include "tools/e2e-driver/StatusReading.h"
#include "tools/bridger-sim/Transcript.h"
#include "tools/e2e-driver/Recorder.h"

namespace {

TEST(E2eChecksTest, VirtualTimesAndLogClocksAreLeftOutOfWhatIsLookedFor) {
    EXPECT_EQ(e2e::PlanCheck("4100 usb> 2424").text, "usb> 2424");
    EXPECT_EQ(e2e::PlanCheck("4100 usb> 2424").kind, "usb>");
    EXPECT_EQ(e2e::PlanCheck("2424081208").text, "2424081208");  // a bare number is no time
    EXPECT_EQ(e2e::PlanCheck("6611 00000000").text, "6611 00000000");  // nor one before a text
    EXPECT_EQ(e2e::PlanCheck("0 window created main").text, "window created main");
    EXPECT_EQ(e2e::PlanCheck("FindUSB").text, "FindUSB");
    const e2e::Check log = e2e::PlanCheck("4000 device-log 07:04 test report test = 2, ok = 2");
    EXPECT_EQ(log.text, "device-log test report test = 2, ok = 2");
    EXPECT_TRUE(log.unseen.empty());
    EXPECT_EQ(e2e::PlanCheck("voip-log 07:05").text, "voip-log 07:05");  // no text after it: kept
    EXPECT_EQ(e2e::Comparable("device-log", "37:31 recv 2424"), "device-log recv 2424");
    EXPECT_EQ(e2e::Comparable("client>", "12:34 text"), "client> 12:34 text");
}

TEST(E2eChecksTest, WhatCannotBeSeenFromOutsideIsNamedAndNeverLookedFor) {
    const e2e::Check thread = e2e::PlanCheck("1000 thread created");
    EXPECT_TRUE(thread.text.empty());
    EXPECT_EQ(thread.unseen.rfind("thread state (", 0), 0u);

    const e2e::Check icon = e2e::PlanCheck("control options 1065 \"\" enabled visible icon=137");
    EXPECT_EQ(icon.text, "control options 1065 \"\" enabled visible");
    EXPECT_EQ(icon.unseen.rfind("icon shown (", 0), 0u);
    const e2e::Check checked = e2e::PlanCheck("control options 1055 \"Loopback\" enabled visible checked");
    EXPECT_EQ(checked.text, "control options 1055 \"Loopback\" enabled visible checked");
    EXPECT_TRUE(checked.unseen.empty());

    const e2e::Check menu = e2e::PlanCheck("tray menu Info|Options|Exit");
    EXPECT_EQ(menu.text, "tray menu");
    EXPECT_EQ(menu.unseen.rfind("menu items (", 0), 0u);
    EXPECT_TRUE(e2e::PlanCheck("tray menu").unseen.empty());
    const e2e::Check exit = e2e::PlanCheck("exit 1");
    EXPECT_EQ(exit.text, "exit");
    EXPECT_EQ(exit.unseen.rfind("dialog result (", 0), 0u);
    EXPECT_TRUE(e2e::PlanCheck("exit").unseen.empty());
    EXPECT_TRUE(e2e::PlanCheck("status 2 USB READY").unseen.empty());
}

TEST(E2eChecksTest, AScenarioMarksTheChecksThatCannotBeMadeInRealTime) {
    std::istringstream scenario(
        "# not checked on the real build: keep-alive step (a virtual-time boundary)\n"
        "expect-not usb> 00000000\n"
        "run 400\n"
        "# a plain comment\n"
        "\n"
        "  # not checked on the real build: tray (two lines of comment above it)\r\n"
        "# and more words\n"
        "expect tray add\n"
        "expect usb> 00000000\n");
    const std::map<int, std::string> marked = e2e::MarkedChecks(scenario);
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_EQ(marked.at(2), "keep-alive step (a virtual-time boundary)");
    EXPECT_EQ(marked.at(8), "tray (two lines of comment above it)");
    EXPECT_EQ(marked.count(9), 0u);
}

// A transcript recorded in real time, as the driver keeps it: the recorder orders the lines,
// the transcript's cursor checks them with the real-time policy.
struct RealTime {
    scn::Transcript transcript{e2e::Recorder::Policy()};
    e2e::Recorder recorder{transcript};

    void AddAt(double ms, const char* kind, const char* text) { recorder.AddAt(ms, kind, text); }
    void Flush(double upToMs) { recorder.Flush(upToMs); }
    const std::vector<sim::Line>& Lines() const { return transcript.Lines(); }
    bool Expect(const std::string& text) { return transcript.Expect(text) >= 0; }
    bool ExpectNot(const std::string& text) const { return transcript.ExpectNot(text) < 0; }  // none found
    void Acted(double ms) { transcript.Acted(ms); }
};

// The transcript with lines written: (since, time, kind, text).
struct Seen {
    double since, time;
    const char* kind;
    const char* text;
};
void Fill(RealTime& transcript, std::initializer_list<Seen> lines) {
    for (const Seen& s : lines) transcript.recorder.AddBetween(s.since, s.time, s.kind, s.text);
    transcript.Flush(1e9);
}

TEST(E2eChecksTest, LinesTheDriverSawAsTheyHappenedKeepTheirOrder) {
    RealTime transcript;
    Fill(transcript, {{100, 100, "client<", "CALL 7 STATUS RINGING"},
                      {110, 110, "client>", "GET CALL 7 PARTNER_HANDLE"},
                      {110, 110, "client>", "GET CALL 7 PARTNER_HANDLE"},
                      {300, 300, "usb>", "24240C0581"}});
    EXPECT_TRUE(transcript.Expect("client> GET CALL 7"));
    EXPECT_FALSE(transcript.Expect("client< CALL 7"));  // it came before
    EXPECT_TRUE(transcript.Expect("client> GET CALL 7"));  // the second one, not the first again
    EXPECT_FALSE(transcript.Expect("client> GET CALL 7"));
    EXPECT_TRUE(transcript.ExpectNot("client> GET"));
    EXPECT_FALSE(transcript.ExpectNot("usb> 2424"));
    EXPECT_TRUE(transcript.Expect("usb> 2424"));
}

TEST(E2eChecksTest, ALineFoundByALookMayHaveHappenedAnywhereSinceThePreviousLook) {
    RealTime transcript;
    // The status changed when the client said RINGING, between the looks at 60 and 140.
    Fill(transcript, {{50, 50, "client<", "CALL 7 STATUS RINGING"},
                      {110, 110, "client>", "GET CALL 7 PARTNER_HANDLE"},
                      {60, 140, "status", "7 Ringing"},
                      {200, 200, "usb>", "24240C0581"}});
    EXPECT_TRUE(transcript.Expect("client< CALL 7"));
    EXPECT_TRUE(transcript.Expect("status 7"));
    EXPECT_TRUE(transcript.Expect("client> GET CALL 7"));  // within the status line's span
    EXPECT_TRUE(transcript.Expect("usb> 2424"));

    RealTime late;
    Fill(late, {{50, 50, "client<", "CALL 7 STATUS RINGING"}, {60, 140, "status", "7 Ringing"}});
    EXPECT_TRUE(late.Expect("status 7"));
    EXPECT_FALSE(late.Expect("client< CALL 7"));  // before the look that could have missed it
}

TEST(E2eChecksTest, OfTheLinesThatMayComeNextTheOneThatCanHaveHappenedFirstIsTaken) {
    RealTime transcript;
    // The bridge logged the command, then sent it; the log was read at the next look.
    Fill(transcript, {{1308, 1308, "client>", "SEARCH FRIENDS"}, {1290, 1318, "voip-log", "15:44 SEARCH FRIENDS"}});
    EXPECT_TRUE(transcript.Expect("SEARCH FRIENDS"));
    EXPECT_TRUE(transcript.Expect("client> SEARCH FRIENDS"));
    EXPECT_FALSE(transcript.Expect("SEARCH FRIENDS"));
}

TEST(E2eChecksTest, AnExpectNotLooksAtWhatFollowedTheLastAction) {
    RealTime transcript;
    Fill(transcript, {{100, 100, "usb>", "00000000"}, {900, 900, "usb>", "00000000"}, {1300, 1300, "usb>", "2424"}});
    EXPECT_TRUE(transcript.Expect("usb> 00000000"));
    EXPECT_FALSE(transcript.ExpectNot("usb>"));  // the keep-alive at 900 followed the match
    transcript.Acted(1000);                       // the base unplugged only then
    EXPECT_FALSE(transcript.ExpectNot("usb> 2424"));
    EXPECT_TRUE(transcript.ExpectNot("usb> 00000000"));
}

TEST(E2eChecksTest, LinesFromDifferentChannelsAreWrittenInTheOrderOfTheirTimes) {
    RealTime transcript;
    // The base's thread stamped its report before the client's line was added.
    transcript.AddAt(120, "client>", "SET CALL 7 STATUS INPROGRESS");
    transcript.AddAt(100, "usb<", "2424030401F8");
    transcript.AddAt(300, "usb>", "00000000");
    transcript.Flush(200);  // the keep-alive waits for a line that may still come before it
    std::vector<sim::Line> lines = transcript.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, "usb<");
    EXPECT_EQ(lines[1].kind, "client>");
    transcript.Flush(1e9);
    EXPECT_EQ(transcript.Lines().size(), 3u);
    EXPECT_TRUE(transcript.Expect("usb< 2424030401F8"));
    EXPECT_TRUE(transcript.Expect("client> SET CALL 7 STATUS INPROGRESS"));
}

TEST(E2eChecksTest, TheBasesStampMayComeAfterTheClientLinesTheBridgeSentLater) {
    // A handset hung up: the bridge acknowledged it at the base, then ended the call at the
    // client; the base's thread stamped the acknowledgement 4 ms after the client's lines.
    const auto hangUp = [](RealTime& transcript) {
        Fill(transcript, {{15290, 15290, "usb<", "2424030201FA"},
                          {15315, 15315, "client>", "SET CALL 123 STATUS FINISHED"},
                          {15315, 15315, "client>", "HOOK ON"},
                          {15319, 15319, "usb>", "2424030301F9"},
                          {15300, 15340, "status", "2 USB READY"}});
    };
    RealTime transcript;
    hangUp(transcript);
    ASSERT_EQ(transcript.Lines()[1].text, "SET CALL 123 STATUS FINISHED");
    ASSERT_EQ(transcript.Lines()[3].text, "2424030301F9");
    EXPECT_TRUE(transcript.Expect("usb< 2424030201FA"));
    EXPECT_TRUE(transcript.Expect("usb> 2424030301F9"));
    EXPECT_TRUE(transcript.Expect("status 2"));
    EXPECT_TRUE(transcript.Expect("client> SET CALL 123 STATUS FINISHED"));
    EXPECT_TRUE(transcript.Expect("client> HOOK ON"));
    EXPECT_FALSE(transcript.Expect("client> HOOK ON"));  // one of each, however the order was read

    RealTime noStatus;  // the client's line right after the base's
    hangUp(noStatus);
    EXPECT_TRUE(noStatus.Expect("usb> 2424030301F9"));
    EXPECT_TRUE(noStatus.Expect("client> SET CALL 123 STATUS FINISHED"));
    EXPECT_TRUE(noStatus.Expect("client> HOOK ON"));

    RealTime sameChannel;  // the client's own lines keep their order
    hangUp(sameChannel);
    EXPECT_TRUE(sameChannel.Expect("client> HOOK ON"));
    EXPECT_FALSE(sameChannel.Expect("client> SET CALL 123 STATUS FINISHED"));
}

TEST(E2eChecksTest, ALineLongBeforeAReceivedOneOfAnotherChannelStillCameBefore) {
    RealTime transcript;
    Fill(transcript, {{15000, 15000, "client>", "SET CALL 123 STATUS FINISHED"},
                      {15000 + e2e::Recorder::kReceiptLateMs + 1, 15000 + e2e::Recorder::kReceiptLateMs + 1,
                       "usb>", "2424030301F9"}});
    EXPECT_TRUE(transcript.Expect("usb> 2424030301F9"));
    EXPECT_FALSE(transcript.Expect("client> SET CALL 123 STATUS FINISHED"));
}

TEST(E2eChecksTest, AnExpectNotAfterAReachBackSkipsTheLineAnEarlierExpectMatched) {
    RealTime transcript;
    Fill(transcript, {{100, 100, "client>", "GET CALL 7 PARTNER_HANDLE"},
                      {60, 140, "status", "7 Ringing"},
                      {200, 200, "usb>", "24240C0581"}});
    EXPECT_TRUE(transcript.Expect("status 7"));
    EXPECT_TRUE(transcript.Expect("client> GET CALL 7"));  // reaches back before the status line
    EXPECT_TRUE(transcript.ExpectNot("status 7"));           // the status line itself came before
    EXPECT_FALSE(transcript.ExpectNot("usb> 2424"));         // what followed both counts
}

TEST(E2eChecksTest, TheLogsAreComparedWithoutTheirMinuteAndSecond) {
    RealTime transcript;
    Fill(transcript, {{0, 40, "device-log", "37:31 test report test = 2, ok = 2"}});
    EXPECT_TRUE(transcript.Expect(e2e::PlanCheck("4000 device-log 07:04 test report test = 2, ok = 2").text));
}

TEST(E2eChecksTest, TheStatusCodeIsToldFromTheBoxTextAndTheBasesKeepAlives) {
    e2e::StatusReading reading;
    reading.SetText(STATUS_BASE_ABSENT, "USB Disconnected");
    reading.SetText(STATUS_READY, "USB READY");
    reading.SetText(STATUS_BASE_FOUND, "USB READY");
    reading.SetText(STATUS_RINGING, "Ringing");
    reading.SetText(STATUS_TEST_FAILED, "Error!Please restart base.");

    EXPECT_EQ(reading.Observe("", 0), 0);  // a box not filled yet
    EXPECT_EQ(reading.Observe("USB Disconnected", 0), STATUS_BASE_ABSENT);
    EXPECT_EQ(reading.Observe("USB Disconnected", 0), 0);  // no change
    EXPECT_EQ(reading.Observe("USB READY", 3), STATUS_BASE_FOUND);
    EXPECT_EQ(reading.Observe("USB READY", 3), 0);  // the link test still runs
    EXPECT_EQ(reading.Observe("USB READY", 4), STATUS_READY);  // the first keep-alive since
    EXPECT_EQ(reading.Observe("Ringing", 9), STATUS_RINGING);
    EXPECT_EQ(reading.Observe("USB READY", 9), STATUS_READY);  // after a call: at once
    EXPECT_EQ(reading.Observe("USB Disconnected", 9), STATUS_BASE_ABSENT);
    EXPECT_EQ(reading.Observe("USB READY", 9), STATUS_BASE_FOUND);  // back: tested again
    EXPECT_EQ(reading.Observe("Error!Please restart base.", 12), STATUS_TEST_FAILED);
    EXPECT_EQ(reading.Observe("Something else", 12), 0);
    EXPECT_EQ(reading.Code(), STATUS_TEST_FAILED);
    // A failed base that ends a call is ready again; only a return after a loss is tested.
    EXPECT_EQ(reading.Observe("USB READY", 12), STATUS_READY);
}

}  // namespace
