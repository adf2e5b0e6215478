#include "tools/e2e-driver/Driver.h"

#include <cstdio>

#include "app/BridgeDlg.h"
#include "tools/e2e-driver/WindowText.h"
#include "tools/e2e-driver/WindowsVersion.h"

namespace e2e {

namespace {

constexpr DWORD kSliceMs = 10;
constexpr double kPollEveryMs = 40;
constexpr double kSettleMs = 30;

// The n-th word (from 0) of a text, or "".
std::string Word(const std::string& text, int n) {
    std::size_t from = 0;
    for (int i = 0; i < n && from != std::string::npos; ++i) {
        from = text.find(' ', from);
        if (from != std::string::npos) ++from;
    }
    if (from == std::string::npos) return std::string();
    return text.substr(from, text.find(' ', from) - from);
}

}  // namespace

Driver::Driver(Settings settings)
    : settings_(std::move(settings)), transcript_(settings_.transcriptCopy), base_(transcript_, latency_),
      client_(transcript_, latency_), watch_(transcript_), tray_(transcript_), shell_(transcript_),
      status_(transcript_, base_.KeepAlives()), logs_(transcript_), reader_(transcript_) {}

void Driver::Unseen(const scn::Step& step, const std::string& why) {
    std::fprintf(stderr, "%s:%d: note: not checked on the real build: %s\n", settings_.scenario.c_str(), step.line,
                 why.c_str());
    ++unseen_[why];
}

bool Driver::Visible(const scn::Step& step, const Check& check) {
    std::string why;
    const auto marked = settings_.marked.find(step.line);
    if (marked != settings_.marked.end())
        why = marked->second;
    else if (check.text.empty())
        why = check.unseen;
    else if ((check.kind == "tray" || check.kind == "balloon") && !tray_.Ours())
        why = "tray (the desktop's own taskbar holds the notification area)";
    else if (check.kind == "shell" && !shell_.Ours())
        why = "shell (the desktop's own handler opens web addresses)";
    else if (check.kind == "status" && status_.Closed())
        why = "status (the information window is closed)";
    if (!why.empty()) {
        Unseen(step, why);
        return false;
    }
    if (!check.unseen.empty()) Unseen(step, check.unseen);
    return true;
}

int Driver::Fail(const scn::Step& step, int status, const std::string& message) {
    std::fprintf(stderr, "%s:%d: %s\n", settings_.scenario.c_str(), step.line, message.c_str());
    if (status == kExpectFailed && plugged_ && !base_.EverConnected()) {
        // Not the bridge's fault: its base station never came up.
        std::fprintf(stderr, "e2e-driver: the virtual base's minidriver never connected (is it installed? see base-device.exe list)\n");
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
    const double now = transcript_.NowMs();
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
    if (!watch_.Settling()) transcript_.Flush(transcript_.NowMs() - kSettleMs);
}

void Driver::Pump(double ms) {
    const double until = transcript_.NowMs() + ms;
    do {
        const double left = until - transcript_.NowMs();
        PumpOnce(left > kSliceMs ? kSliceMs : (left > 0 ? static_cast<DWORD>(left) : 0));
    } while (transcript_.NowMs() < until);
}

bool Driver::EnsureStarted(const std::string& arguments, std::string& error) {
    if (watch_.Started()) return true;
    if (!SetReportedVersion(settings_.bridger, os_, error)) return false;
    transcript_.Restart();
    return watch_.Start(arguments, error);
}

HWND Driver::Window(const std::string& name) const {
    return name == "main" ? watch_.MainDialog() : watch_.WindowNamed(name);
}

void Driver::Reread(const std::string& controlText) {
    if (transcript_.NowMs() - lastReread_ < kPollEveryMs) return;
    lastReread_ = transcript_.NowMs();
    // "control WINDOW ID ..." or "control WINDOW caption ..."
    const std::string name = Word(controlText, 1);
    if (HWND window = Window(name)) reader_.Refresh(name, window, Word(controlText, 2));
}

bool Driver::WaitFor(const std::function<bool()>& state) {
    const double until = transcript_.NowMs() + kExpectWaitMs;
    while (!state()) {
        if (transcript_.NowMs() >= until) return false;
        PumpOnce(kSliceMs);
    }
    return true;
}

void Driver::PostTrayEvent(UINT event) {
    const HWND main = watch_.MainDialog();
    if (!tray_.Version4()) {
        PostMessageA(main, WM_TRAY_CALLBACK, kTrayIconId, static_cast<LPARAM>(event));
        return;
    }
    auto post = [main](UINT what) {
        PostMessageA(main, WM_TRAY_CALLBACK, MAKEWPARAM(0, 0), MAKELPARAM(what, kTrayIconId));
    };
    post(event);
    if (event == kTrayRightDown) {
        post(WM_RBUTTONUP);
        post(kTrayContextMenu);
    }
}

bool Driver::CloseMenu() {
    if (!watch_.MenuOpen() || !watch_.MainDialog()) return true;
    // As a click elsewhere: the menu's loop ends on the owner's cancel.
    PostMessageA(watch_.MainDialog(), WM_CANCELMODE, 0, 0);
    return WaitFor([this] { return !watch_.MenuOpen(); });
}

int Driver::Expect(const scn::Step& s) {
    const Check check = PlanCheck(s.text);
    if (!Visible(s, check)) return kAllHeld;
    const bool held = WaitFor([&] {
        if (transcript_.Expect(check.text)) return true;
        // Controls change without a line of their own: their window is read again.
        if (check.kind == "control") Reread(check.text);
        return false;
    });
    if (!held) return Fail(s, kExpectFailed, "expected: " + s.text);
    ++held_;
    return kAllHeld;
}

int Driver::ExpectNot(const scn::Step& s) {
    const Check check = PlanCheck(s.text);
    Pump(kSettleMs + kPollEveryMs);  // what happened until now is written
    if (!Visible(s, check)) return kAllHeld;
    if (!transcript_.ExpectNot(check.text)) return Fail(s, kExpectFailed, "not expected: " + s.text);
    ++held_;
    return kAllHeld;
}

HWND Driver::Control(const std::string& window, int id, std::string& error) {
    HWND top = Window(window);
    if (!top) {
        error = "the window '" + window + "' is not open";
        return nullptr;
    }
    // The settings page is a child of the options sheet: look through every descendant.
    const HWND found = Descendant(top, id);
    if (!found) error = "the window '" + window + "' has no control " + std::to_string(id);
    return found;
}

int Driver::NotOnRealBuild(const scn::Step& s) {
    std::fprintf(stderr, "%s:%d: note: this line cannot be checked on the real build: skipped\n",
                 settings_.scenario.c_str(), s.line);
    return kAllHeld;
}

int Driver::Execute(const scn::Step& s) {
    using scn::Op;
    std::string error;
    if (s.op == Op::Clock) {
        std::fprintf(stderr, "%s:%d: note: clock is not set on a real system\n", settings_.scenario.c_str(), s.line);
        return kAllHeld;
    }
    if (s.op == Op::Os) {
        if (watch_.Started()) return Fail(s, kScriptError, "os is only allowed before start");
        os_ = s.os;
        return kAllHeld;
    }
    if (s.op == Op::Start && watch_.Started()) {
        // Another instance of the program, started beside the first.
        if (!watch_.Start(s.text, error)) return Fail(s, kCannotStart, error);
        return kAllHeld;
    }
    if (!EnsureStarted(s.op == Op::Start ? s.text : std::string(), error)) return Fail(s, kCannotStart, error);
    const bool userAction = s.op == Op::UiCommand || s.op == Op::UiTray || s.op == Op::UiClick || s.op == Op::UiCheck ||
                            s.op == Op::UiSelect || s.op == Op::UiClose;
    if (userAction && !CloseMenu()) return Fail(s, kScriptError, "the tray menu does not close");
    const auto handset = static_cast<std::uint8_t>(s.number);
    const double now = transcript_.NowMs();
    if (s.op != Op::Run && s.op != Op::Expect && s.op != Op::ExpectNot && s.op != Op::UiShow) transcript_.Acted(now);
    switch (s.op) {
    case Op::Start:
    case Op::Clock:
    case Op::Os: break;
    case Op::Run: Pump(static_cast<double>(s.number)); break;
    case Op::BasePlug:
        if (!base_.Plug(error)) return Fail(s, kCannotStart, "Wine did not add the virtual base: " + error);
        plugged_ = true;
        break;
    case Op::BaseUnplug:
        if (!base_.Unplug(error)) return Fail(s, kCannotStart, "Wine did not remove the virtual base: " + error);
        std::fprintf(stderr, "%s:%d: note: the base was unplugged from %.0f ms to %.0f ms\n", settings_.scenario.c_str(),
                     s.line, now, transcript_.NowMs());
        break;
    case Op::BaseEcho:
    case Op::BaseReplies:
        // Only on and off: the misbehaving modes are played on the headless bridge alone.
        if (s.number > 1) return NotOnRealBuild(s);
        base_.With([&](sim::SimBase& b) { s.op == Op::BaseEcho ? b.SetEcho(s.on) : b.SetReplies(s.on); });
        break;
    case Op::BaseHold:
    case Op::BaseRelease: return NotOnRealBuild(s);
    case Op::BaseVersion: base_.With([&](sim::SimBase& b) { b.SetVersion(s.text); }); break;
    case Op::BaseSend: base_.With([&](sim::SimBase& b) { b.SendRaw(s.bytes); }); break;
    case Op::BasePacket:
        base_.With([&](sim::SimBase& b) { b.SendPacket(static_cast<std::uint8_t>(s.number), s.bytes); });
        break;
    case Op::BaseReleased: base_.With([](sim::SimBase& b) { b.LineReleased(); }); break;
    case Op::BaseRegisterEnd: base_.With([](sim::SimBase& b) { b.RegisterEnd(); }); break;
    case Op::HandsetKey:
        // A key is a tone during a call; '#' ends a number being dialled and places the call.
        latency_.HandsetEvent(now, s.key == '#' ? std::vector<std::string>{"DTMF #", "CALL "}
                                                : std::vector<std::string>{std::string("DTMF ") + s.key});
        base_.With([&](sim::SimBase& b) { b.Key(handset, s.key); });
        break;
    case Op::HandsetTalk: base_.With([&](sim::SimBase& b) { b.FuncKey(handset, '*'); }); break;
    case Op::HandsetMenu: base_.With([&](sim::SimBase& b) { b.FuncKey(handset, '#'); }); break;
    case Op::HandsetAnswer:
        latency_.HandsetEvent(now, {"STATUS INPROGRESS"});
        base_.With([&](sim::SimBase& b) { b.Answer(handset); });
        break;
    case Op::HandsetHangup:
        latency_.HandsetEvent(now, {"STATUS FINISHED"});
        base_.With([&](sim::SimBase& b) { b.HangUp(handset); });
        break;
    case Op::HandsetDial:
        latency_.HandsetEvent(now, {"CALL " + s.text});
        base_.With([&](sim::SimBase& b) { b.DialString(handset, s.text, s.on); });
        break;
    case Op::ClientStart: client_.Start(s.kind); break;
    case Op::ClientAttach: client_.Attach(static_cast<int>(s.number), watch_.MainDialog()); break;
    case Op::ClientStop: client_.Stop(); break;
    case Op::ClientAuto: client_.Sim().SetAuto(s.on); break;
    case Op::ClientContacts: client_.Sim().SetContacts(s.contacts); break;
    case Op::ClientSay: client_.Say(s.text); break;
    case Op::ClientSendRaw: client_.SendRaw(s.bytes); break;
    case Op::UiCommand:
        if (!WaitFor([this] { return watch_.MainDialog() != nullptr; }))
            return Fail(s, kScriptError, "the main dialog is not there");
        PostMessageA(watch_.MainDialog(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(s.number), 0), 0);
        break;
    case Op::UiTray:
        if (!WaitFor([this] { return watch_.MainDialog() != nullptr; }))
            return Fail(s, kScriptError, "the main dialog is not there");
        PostTrayEvent(static_cast<UINT>(s.number));
        // The menu is up before the user does anything else, as in the simulation.
        if (s.number == kTrayRightDown) WaitFor([this] { return watch_.MenuOpen(); });
        break;
    case Op::UiClick:
    case Op::UiCheck: {
        HWND control = nullptr;
        WaitFor([&] { return (control = Control(s.text, static_cast<int>(s.second), error)) != nullptr; });
        if (!control) return Fail(s, kScriptError, error);
        // A click as the button itself takes one: an auto radio checks itself and clears its
        // group, then the owner hears BN_CLICKED.
        PostMessageA(control, BM_CLICK, 0, 0);
        break;
    }
    case Op::UiSelect: {
        HWND control = nullptr;
        WaitFor([&] { return (control = Control(s.text, static_cast<int>(s.second), error)) != nullptr; });
        if (!control) return Fail(s, kScriptError, error);
        char cls[32] = {};
        GetClassNameA(control, cls, sizeof cls);
        const bool combo = lstrcmpiA(cls, "ComboBox") == 0;
        SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(s.third), 0);
        PostMessageA(GetParent(control), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(s.second), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        break;
    }
    case Op::UiClose: {
        HWND window = nullptr;
        WaitFor([&] { return (window = Window(s.text)) != nullptr; });
        if (!window) return Fail(s, kScriptError, "the window '" + s.text + "' is not open");
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    case Op::UiShow: {
        HWND window = nullptr;
        WaitFor([&] { return (window = Window(s.text)) != nullptr; });
        if (!window) return Fail(s, kScriptError, "the window '" + s.text + "' is not open");
        reader_.Show(s.text, window);
        break;
    }
    case Op::UiMsgBoxAuto:
        watch_.SetAutoBoxes(true);
        watch_.ConfirmBox();
        break;
    case Op::UiMsgBoxManual: watch_.SetAutoBoxes(false); break;
    case Op::UiMsgBoxOk:
        WaitFor([this] { return watch_.BoxOpen(); });
        if (!watch_.ConfirmBox()) return Fail(s, kScriptError, "no message box is open");
        break;
    case Op::Expect: return Expect(s);
    case Op::ExpectNot: return ExpectNot(s);
    }
    // What the step set going (a report, a notification) goes out at once.
    PumpOnce(0);
    return kAllHeld;
}

void Driver::Finish() {
    Pump(kPollEveryMs * 2);
    watch_.EndAll([this](DWORD ms) { Pump(ms); });
    // The next run starts without a base, as a fresh system would.
    std::string error;
    if (base_.Plugged() && !base_.Unplug(error)) std::fprintf(stderr, "e2e-driver: %s\n", error.c_str());
    transcript_.Flush(transcript_.NowMs() + 1);
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
    int status = kAllHeld;
    for (const scn::Step& step : steps) {
        status = Execute(step);
        if (status != kAllHeld) break;
    }
    if (status == kAllHeld && !watch_.Started()) {
        if (!EnsureStarted("", error)) {
            std::fprintf(stderr, "e2e-driver: %s\n", error.c_str());
            status = kCannotStart;
        }
    }
    if (status == kAllHeld && plugged_ && !base_.EverConnected()) {
        std::fprintf(stderr, "e2e-driver: the virtual base's minidriver never connected (is it installed? see base-device.exe list)\n");
        status = kCannotStart;
    }
    Finish();
    Summary();
    return status;
}

}  // namespace e2e
