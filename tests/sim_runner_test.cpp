// bridger-sim's runs end to end: the real bridge, played from scenario text, with the
// exit statuses and messages the runner gives.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/bridger-sim/Interpreter.h"
#include "tools/bridger-sim/Play.h"

namespace {

struct Played {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<sim::Line> lines;
};

Played Play(const std::string& script, const std::string& lang = "en") {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    Played run;
    run.status = scn::PlayScenario(in, "test.scn", lang, out, err, &run.lines);
    run.out = out.str();
    run.err = err.str();
    return run;
}

bool Has(const Played& run, const std::string& fragment) {
    for (const sim::Line& l : run.lines)
        if (l.Format().find(fragment) != std::string::npos) return true;
    return false;
}

// A base plugged in and Skype attached, with the start-up link test passed.
const char* const kAttached =
    "base plug\n"
    "client start skype\n"
    "run 5000\n";

TEST(SimRunnerTest, AHeldScenarioExitsZeroAndPrintsEveryLineInOrder) {
    const Played run = Play(std::string(kAttached) +
                         "expect broadcast SkypeControlAPIDiscover\n"
                         "expect attach 0\n"
                         "expect client> SET USERSTATUS ONLINE\n");
    EXPECT_EQ(run.status, scn::kAllHeld) << run.err;
    EXPECT_EQ(run.err, "");
    std::string all;
    for (const sim::Line& l : run.lines) all += l.Format() + "\n";
    EXPECT_EQ(run.out, all);
    EXPECT_EQ(run.out.rfind("0 window created main\n", 0), 0u);  // the start is implicit
}

TEST(SimRunnerTest, AFailedExpectStopsWithStatusOneNamingFileLineAndText) {
    const Played run = Play(std::string(kAttached) +
                         "expect attach 0\n"
                         "# the broadcast came before the attach\n"
                         "expect broadcast SkypeControlAPIDiscover\n"
                         "client say never played\n");
    EXPECT_EQ(run.status, scn::kExpectFailed);
    EXPECT_NE(run.err.find("test.scn:6: expect failed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\"broadcast SkypeControlAPIDiscover\""), std::string::npos) << run.err;
    EXPECT_FALSE(Has(run, "never played"));
}

TEST(SimRunnerTest, ExpectNotFailsOnALineAfterTheLastMatchOnly) {
    const Played held = Play(std::string(kAttached) +
                          "expect client> SET USERSTATUS ONLINE\n"
                          "expect-not broadcast\n");
    EXPECT_EQ(held.status, scn::kAllHeld) << held.err;
    const Played failed = Play(std::string(kAttached) +
                            "expect window created main\n"
                            "expect-not attach\n");
    EXPECT_EQ(failed.status, scn::kExpectFailed);
    EXPECT_NE(failed.err.find("test.scn:5: expect-not failed"), std::string::npos) << failed.err;
    EXPECT_NE(failed.err.find("attach 0"), std::string::npos) << failed.err;
}

TEST(SimRunnerTest, ScriptErrorsExitTwoWithFileAndLine) {
    const Played parse = Play("base plug\nrun 10\nrun ten\n");
    EXPECT_EQ(parse.status, scn::kScriptError);
    EXPECT_EQ(parse.err, "test.scn:3: error: bad number 'ten'\n");
    EXPECT_TRUE(parse.lines.empty());  // nothing ran: the whole file is read first

    const Played closed = Play("base plug\nrun 100\nui click options 1026\n");
    EXPECT_EQ(closed.status, scn::kScriptError);
    EXPECT_NE(closed.err.find("test.scn:3: error: window 'options' is not open"), std::string::npos) << closed.err;

    const Played box = Play("ui msgbox ok\n");
    EXPECT_EQ(box.status, scn::kScriptError);
    EXPECT_EQ(box.err, "test.scn:1: error: no message box is open\n");

    const Played late = Play("run 100\nclock 09:00:00\n");
    EXPECT_EQ(late.status, scn::kScriptError);
    EXPECT_EQ(late.err, "test.scn:2: error: clock is only allowed before start\n");

    const Played twice = Play("start\nos 6.0\n");
    EXPECT_EQ(twice.status, scn::kScriptError);
    EXPECT_NE(twice.err.find("test.scn:2:"), std::string::npos);
    EXPECT_EQ(Play("start\nstart\n").status, scn::kScriptError);
}

TEST(SimRunnerTest, ClientTextTravelsExactlyWithItsInnerBlanks) {
    const Played run = Play(std::string(kAttached) +
                         "client say CHAT  two  blanks \n"
                         "expect client< CHAT  two  blanks \n"
                         "client send-raw 41 42 00 43\n"
                         "expect client< AB\n");
    EXPECT_EQ(run.status, scn::kAllHeld) << run.err;
    EXPECT_TRUE(Has(run, " client< CHAT  two  blanks "));
}

TEST(SimRunnerTest, ClockAndStartArgumentsReachTheBridge) {
    // QOPA opens the debug window; its log lines carry the minute and second of the clock.
    const Played run = Play("clock 08:42:10\nstart QOPA\nbase plug\nrun 5000\n"
                         "expect window created debug\n"
                         "expect device-log 42:1\n");
    EXPECT_EQ(run.status, scn::kAllHeld) << run.err << run.out;
}

TEST(SimRunnerTest, TheChosenLanguageShapesTheTexts) {
    const Played en = Play("base plug\nrun 5000\nexpect status 2 USB READY\n");
    EXPECT_EQ(en.status, scn::kAllHeld) << en.err;
    const Played zh = Play("base plug\nrun 5000\nexpect status 2\nexpect-not USB READY\n", "zh-TW");
    EXPECT_EQ(zh.status, scn::kAllHeld) << zh.err << zh.out;
}

TEST(SimRunnerTest, ManualMessageBoxesStayOpenWhileTheClockRuns) {
    const Played run = Play("ui msgbox manual\n" + std::string(kAttached) +
                         "base replies off\n"
                         "ui command 32771\n"
                         "ui check options 1016\n"
                         "ui click options 1026\n"
                         "run 2500\n"
                         "expect msgbox Error! Device not reply !\n"
                         "run 1000\n"
                         "expect usb> 00000000\n"  // the device link is still polled under the box
                         "ui msgbox ok\n"
                         "ui msgbox ok\n");
    EXPECT_EQ(run.status, scn::kScriptError) << run.err;  // the second ok finds no box
    EXPECT_NE(run.err.find("test.scn:14: error: no message box is open"), std::string::npos) << run.err;
}

TEST(SimRunnerTest, BaseReportsArriveAsTheNextReportsTheBridgeReads) {
    const Played run = Play("base plug\nrun 5000\n"
                            "base send 01 02 03 04 05 06 07 08 09\n"
                            "base packet 13 00 41 42 43\n"
                            "handset 2 dial 12-34 repeat\n"
                            "run 500\n"
                            "expect usb< 0102030405060708\n"  // no packet: its first 8 data bytes
                            "expect usb< 242406130041424321\n"
                            "expect usb< 24240916010631322D3334E3\n"
                            "expect-not status 4\n");  // no client to take the call: none is shown going out
    EXPECT_EQ(run.status, scn::kAllHeld) << run.err << run.out;
    EXPECT_FALSE(Has(run, "0102030405060708090"));
}

TEST(SimRunnerTest, TrayCommandsAndTheEndOfTheProcess) {
    const Played run = Play("base plug\nrun 5000\n"
                            "ui tray dblclick\n"
                            "expect window created options\n"
                            "ui command 32772\n"
                            "expect window destroyed options\n"
                            "expect tray remove\n"
                            "expect exit\n"
                            "run 1000\n"
                            "ui command 32774\n");
    EXPECT_EQ(run.status, scn::kScriptError) << run.err << run.out;
    EXPECT_EQ(run.err, "test.scn:10: error: window 'main' is not open\n");
    const Played noIcon = Play("start VOIP\nui tray rclick\n");
    EXPECT_EQ(noIcon.status, scn::kScriptError);
    EXPECT_NE(noIcon.err.find("test.scn:2: error: no tray icon"), std::string::npos) << noIcon.err;
}

TEST(SimRunnerTest, AStoppedClientGetsNoMoreCommands) {
    const Played run = Play(std::string(kAttached) +
                            "client stop\n"
                            "client say CALL 7 STATUS RINGING\n"
                            "run 500\n"
                            "expect client< CALL 7 STATUS RINGING\n"
                            "expect status 7\n"
                            "expect-not client> GET CALL 7\n");
    EXPECT_EQ(run.status, scn::kAllHeld) << run.err << run.out;
}

TEST(SimRunnerTest, AnEmptyScenarioStillStartsTheProcess) {
    const Played run = Play("# nothing but a comment\n");
    EXPECT_EQ(run.status, scn::kAllHeld);
    EXPECT_TRUE(Has(run, "0 window created main"));
}

}  // namespace
