// The one scenario engine, against a world that writes down what it was asked: the order
// of starting, acting and checking that both the headless world and the real build's
// driver rely on, and how a world's refusals end a run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/bridger-sim/Engine.h"
#include "tools/bridger-sim/World.h"

namespace {

class RecordingWorld : public scn::World {
public:
    std::vector<std::string> calls;
    bool started = false;
    bool startFails = false;
    bool playsHold = true;       // whether `base hold` can be played here
    bool windowsOpen = true;     // user actions find their window
    bool boxOpen = false;
    bool expectsHold = true;
    sim::SimBase base;
    sim::SimClient client;

    int Fail(const scn::Step& step, int status, const std::string& message) override {
        calls.push_back("fail " + std::to_string(step.line) + " " + std::to_string(status) + " " + message);
        return status;
    }
    bool Started() const override { return started; }
    int SetClock(const scn::Step&) override { return Note("clock"); }
    void SetOs(const plat::OsVersion& os) override { Note("os " + std::to_string(os.major)); }
    bool EnsureStarted(const std::string& arguments, std::string& error) override {
        if (started) return true;
        if (startFails) {
            error = "no process";
            return false;
        }
        Note("start [" + arguments + "]");
        started = true;
        return true;
    }
    int StartAgain(const scn::Step& step) override { return Note("start again [" + step.text + "]"); }
    int BeforeStep(const scn::Step& step) override { return Note("before " + std::to_string(step.line)); }
    bool Plays(const scn::Step& step) override {
        if (playsHold || step.op != scn::Op::BaseHold) return true;
        Note("not played " + std::to_string(step.line));
        return false;
    }
    void Run(std::uint64_t ms) override { Note("run " + std::to_string(ms)); }
    void Sent() override { Note("sent"); }
    int AfterStep(const scn::Step& step, int status) override {
        Note("after " + std::to_string(step.line) + " " + std::to_string(status));
        return status;
    }
    int Finish(const std::vector<scn::Step>& steps, int status) override {
        Note("finish " + std::to_string(steps.size()) + " " + std::to_string(status));
        return status;
    }
    int PlugBase(const scn::Step&) override { return Note("plug"); }
    int UnplugBase(const scn::Step&) override { return Note("unplug"); }
    void WithBase(const std::function<void(sim::SimBase&)>& act) override {
        Note("base");
        act(base);
    }
    void Handset(const scn::Step& step, const std::function<void(sim::SimBase&)>& act) override {
        Note("handset " + std::to_string(step.number));
        act(base);
    }
    void StartClient(sim::ClientKindSim) override { Note("client start"); }
    void ClientAttach(int status) override { Note("attach " + std::to_string(status)); }
    void StopClient() override { Note("client stop"); }
    sim::SimClient& Client() override { return client; }
    void ClientSay(const std::string& text) override { Note("say " + text); }
    void ClientSendRaw(const std::vector<std::uint8_t>& bytes) override {
        Note("raw " + std::to_string(bytes.size()));
    }
    bool Command(int id, std::string& error) override { return User("command " + std::to_string(id), error); }
    bool Tray(unsigned message, std::string& error) override { return User("tray " + std::to_string(message), error); }
    bool Click(const std::string& w, int id, std::string& error) override {
        return User("click " + w + " " + std::to_string(id), error);
    }
    bool CheckRadio(const std::string& w, int id, std::string& error) override {
        return User("check " + w + " " + std::to_string(id), error);
    }
    bool Select(const std::string& w, int id, int index, std::string& error) override {
        return User("select " + w + " " + std::to_string(id) + " " + std::to_string(index), error);
    }
    bool Close(const std::string& w, std::string& error) override { return User("close " + w, error); }
    bool Show(const std::string& w, std::string& error) override { return User("show " + w, error); }
    void AutoMessageBoxes(bool on) override { Note(on ? "boxes auto" : "boxes manual"); }
    bool ConfirmMessageBox() override {
        Note("box ok");
        return boxOpen;
    }
    int Expect(const scn::Step& step) override { return Check("expect " + step.text); }
    int ExpectNot(const scn::Step& step) override { return Check("expect-not " + step.text); }

private:
    int Note(const std::string& call) {
        calls.push_back(call);
        return scn::kAllHeld;
    }
    bool User(const std::string& call, std::string& error) {
        Note(call);
        if (!windowsOpen) error = "the window is not open";
        return windowsOpen;
    }
    int Check(const std::string& call) {
        Note(call);
        return expectsHold ? scn::kAllHeld : scn::kExpectFailed;
    }
};

std::vector<scn::Step> Steps(const std::string& script) {
    std::istringstream in(script);
    std::vector<scn::Step> steps;
    scn::ScriptError error;
    EXPECT_TRUE(scn::ParseScript(in, steps, &error)) << error.line << ": " << error.message;
    return steps;
}

using Calls = std::vector<std::string>;

TEST(ScenarioEngineTest, TheFirstStepThatNeedsTheProcessStartsItAndEachActionGoesOutAtOnce) {
    RecordingWorld world;
    EXPECT_EQ(scn::Engine(world).Run(Steps("clock 08:30:00\nos 6.1\nstart /min\nbase plug\nrun 100\nexpect usb>\n")),
              scn::kAllHeld);
    EXPECT_EQ(world.calls, (Calls{"clock", "after 1 0", "os 6", "after 2 0", "start [/min]", "before 3", "sent",
                                  "after 3 0", "before 4", "plug", "sent", "after 4 0", "before 5", "run 100",
                                  "sent", "after 5 0", "before 6", "expect usb>", "after 6 0", "finish 6 0"}));

    RecordingWorld implicit;  // no `start`: the first step that acts starts it without arguments
    scn::Engine(implicit).Run(Steps("client say CALL 1 STATUS RINGING\nstart /min\n"));
    EXPECT_EQ(implicit.calls, (Calls{"start []", "before 1", "say CALL 1 STATUS RINGING", "sent", "after 1 0",
                                     "start again [/min]", "after 2 0", "finish 2 0"}));
}

TEST(ScenarioEngineTest, AFailedStepEndsTheRunWithItsStatusAndNothingAfterItIsPlayed) {
    RecordingWorld world;
    world.expectsHold = false;
    EXPECT_EQ(scn::Engine(world).Run(Steps("run 10\nexpect attach 0\nrun 20\n")), scn::kExpectFailed);
    EXPECT_EQ(world.calls.back(), "finish 3 1");
    EXPECT_EQ(world.calls[world.calls.size() - 2], "after 2 1");
    for (const std::string& call : world.calls) EXPECT_NE(call, "run 20");

    RecordingWorld late;  // the system is chosen before the process starts, in every world
    EXPECT_EQ(scn::Engine(late).Run(Steps("run 10\nos 6.1\n")), scn::kScriptError);
    EXPECT_EQ(late.calls, (Calls{"start []", "before 1", "run 10", "sent", "after 1 0",
                                 "fail 2 2 os is only allowed before start", "after 2 2", "finish 2 2"}));

    RecordingWorld noProcess;
    noProcess.startFails = true;
    EXPECT_EQ(scn::Engine(noProcess).Run(Steps("base plug\n")), scn::kCannotStart);
    EXPECT_EQ(noProcess.calls, (Calls{"fail 1 3 no process", "after 1 3", "finish 1 3"}));
}

TEST(ScenarioEngineTest, AStepTheWorldCannotPlayIsSkippedAndTheRunGoesOn) {
    RecordingWorld world;
    world.playsHold = false;
    EXPECT_EQ(scn::Engine(world).Run(Steps("base hold on\nbase version VA6-BASE 2.0\n")), scn::kAllHeld);
    EXPECT_EQ(world.calls, (Calls{"start []", "before 1", "not played 1", "after 1 0", "before 2", "base", "sent",
                                  "after 2 0", "finish 2 0"}));
}

TEST(ScenarioEngineTest, UserActionsThatFindNothingAreScriptErrorsWithTheWorldsReason) {
    RecordingWorld world;
    world.windowsOpen = false;
    EXPECT_EQ(scn::Engine(world).Run(Steps("ui click options 1055\n")), scn::kScriptError);
    EXPECT_EQ(world.calls[2], "click options 1055");
    EXPECT_EQ(world.calls[3], "fail 1 2 the window is not open");

    RecordingWorld noBox;
    EXPECT_EQ(scn::Engine(noBox).Run(Steps("ui msgbox ok\n")), scn::kScriptError);
    EXPECT_EQ(noBox.calls[3], "fail 1 2 no message box is open");

    RecordingWorld ui;
    ui.boxOpen = true;
    EXPECT_EQ(scn::Engine(ui).Run(Steps("ui select options 1040 2\nui check options 1055\nui msgbox manual\n"
                                         "ui msgbox ok\nui show info\nui close info\n")),
              scn::kAllHeld);
    Calls acted;
    for (const std::string& call : ui.calls)
        if (call.rfind("before", 0) != 0 && call.rfind("after", 0) != 0 && call != "sent") acted.push_back(call);
    EXPECT_EQ(acted, (Calls{"start []", "select options 1040 2", "check options 1055", "boxes manual", "box ok",
                            "show info", "close info", "finish 6 0"}));
}

TEST(ScenarioEngineTest, BaseAndHandsetStepsReachTheSimulatedPeersAsWritten) {
    RecordingWorld world;
    EXPECT_EQ(scn::Engine(world).Run(Steps("base echo off\nhandset 2 key 5\nclient auto off\n")), scn::kAllHeld);
    EXPECT_EQ(world.calls[2], "base");
    EXPECT_EQ(world.calls[6], "handset 2");
    EXPECT_FALSE(world.base.Healthy());  // its echo is off
    EXPECT_EQ(world.base.Backlog(), 1u);  // the key's report waits for the bridge's read
    EXPECT_FALSE(world.client.Auto());
}

}  // namespace
