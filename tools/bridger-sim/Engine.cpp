#include "tools/bridger-sim/Engine.h"

namespace scn {

namespace {

constexpr char kTalkKey = '*';
constexpr char kMenuKey = '#';
constexpr int kNothingSent = -1;  // a step that held but set nothing going

int Quiet(int status) { return status == kAllHeld ? kNothingSent : status; }

}  // namespace

int Engine::Run(const std::vector<Step>& steps) {
    int status = kAllHeld;
    for (const Step& step : steps) {
        status = PlayStep(step);
        if (status != kAllHeld) break;
    }
    return world_.Finish(steps, status);
}

int Engine::PlayStep(const Step& step) {
    int status = Execute(step);
    if (status == kNothingSent) {
        status = kAllHeld;
    } else if (status == kAllHeld && step.op != Op::Expect && step.op != Op::ExpectNot) {
        world_.Sent();
    }
    return world_.AfterStep(step, status);
}

int Engine::Execute(const Step& s) {
    switch (s.op) {
        case Op::Clock: return Quiet(world_.SetClock(s));
        case Op::Os:
            if (world_.Started()) return world_.Fail(s, kScriptError, "os is only allowed before start");
            world_.SetOs(s.os);
            return kNothingSent;
        case Op::Start:
            if (world_.Started()) return Quiet(world_.StartAgain(s));
            break;
        default:
            break;
    }
    std::string error;
    if (!world_.EnsureStarted(s.op == Op::Start ? s.text : std::string(), error))
        return world_.Fail(s, kCannotStart, error);
    const int ready = world_.BeforeStep(s);
    if (ready != kAllHeld) return ready;
    if (!world_.Plays(s)) return kNothingSent;
    switch (s.op) {
        case Op::Clock:
        case Op::Os:
        case Op::Start: return kAllHeld;
        case Op::Run: world_.Run(static_cast<std::uint64_t>(s.number)); return kAllHeld;
        case Op::Expect: return world_.Expect(s);
        case Op::ExpectNot: return world_.ExpectNot(s);
        case Op::ClientStart:
        case Op::ClientAttach:
        case Op::ClientStop:
        case Op::ClientAuto:
        case Op::ClientContacts:
        case Op::ClientSay:
        case Op::ClientSendRaw: return Client(s);
        case Op::HandsetKey:
        case Op::HandsetTalk:
        case Op::HandsetMenu:
        case Op::HandsetAnswer:
        case Op::HandsetHangup:
        case Op::HandsetDial: return Handset(s);
        case Op::UiCommand:
        case Op::UiTray:
        case Op::UiClick:
        case Op::UiCheck:
        case Op::UiSelect:
        case Op::UiClose:
        case Op::UiShow:
        case Op::UiMsgBoxAuto:
        case Op::UiMsgBoxManual:
        case Op::UiMsgBoxOk: return User(s);
        default: return Base(s);
    }
}

int Engine::Base(const Step& s) {
    switch (s.op) {
        case Op::BasePlug: return world_.PlugBase(s);
        case Op::BaseUnplug: return world_.UnplugBase(s);
        default: break;
    }
    world_.WithBase([&s](sim::SimBase& base) {
        switch (s.op) {
            case Op::BaseEcho: base.SetEchoMode(static_cast<sim::EchoMode>(s.number)); break;
            case Op::BaseReplies: base.SetReplyMode(static_cast<sim::ReplyMode>(s.number)); break;
            case Op::BaseHold: base.SetHold(s.on); break;
            case Op::BaseRelease: base.Release(s.on); break;
            case Op::BaseVersion: base.SetVersion(s.text); break;
            case Op::BaseSend: base.SendRaw(s.bytes); break;
            case Op::BasePacket: base.SendPacket(static_cast<std::uint8_t>(s.number), s.bytes); break;
            case Op::BaseReleased: base.LineReleased(); break;
            case Op::BaseRegisterEnd: base.RegisterEnd(); break;
            default: break;
        }
    });
    return kAllHeld;
}

int Engine::Handset(const Step& s) {
    const auto handset = static_cast<std::uint8_t>(s.number);
    world_.Handset(s, [&s, handset](sim::SimBase& base) {
        switch (s.op) {
            case Op::HandsetKey: base.Key(handset, s.key); break;
            case Op::HandsetTalk: base.FuncKey(handset, kTalkKey); break;
            case Op::HandsetMenu: base.FuncKey(handset, kMenuKey); break;
            case Op::HandsetAnswer: base.Answer(handset); break;
            case Op::HandsetHangup: base.HangUp(handset); break;
            case Op::HandsetDial: base.DialString(handset, s.text, s.on); break;
            default: break;
        }
    });
    return kAllHeld;
}

int Engine::Client(const Step& s) {
    switch (s.op) {
        case Op::ClientStart: world_.StartClient(s.kind); break;
        case Op::ClientAttach: world_.ClientAttach(static_cast<int>(s.number)); break;
        case Op::ClientStop: world_.StopClient(); break;
        case Op::ClientAuto: world_.Client().SetAuto(s.on); break;
        case Op::ClientContacts: world_.Client().SetContacts(s.contacts); break;
        case Op::ClientSay: world_.ClientSay(s.text); break;
        case Op::ClientSendRaw: world_.ClientSendRaw(s.bytes); break;
        default: break;
    }
    return kAllHeld;
}

int Engine::User(const Step& s) {
    std::string error;
    bool ok = true;
    switch (s.op) {
        case Op::UiCommand: ok = world_.Command(static_cast<int>(s.number), error); break;
        case Op::UiTray: ok = world_.Tray(static_cast<unsigned>(s.number), error); break;
        case Op::UiClick: ok = world_.Click(s.text, static_cast<int>(s.second), error); break;
        case Op::UiCheck: ok = world_.CheckRadio(s.text, static_cast<int>(s.second), error); break;
        case Op::UiSelect:
            ok = world_.Select(s.text, static_cast<int>(s.second), static_cast<int>(s.third), error);
            break;
        case Op::UiClose: ok = world_.Close(s.text, error); break;
        case Op::UiShow: ok = world_.Show(s.text, error); break;
        case Op::UiMsgBoxAuto: world_.AutoMessageBoxes(true); break;
        case Op::UiMsgBoxManual: world_.AutoMessageBoxes(false); break;
        case Op::UiMsgBoxOk:
            ok = world_.ConfirmMessageBox();
            if (!ok) error = "no message box is open";
            break;
        default: break;
    }
    return ok ? kAllHeld : world_.Fail(s, kScriptError, error);
}

}  // namespace scn
