// The headless world of a scenario: the real bridge in a sim::Harness on a virtual clock,
// its transcript streamed as it grows.
#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/world/Harness.h"
#include "tools/bridger-sim/World.h"

namespace scn {

class HeadlessWorld : public World {
public:
    // `file` names the scenario in messages on `err`; transcript lines go to `out`.
    HeadlessWorld(std::string lang, std::string file, std::ostream& out, std::ostream& err);
    ~HeadlessWorld() override;

    std::vector<sim::Line> Lines() const;
    void CheckRules(bool on) { options_.checkRules = on; }
    sim::Harness* Harness() { return harness_.get(); }

    int Fail(const Step& step, int status, const std::string& message) override;
    bool Started() const override { return harness_ != nullptr; }
    int SetClock(const Step& step) override;
    void SetOs(const plat::OsVersion& os) override { options_.os = os; }
    bool EnsureStarted(const std::string& arguments, std::string& error) override;
    int StartAgain(const Step& step) override;
    int BeforeStep(const Step&) override { return kAllHeld; }
    bool Plays(const Step&) override { return true; }
    void Run(std::uint64_t ms) override { harness_->Run(ms); }
    void Sent() override {}
    int AfterStep(const Step& step, int status) override;
    int Finish(const std::vector<Step>& steps, int status) override;

    int PlugBase(const Step&) override;
    int UnplugBase(const Step&) override;
    void WithBase(const std::function<void(sim::SimBase&)>& act) override { act(harness_->Base()); }
    void Handset(const Step&, const std::function<void(sim::SimBase&)>& act) override { act(harness_->Base()); }

    void StartClient(sim::ClientKindSim kind) override { harness_->StartClient(kind); }
    void ClientAttach(int status) override { harness_->ClientAttach(status); }
    void StopClient() override { harness_->StopClient(); }
    sim::SimClient& Client() override { return harness_->Client(); }
    void ClientSay(const std::string& text) override { harness_->ClientSay(text); }
    void ClientSendRaw(const std::vector<std::uint8_t>& bytes) override { harness_->ClientSendRaw(bytes); }

    bool Command(int commandId, std::string& error) override { return harness_->Command(commandId, &error); }
    bool Tray(unsigned mouseMessage, std::string& error) override {
        return harness_->TrayCallback(mouseMessage, &error);
    }
    bool Click(const std::string& window, int controlId, std::string& error) override {
        return harness_->Click(window, controlId, &error);
    }
    bool CheckRadio(const std::string& window, int controlId, std::string& error) override {
        return harness_->CheckRadio(window, controlId, &error);
    }
    bool Select(const std::string& window, int controlId, int index, std::string& error) override {
        return harness_->Select(window, controlId, index, &error);
    }
    bool Close(const std::string& window, std::string& error) override { return harness_->Close(window, &error); }
    bool Show(const std::string& window, std::string& error) override { return harness_->Show(window, &error); }
    void AutoMessageBoxes(bool on) override { harness_->SetAutoMessageBoxes(on); }
    bool ConfirmMessageBox() override { return harness_->ConfirmMessageBox(); }

    int Expect(const Step& step) override;
    int ExpectNot(const Step& step) override;

private:
    void Flush();
    int CheckedCalls(const Step& step);

    std::string file_;
    std::ostream& out_;
    std::ostream& err_;
    sim::Options options_;
    std::unique_ptr<sim::Harness> harness_;
    std::size_t printed_ = 0;
    std::size_t violationsSeen_ = 0;
};

}  // namespace scn
