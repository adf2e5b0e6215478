#include "tools/bridger-sim/Interpreter.h"

#include <cstdint>

#include "tools/sim/Checker.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace scn {

namespace {

constexpr char kTalkKey = '*';
constexpr char kMenuKey = '#';

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::uint8_t Handset(const Step& s) { return static_cast<std::uint8_t>(s.number); }

}  // namespace

Interpreter::Interpreter(std::string lang, std::string file, std::ostream& out, std::ostream& err)
    : lang_(std::move(lang)), file_(std::move(file)), out_(out), err_(err) {
    options_.lang = lang_;
}

Interpreter::~Interpreter() = default;

std::vector<sim::Line> Interpreter::Lines() const {
    return harness_ ? harness_->Transcript() : std::vector<sim::Line>();
}

void Interpreter::EnsureStarted(const std::string& commandLine) {
    if (harness_) return;
    harness_ = std::make_unique<sim::Harness>(options_);
    harness_->Start(commandLine);
}

void Interpreter::Flush() {
    if (!harness_) return;
    const std::vector<sim::Line>& lines = harness_->Transcript();
    for (; printed_ < lines.size(); ++printed_) out_ << lines[printed_].Format() << '\n';
    out_.flush();
}

int Interpreter::Report(const Step& step, int status, const std::string& message) {
    err_ << file_ << ':' << step.line << ": " << (status == kScriptError ? "error: " : "") << message << '\n';
    return status;
}

int Interpreter::Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        const int status = PlayStep(step);
        if (status != kAllHeld) return status;
    }
    EnsureStarted("");
    Flush();
    if (!steps.empty()) return CheckedCalls(steps.back());
    return kAllHeld;
}

int Interpreter::PlayStep(const Step& step) {
    int status = Execute(step);
    Flush();
    if (status == kAllHeld) status = CheckedCalls(step);
    return status;
}

int Interpreter::CheckedCalls(const Step& step) {
    if (!harness_ || harness_->Violations().size() == violationsSeen_) return kAllHeld;
    const sim::Violation& v = harness_->Violations()[violationsSeen_];
    violationsSeen_ = harness_->Violations().size();
    return Report(step, kExpectFailed, "checker at " + std::to_string(v.time) + " ms: " + v.Format());
}

int Interpreter::Expect(const Step& step) {
    const std::vector<sim::Line>& lines = harness_->Transcript();
    const int last = cursor_.LastMatch();
    const std::string after = last < 0 ? "from the first line" : "after line " + std::to_string(last + 1);
    if (step.op == Op::Expect) {
        if (cursor_.Expect(lines, step.text) >= 0) return kAllHeld;
        return Report(step, kExpectFailed,
                      "expect failed: no transcript line " + after + " contains " + Quoted(step.text));
    }
    const int found = cursor_.ExpectNot(lines, step.text);
    if (found < 0) return kAllHeld;
    return Report(step, kExpectFailed,
                  "expect-not failed: transcript line " + std::to_string(found + 1) + " " +
                      Quoted(lines[static_cast<std::size_t>(found)].Format()) + " contains " + Quoted(step.text));
}

int Interpreter::Execute(const Step& s) {
    switch (s.op) {
        case Op::Clock:
        case Op::Os:
            if (harness_) return Report(s, kScriptError, std::string(s.op == Op::Clock ? "clock" : "os") +
                                                             " is only allowed before start");
            if (s.op == Op::Clock) options_.clock = s.clock;
            else options_.os = s.os;
            return kAllHeld;
        case Op::Start:
            if (harness_) return Report(s, kScriptError, "the process has already started");
            EnsureStarted(s.text);
            return kAllHeld;
        default:
            break;
    }
    EnsureStarted("");
    sim::Harness& h = *harness_;
    sim::SimBase& base = h.Base();
    std::string error;
    bool ok = true;
    switch (s.op) {
        case Op::Run: h.Run(static_cast<std::uint64_t>(s.number)); break;
        case Op::BasePlug: h.PlugBase(); break;
        case Op::BaseUnplug: h.UnplugBase(); break;
        case Op::BaseEcho: base.SetEchoMode(static_cast<sim::EchoMode>(s.number)); break;
        case Op::BaseReplies: base.SetReplyMode(static_cast<sim::ReplyMode>(s.number)); break;
        case Op::BaseHold: base.SetHold(s.on); break;
        case Op::BaseRelease: base.Release(s.on); break;
        case Op::BaseVersion: base.SetVersion(s.text); break;
        case Op::BaseSend: base.SendRaw(s.bytes); break;
        case Op::BasePacket: base.SendPacket(static_cast<std::uint8_t>(s.number), s.bytes); break;
        case Op::BaseReleased: base.LineReleased(); break;
        case Op::BaseRegisterEnd: base.RegisterEnd(); break;
        case Op::HandsetKey: base.Key(Handset(s), s.key); break;
        case Op::HandsetTalk: base.FuncKey(Handset(s), kTalkKey); break;
        case Op::HandsetMenu: base.FuncKey(Handset(s), kMenuKey); break;
        case Op::HandsetAnswer: base.Answer(Handset(s)); break;
        case Op::HandsetHangup: base.HangUp(Handset(s)); break;
        case Op::HandsetDial: base.DialString(Handset(s), s.text, s.on); break;
        case Op::ClientStart: h.StartClient(s.kind); break;
        case Op::ClientAttach: h.ClientAttach(static_cast<int>(s.number)); break;
        case Op::ClientStop: h.StopClient(); break;
        case Op::ClientAuto: h.Client().SetAuto(s.on); break;
        case Op::ClientContacts: h.Client().SetContacts(s.contacts); break;
        case Op::ClientSay: h.ClientSay(s.text); break;
        case Op::ClientSendRaw: h.ClientSendRaw(s.bytes); break;
        case Op::UiCommand: ok = h.Command(static_cast<int>(s.number), &error); break;
        case Op::UiTray: ok = h.TrayCallback(static_cast<unsigned>(s.number), &error); break;
        case Op::UiClick: ok = h.Click(s.text, static_cast<int>(s.second), &error); break;
        case Op::UiCheck: ok = h.CheckRadio(s.text, static_cast<int>(s.second), &error); break;
        case Op::UiSelect:
            ok = h.Select(s.text, static_cast<int>(s.second), static_cast<int>(s.third), &error);
            break;
        case Op::UiClose: ok = h.Close(s.text, &error); break;
        case Op::UiShow: ok = h.Show(s.text, &error); break;
        case Op::UiMsgBoxAuto: h.SetAutoMessageBoxes(true); break;
        case Op::UiMsgBoxManual: h.SetAutoMessageBoxes(false); break;
        case Op::UiMsgBoxOk:
            ok = h.ConfirmMessageBox();
            if (!ok) error = "no message box is open";
            break;
        case Op::Expect:
        case Op::ExpectNot: return Expect(s);
        case Op::Clock:
        case Op::Os:
        case Op::Start: break;  // handled above
    }
    return ok ? kAllHeld : Report(s, kScriptError, error);
}

}  // namespace scn
