// The scenario language: what each line becomes, and which lines are script errors.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/bridger-sim/Scenario.h"
#include "tools/sim/SimBase.h"

namespace {

using scn::Op;
using scn::Step;

Step One(const std::string& line) {
    std::vector<Step> steps;
    scn::ScriptError error;
    EXPECT_TRUE(scn::ParseLine(line, 7, steps, &error)) << line << ": " << error.message;
    EXPECT_EQ(steps.size(), 1u) << line;
    return steps.empty() ? Step{} : steps.front();
}

std::string ErrorOf(const std::string& line) {
    std::vector<Step> steps;
    scn::ScriptError error;
    EXPECT_FALSE(scn::ParseLine(line, 12, steps, &error)) << line;
    EXPECT_EQ(error.line, 12);
    EXPECT_TRUE(steps.empty());
    return error.message;
}

TEST(SimParseTest, TextKeepsEverythingAfterTheBlankThatFollowsTheCommandWords) {
    EXPECT_EQ(One("expect client> CALL 123  STATUS   RINGING").text, "client> CALL 123  STATUS   RINGING");
    EXPECT_EQ(One("  expect-not  msgbox").text, " msgbox");  // the second blank belongs to TEXT
    EXPECT_EQ(One("client say CHAT  hello  ").text, "CHAT  hello  ");
    EXPECT_EQ(One("client say").text, "");
    EXPECT_EQ(One("base version V 2.1 beta").text, "V 2.1 beta");
    EXPECT_EQ(One("start DEBUG").text, "DEBUG");
    EXPECT_EQ(One("start").text, "");
    EXPECT_EQ(One("start QOPA  x").text, "QOPA  x");
    EXPECT_EQ(One("expect status 5\r").text, "status 5");  // CR LF files
    EXPECT_EQ(One("expect\tusb> 24").text, "usb> 24");      // a tab separates words too
    EXPECT_EQ(One("client\tsay\t\tx").text, "\tx");
}

TEST(SimParseTest, CommentsAndBlankLinesAreSkipped) {
    std::istringstream in("# a comment\n\n   \n  # indented comment\nrun 100\n");
    std::vector<Step> steps;
    scn::ScriptError error;
    ASSERT_TRUE(scn::ParseScript(in, steps, &error));
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].op, Op::Run);
    EXPECT_EQ(steps[0].number, 100);
    EXPECT_EQ(steps[0].line, 5);
}

TEST(SimParseTest, NumbersClockAndVersion) {
    const Step clock = One("clock 23:59:07");
    EXPECT_EQ(clock.op, Op::Clock);
    EXPECT_EQ(clock.clock.hour, 23);
    EXPECT_EQ(clock.clock.minute, 59);
    EXPECT_EQ(clock.clock.second, 7);
    const Step os = One("os 6.1");
    EXPECT_EQ(os.op, Op::Os);
    EXPECT_EQ(os.os.major, 6u);
    EXPECT_EQ(os.os.minor, 1u);
    EXPECT_EQ(One("run 0").number, 0);
    EXPECT_EQ(One("ui command 32771").number, 32771);
    EXPECT_EQ(One("client attach 32769").number, 32769);
    for (const char* bad : {"run", "run -5", "run 10ms", "run 1 2", "clock 24:00:00", "clock 10:7:00",
                            "os 5", "os x.1", "ui command", "ui command 3e4", "client attach -1",
                            "ui select options 1024 x"})
        EXPECT_FALSE(ErrorOf(bad).empty()) << bad;
    EXPECT_NE(ErrorOf("run 1x").find("bad number '1x'"), std::string::npos);
}

