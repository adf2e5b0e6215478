#include "tools/e2e-driver/Driver.h"

#include <cstdio>

#include "tools/bridger-sim/Engine.h"
#include "tools/e2e-driver/WindowsVersion.h"

namespace e2e {

using scn::kAllHeld;
using scn::kCannotStart;
using scn::kExpectFailed;
using scn::kScriptError;
using scn::Op;

namespace {

constexpr DWORD kSliceMs = 10;
constexpr const char* kNeverConnected =
    "e2e-driver: the virtual base's minidriver never connected (is it installed? see base-device.exe list)\n";

}  // namespace

Driver::Driver(Settings settings)
    : settings_(std::move(settings)), transcript_(Recorder::Policy()), recorder_(transcript_, settings_.transcriptCopy),
      base_(recorder_, latency_), client_(recorder_, latency_), watch_(recorder_), tray_(recorder_), shell_(recorder_),
      status_(recorder_, base_.KeepAlives()), logs_(recorder_), reader_(recorder_) {}

int Driver::Fail(const scn::Step& step, int status, const std::string& message) {
    std::fprintf(stderr, "%s:%d: %s\n", settings_.scenario.c_str(), step.line, message.c_str());
    if (status == kExpectFailed && plugged_ && !base_.EverConnected()) {
        // Not the bridge's fault: its base station never came up.
        std::fputs(kNeverConnected, stderr);
        return kCannotStart;
    }
    return status;
}

void Driver::PumpOnce(DWORD waitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    client_.Flush();
    const double now = recorder_.NowMs();
    // A look asks the bridge's windows and can wait for its loop: steps that follow one
    // another without a `run` go out at once, as in the simulation, and look afterwards.
    if (waitMs > 0 && now - lastPoll_ >= kPollEveryMs) {
        // What a look finds happened after the previous look.
        const double since = lastPoll_ > 0 ? lastPoll_ : 0;
        lastPoll_ = now;
        watch_.Poll();
        client_.Settle(now);
        status_.Look(watch_.WindowNamed("info"), now);
        logs_.Look(watch_.WindowNamed("debug"), since);
    }
    // Lines wait a moment for a line of another channel that happened before them; while a
    // window is being made, until it is named.
    if (!watch_.Settling()) recorder_.Flush(recorder_.NowMs() - kSettleMs);
}

void Driver::Pump(double ms) {
    const double until = recorder_.NowMs() + ms;
    do {
        const double left = until - recorder_.NowMs();
        PumpOnce(left > kSliceMs ? kSliceMs : (left > 0 ? static_cast<DWORD>(left) : 0));
    } while (recorder_.NowMs() < until);
}

bool Driver::WaitFor(const std::function<bool()>& state) {
    const double until = recorder_.NowMs() + kExpectWaitMs;
    while (!state()) {
        if (recorder_.NowMs() >= until) return false;
        PumpOnce(kSliceMs);
    }
    return true;
}

bool Driver::EnsureStarted(const std::string& arguments, std::string& error) {
    if (watch_.Started()) return true;
    if (!SetReportedVersion(settings_.bridger, os_, error)) return false;
    recorder_.Restart();
    return watch_.Start(arguments, error);
}

int Driver::StartAgain(const scn::Step& step) {
    std::string error;
    if (!watch_.Start(step.text, error)) return Fail(step, kCannotStart, error);
    return kAllHeld;
}

int Driver::SetClock(const scn::Step& step) {
    std::fprintf(stderr, "%s:%d: note: clock is not set on a real system\n", settings_.scenario.c_str(), step.line);
    return kAllHeld;
}

int Driver::BeforeStep(const scn::Step& s) {
    const bool userAction = s.op == Op::UiCommand || s.op == Op::UiTray || s.op == Op::UiClick || s.op == Op::UiCheck ||
                            s.op == Op::UiSelect || s.op == Op::UiClose;
    if (userAction && !CloseMenu()) return Fail(s, kScriptError, "the tray menu does not close");
    stepAt_ = recorder_.NowMs();
    if (s.op != Op::Run && s.op != Op::Expect && s.op != Op::ExpectNot && s.op != Op::UiShow)
        transcript_.Acted(stepAt_);
    return kAllHeld;
}

bool Driver::Plays(const scn::Step& s) {
    const bool misbehaving = ((s.op == Op::BaseEcho || s.op == Op::BaseReplies) && s.number > 1) ||
                             s.op == Op::BaseHold || s.op == Op::BaseRelease;
    if (!misbehaving) return true;
    std::fprintf(stderr, "%s:%d: note: this line cannot be checked on the real build: skipped\n",
                 settings_.scenario.c_str(), s.line);
    return false;
}

int Driver::PlugBase(const scn::Step& step) {
    std::string error;
    if (!base_.Plug(error)) return Fail(step, kCannotStart, "Wine did not add the virtual base: " + error);
    plugged_ = true;
    return kAllHeld;
}

int Driver::UnplugBase(const scn::Step& step) {
    std::string error;
    if (!base_.Unplug(error)) return Fail(step, kCannotStart, "Wine did not remove the virtual base: " + error);
    std::fprintf(stderr, "%s:%d: note: the base was unplugged from %.0f ms to %.0f ms\n", settings_.scenario.c_str(),
                 step.line, stepAt_, recorder_.NowMs());
    return kAllHeld;
}

void Driver::Handset(const scn::Step& s, const std::function<void(sim::SimBase&)>& act) {
    // A key is a tone during a call; '#' ends a number being dialled and places the call.
    switch (s.op) {
        case Op::HandsetKey:
            latency_.HandsetEvent(stepAt_, s.key == '#' ? std::vector<std::string>{"DTMF #", "CALL "}
                                                        : std::vector<std::string>{std::string("DTMF ") + s.key});
            break;
        case Op::HandsetAnswer: latency_.HandsetEvent(stepAt_, {"STATUS INPROGRESS"}); break;
        case Op::HandsetHangup: latency_.HandsetEvent(stepAt_, {"STATUS FINISHED"}); break;
        case Op::HandsetDial: latency_.HandsetEvent(stepAt_, {"CALL " + s.text}); break;
        default: break;
    }
    base_.With(act);
}

void Driver::EndRun() {
    Pump(kPollEveryMs * 2);
    watch_.EndAll([this](DWORD ms) { Pump(ms); });
    // The next run starts without a base, as a fresh system would.
    std::string error;
    if (base_.Plugged() && !base_.Unplug(error)) std::fprintf(stderr, "e2e-driver: %s\n", error.c_str());
    recorder_.Flush(recorder_.NowMs() + 1);
    std::printf("%s\n", Latency::Summary("key-to-client", latency_.KeyToClient()).c_str());
    std::printf("%s\n", Latency::Summary("ringing-to-alert", latency_.RingingToAlert()).c_str());
    for (double ms : latency_.KeyToClient()) std::printf("latency-sample key-to-client %.1f\n", ms);
    for (double ms : latency_.RingingToAlert()) std::printf("latency-sample ringing-to-alert %.1f\n", ms);
    std::fflush(stdout);
}

void Driver::Summary() const {
    int unseen = 0;
    for (const auto& why : unseen_) unseen += why.second;
    std::fprintf(stderr, "e2e-driver: checks held %d, not checkable on the real build %d\n", held_, unseen);
    for (const auto& why : unseen_) std::fprintf(stderr, "e2e-driver:   %dx %s\n", why.second, why.first.c_str());
}

int Driver::Finish(const std::vector<scn::Step>&, int status) {
    std::string error;
    if (status == kAllHeld && !watch_.Started() && !EnsureStarted("", error)) {
        std::fprintf(stderr, "e2e-driver: %s\n", error.c_str());
        status = kCannotStart;
    }
    if (status == kAllHeld && plugged_ && !base_.EverConnected()) {
        std::fputs(kNeverConnected, stderr);
        status = kCannotStart;
    }
    EndRun();
    Summary();
    return status;
}

int Driver::Run(const std::vector<scn::Step>& steps) {
    std::string error;
    if (!base_.Open(settings_.inf, error)) {
        std::fprintf(stderr, "e2e-driver: the virtual base cannot start: %s\n", error.c_str());
        return kCannotStart;
    }
    if (!client_.Open(error) || !watch_.Load(settings_.bridger, error) || !status_.Load(settings_.bridger, error)) {
        std::fprintf(stderr, "e2e-driver: cannot start: %s\n", error.c_str());
        return kCannotStart;
    }
    // Both before the bridge starts: it adds its icon at once.
    tray_.Open();
    shell_.Open(settings_.self);
    return scn::Engine(*this).Run(steps);
}

}  // namespace e2e
