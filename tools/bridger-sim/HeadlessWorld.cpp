#include "tools/bridger-sim/HeadlessWorld.h"

#include "tools/bridger-sim/Transcript.h"
#include "tools/sim/Checker.h"

namespace scn {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

HeadlessWorld::HeadlessWorld(std::string lang, std::string file, std::ostream& out, std::ostream& err)
    : file_(std::move(file)), out_(out), err_(err) {
    options_.lang = std::move(lang);
}

HeadlessWorld::~HeadlessWorld() = default;

std::vector<sim::Line> HeadlessWorld::Lines() const {
    return harness_ ? harness_->Transcript() : std::vector<sim::Line>();
}

int HeadlessWorld::Fail(const Step& step, int status, const std::string& message) {
    err_ << file_ << ':' << step.line << ": " << (status == kScriptError ? "error: " : "") << message << '\n';
    return status;
}

int HeadlessWorld::SetClock(const Step& step) {
    if (harness_) return Fail(step, kScriptError, "clock is only allowed before start");
    options_.clock = step.clock;
    return kAllHeld;
}

bool HeadlessWorld::EnsureStarted(const std::string& arguments, std::string&) {
    if (harness_) return true;
    harness_ = std::make_unique<sim::Harness>(options_);
    harness_->Start(arguments);
    return true;
}

int HeadlessWorld::StartAgain(const Step& step) {
    return Fail(step, kScriptError, "the process has already started");
}

int HeadlessWorld::PlugBase(const Step&) {
    harness_->PlugBase();
    return kAllHeld;
}

int HeadlessWorld::UnplugBase(const Step&) {
    harness_->UnplugBase();
    return kAllHeld;
}

void HeadlessWorld::Flush() {
    if (!harness_) return;
    const std::vector<sim::Line>& lines = harness_->Transcript();
    for (; printed_ < lines.size(); ++printed_) out_ << lines[printed_].Format() << '\n';
    out_.flush();
}

int HeadlessWorld::AfterStep(const Step& step, int status) {
    Flush();
    return status == kAllHeld ? CheckedCalls(step) : status;
}

int HeadlessWorld::Finish(const std::vector<Step>& steps, int status) {
    if (status != kAllHeld) return status;
    std::string unused;
    EnsureStarted("", unused);
    Flush();
    return steps.empty() ? kAllHeld : CheckedCalls(steps.back());
}

int HeadlessWorld::CheckedCalls(const Step& step) {
    if (!harness_ || harness_->Violations().size() == violationsSeen_) return kAllHeld;
    const sim::Violation& v = harness_->Violations()[violationsSeen_];
    violationsSeen_ = harness_->Violations().size();
    return Fail(step, kExpectFailed, "checker at " + std::to_string(v.time) + " ms: " + v.Format());
}

int HeadlessWorld::Expect(const Step& step) {
    scn::Transcript& transcript = harness_->Record();
    const int last = transcript.LastMatch();
    const std::string after = last < 0 ? "from the first line" : "after line " + std::to_string(last + 1);
    if (transcript.Expect(step.text) >= 0) return kAllHeld;
    return Fail(step, kExpectFailed, "expect failed: no transcript line " + after + " contains " + Quoted(step.text));
}

int HeadlessWorld::ExpectNot(const Step& step) {
    const std::vector<sim::Line>& lines = harness_->Transcript();
    const int found = harness_->Record().ExpectNot(step.text);
    if (found < 0) return kAllHeld;
    return Fail(step, kExpectFailed,
                "expect-not failed: transcript line " + std::to_string(found + 1) + " " +
                    Quoted(lines[static_cast<std::size_t>(found)].Format()) + " contains " + Quoted(step.text));
}

}  // namespace scn