TEST(SimParseTest, HexBytesArePairsWithBlanksBetweenThem) {
    const Step send = One("base send 2424 03 12 0aE1");
    EXPECT_EQ(send.op, Op::BaseSend);
    EXPECT_EQ(send.bytes, (std::vector<std::uint8_t>{0x24, 0x24, 0x03, 0x12, 0x0A, 0xE1}));
    const Step packet = One("base packet 13 00 41 42");
    EXPECT_EQ(packet.op, Op::BasePacket);
    EXPECT_EQ(packet.number, 0x13);
    EXPECT_EQ(packet.bytes, (std::vector<std::uint8_t>{0x00, 0x41, 0x42}));
    EXPECT_TRUE(One("base packet 03").bytes.empty());
    EXPECT_EQ(One("client send-raw 41 00 42").bytes, (std::vector<std::uint8_t>{0x41, 0x00, 0x42}));
    EXPECT_TRUE(One("client send-raw").bytes.empty());
    EXPECT_NE(ErrorOf("base send 24 2").find("bad hex '2'"), std::string::npos);
    EXPECT_NE(ErrorOf("base send 2G").find("bad hex '2G'"), std::string::npos);
    EXPECT_FALSE(ErrorOf("base send").empty());
    EXPECT_FALSE(ErrorOf("base packet 1302").empty());  // CODE is one byte
    EXPECT_FALSE(ErrorOf("client send-raw 0x41").empty());
    EXPECT_FALSE(ErrorOf("base send " + std::string(49 * 2, 'A')).empty());  // beyond one report
}

TEST(SimParseTest, HandsetEvents) {
    const Step key = One("handset 2 key 7");
    EXPECT_EQ(key.op, Op::HandsetKey);
    EXPECT_EQ(key.number, 2);
    EXPECT_EQ(key.key, '7');
    EXPECT_EQ(One("handset 1 key #").key, '#');
    EXPECT_EQ(One("handset 1 talk").op, Op::HandsetTalk);
    EXPECT_EQ(One("handset 1 menu").op, Op::HandsetMenu);
    EXPECT_EQ(One("handset 3 answer").op, Op::HandsetAnswer);
    EXPECT_EQ(One("handset 129 hangup").number, 129);
    const Step dial = One("handset 1 dial 5551234");
    EXPECT_EQ(dial.op, Op::HandsetDial);
    EXPECT_EQ(dial.text, "5551234");
    EXPECT_FALSE(dial.on);
    EXPECT_TRUE(One("handset 1 dial 12-34 repeat").on);
    for (const char* bad : {"handset key 1", "handset 1 key", "handset 1 key 12", "handset 256 answer",
                            "handset 1 dial", "handset 1 dial 1 again", "handset 1 wave", "handset 1 talk now"})
        EXPECT_FALSE(ErrorOf(bad).empty()) << bad;
}

TEST(SimParseTest, BaseClientAndUiCommands) {
    EXPECT_EQ(One("base plug").op, Op::BasePlug);
    EXPECT_EQ(One("base unplug").op, Op::BaseUnplug);
    EXPECT_EQ(One("base released").op, Op::BaseReleased);
    EXPECT_EQ(One("base register-end").op, Op::BaseRegisterEnd);
    EXPECT_FALSE(One("base echo off").on);
    EXPECT_TRUE(One("base replies on").on);
    EXPECT_EQ(One("client start softphone").kind, sim::ClientKindSim::SoftPhone);
    EXPECT_EQ(One("client start skype").kind, sim::ClientKindSim::Skype);
    EXPECT_EQ(One("client stop").op, Op::ClientStop);
    EXPECT_FALSE(One("client auto off").on);
    const Step contacts = One("client contacts bob Alice:AWAY carol:OFFLINE");
    ASSERT_EQ(contacts.contacts.size(), 3u);
    EXPECT_EQ(contacts.contacts[0].handle, "bob");
    EXPECT_EQ(contacts.contacts[0].status, "ONLINE");
    EXPECT_EQ(contacts.contacts[1].handle, "Alice");
    EXPECT_EQ(contacts.contacts[1].status, "AWAY");
    EXPECT_TRUE(One("client contacts").contacts.empty());
    EXPECT_EQ(One("ui tray dblclick").number, 515);
    EXPECT_EQ(One("ui tray rclick").number, 516);
    const Step select = One("ui select options 1024 2");
    EXPECT_EQ(select.op, Op::UiSelect);
    EXPECT_EQ(select.text, "options");
    EXPECT_EQ(select.second, 1024);
    EXPECT_EQ(select.third, 2);
    EXPECT_EQ(One("ui click options 1026").op, Op::UiClick);
    EXPECT_EQ(One("ui check options 1016").op, Op::UiCheck);
    EXPECT_EQ(One("ui close debug").op, Op::UiClose);
    EXPECT_EQ(One("ui show info").op, Op::UiShow);
    EXPECT_EQ(One("ui msgbox manual").op, Op::UiMsgBoxManual);
    EXPECT_EQ(One("ui msgbox auto").op, Op::UiMsgBoxAuto);
    EXPECT_EQ(One("ui msgbox ok").op, Op::UiMsgBoxOk);
    for (const char* bad : {"base", "base echo", "base echo yes", "base plug now", "client start teams",
                            "client contacts :AWAY", "client contacts bob:", "client", "ui", "ui tray click",
                            "ui click options", "ui msgbox", "ui msgbox cancel", "ui show", "expect", "expect-not",
                            "expect "})
        EXPECT_FALSE(ErrorOf(bad).empty()) << bad;
}

