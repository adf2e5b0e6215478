#include "tools/e2e-driver/Driver.h"

#include <cstdio>

#include "app/BridgeDlg.h"
#include "tools/e2e-driver/WindowsVersion.h"

namespace e2e {

namespace {

constexpr DWORD kSliceMs = 10;
constexpr double kPollEveryMs = 40;
constexpr double kSettleMs = 30;
// A real bridge needs real time to react: an expect waits this long for its line.
constexpr double kExpectGraceMs = 4000;
// Transcript kinds of bridger-sim that only the bridge itself sees.
const char* const kHiddenKinds[] = {"status", "balloon", "tray", "device-log", "voip-log",
                                    "control", "shell", "thread"};

}  // namespace

Driver::Driver(Settings settings)
    : settings_(std::move(settings)), transcript_(settings_.transcriptCopy), base_(transcript_, latency_),
      client_(transcript_, latency_), watch_(transcript_) {}

bool Driver::Observable(const scn::Step& step, std::string& text) {
    text = step.text;
    // A virtual time in front of the kind cannot hold in real time: the order still does.
    std::size_t at = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    if (at > 0 && at < text.size() && text[at] == ' ') text = text.substr(at + 1);
    const std::string kind = text.substr(0, text.find(' '));
    for (const char* hidden : kHiddenKinds) {
        if (kind != hidden) continue;
        std::fprintf(stderr, "%s:%d: note: '%s' is not visible from outside the bridge: not checked\n",
                     settings_.scenario.c_str(), step.line, kind.c_str());
        ++unchecked_;
        return false;
    }
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
    if (transcript_.NowMs() - lastPoll_ >= kPollEveryMs) {
        lastPoll_ = transcript_.NowMs();
        watch_.Poll();
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

HWND Driver::Control(const std::string& window, int id, std::string& error) {
    HWND top = window == "main" ? watch_.MainDialog() : watch_.WindowNamed(window);
    if (!top) {
        error = "the window '" + window + "' is not open";
        return nullptr;
    }
    // The settings page is a child of the options sheet: look through every descendant.
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) error = "the window '" + window + "' has no control " + std::to_string(id);
    return search.found;
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
    const auto handset = static_cast<std::uint8_t>(s.number);
    const double now = transcript_.NowMs();
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
        if (!watch_.MainDialog()) return Fail(s, kScriptError, "the main dialog is not there");
        PostMessageA(watch_.MainDialog(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(s.number), 0), 0);
        break;
    case Op::UiTray:
        if (!watch_.MainDialog()) return Fail(s, kScriptError, "the main dialog is not there");
        PostMessageA(watch_.MainDialog(), WM_TRAY_CALLBACK, kTrayIconId, static_cast<LPARAM>(s.number));
        break;
    case Op::UiClick:
    case Op::UiCheck: {
        HWND control = Control(s.text, static_cast<int>(s.second), error);
        if (!control) return Fail(s, kScriptError, error);
        // A click as the button itself takes one: an auto radio checks itself and clears its
        // group, then the owner hears BN_CLICKED.
        PostMessageA(control, BM_CLICK, 0, 0);
        break;
    }
    case Op::UiSelect: {
        HWND control = Control(s.text, static_cast<int>(s.second), error);
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
        HWND window = s.text == "main" ? watch_.MainDialog() : watch_.WindowNamed(s.text);
        if (!window) return Fail(s, kScriptError, "the window '" + s.text + "' is not open");
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    case Op::UiShow:
        // Its lines are of the control kind, which only the bridge itself sees.
        if (s.text != "main" && !watch_.WindowNamed(s.text))
            return Fail(s, kScriptError, "the window '" + s.text + "' is not open");
        std::fprintf(stderr, "%s:%d: note: ui show writes control lines, not visible from outside: skipped\n",
                     settings_.scenario.c_str(), s.line);
        break;
    case Op::UiMsgBoxAuto:
        watch_.SetAutoBoxes(true);
        watch_.ConfirmBox();
        break;
    case Op::UiMsgBoxManual: watch_.SetAutoBoxes(false); break;
    case Op::UiMsgBoxOk:
        Pump(kPollEveryMs);
        if (!watch_.ConfirmBox()) return Fail(s, kScriptError, "no message box is open");
        break;
    case Op::Expect: {
        std::string text;
        if (!Observable(s, text)) break;
        const double until = transcript_.NowMs() + kExpectGraceMs;
        while (!transcript_.Expect(text)) {
            if (transcript_.NowMs() >= until) return Fail(s, kExpectFailed, "expected: " + s.text);
            PumpOnce(kSliceMs);
        }
        break;
    }
    case Op::ExpectNot: {
        std::string text;
        Pump(kSettleMs + kPollEveryMs);  // what happened until now is written
        if (Observable(s, text) && !transcript_.ExpectNot(text))
            return Fail(s, kExpectFailed, "not expected: " + s.text);
        break;
    }
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

int Driver::Run(const std::vector<scn::Step>& steps) {
    std::string error;
    if (!base_.Open(settings_.inf, error)) {
        std::fprintf(stderr, "e2e-driver: the virtual base cannot start: %s\n", error.c_str());
        return kCannotStart;
    }
    if (!client_.Open(error) || !watch_.Load(settings_.bridger, error)) {
        std::fprintf(stderr, "e2e-driver: cannot start: %s\n", error.c_str());
        return kCannotStart;
    }
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
    return status;
}

}  // namespace e2e