// The ways a base can misbehave: the echo and reply modes in the order of sim::EchoMode and
// sim::ReplyMode (on and off stay switches), answers held back and released.
TEST(SimParseTest, BaseMisbehaviours) {
    const char* const echo[] = {"base echo on", "base echo off", "base echo twice", "base echo wrong"};
    const char* const replies[] = {"base replies on", "base replies off", "base replies twice", "base replies other"};
    for (long long mode = 0; mode < 4; ++mode) {
        const Step e = One(echo[mode]);
        EXPECT_EQ(e.op, Op::BaseEcho);
        EXPECT_EQ(e.number, mode);
        EXPECT_EQ(e.on, mode != 1);
        const Step r = One(replies[mode]);
        EXPECT_EQ(r.op, Op::BaseReplies);
        EXPECT_EQ(r.number, mode);
    }
    EXPECT_EQ(static_cast<sim::EchoMode>(One("base echo wrong").number), sim::EchoMode::Wrong);
    EXPECT_EQ(static_cast<sim::ReplyMode>(One("base replies other").number), sim::ReplyMode::Other);
    EXPECT_TRUE(One("base hold on").on);
    EXPECT_EQ(One("base hold off").op, Op::BaseHold);
    EXPECT_FALSE(One("base release").on);
    EXPECT_TRUE(One("base release reversed").on);
    EXPECT_EQ(ErrorOf("base echo other"), "usage: base echo on|off|twice|wrong");
    EXPECT_EQ(ErrorOf("base replies wrong"), "usage: base replies on|off|twice|other");
    for (const char* bad : {"base hold", "base hold twice", "base release all", "base release reversed now"})
        EXPECT_FALSE(ErrorOf(bad).empty()) << bad;
}

TEST(SimParseTest, UnknownCommandsNameTheWord) {
    EXPECT_EQ(ErrorOf("wait 100"), "unknown command 'wait'");
    EXPECT_EQ(ErrorOf("base explode"), "unknown command 'base explode'");
    EXPECT_EQ(ErrorOf("ui wiggle info"), "unknown command 'ui wiggle'");
    EXPECT_EQ(ErrorOf("base plug now"), "usage: base plug");
    EXPECT_EQ(ErrorOf("handset 1 talk now"), "usage: handset N talk");
    std::istringstream in("run 10\n\nfrobnicate\nrun 10\n");
    std::vector<Step> steps;
    scn::ScriptError error;
    EXPECT_FALSE(scn::ParseScript(in, steps, &error));
    EXPECT_EQ(error.line, 3);
}

}  // namespace
