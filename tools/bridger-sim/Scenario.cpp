#include "tools/bridger-sim/Scenario.h"

#include <limits>

#include "tools/bridger-sim/ScenarioWords.h"

namespace scn {

namespace {

bool Fail(ScriptError* error, int line, const std::string& message) {
    if (error) *error = ScriptError{line, message};
    return false;
}

constexpr long long kMaxRun = 24LL * 3600 * 1000;  // one virtual day per command is plenty
constexpr long long kMaxInt = std::numeric_limits<int>::max();

// Each returns false with a message; `s` is filled in place.
using Message = std::string;

std::string Usage(const std::string& form) { return "usage: " + form; }

bool Bad(Message& m, const std::string& text) {
    m = text;
    return false;
}

bool ParseBase(const Reader& r, Step& s, Message& m) {
    const std::string sub = r.Count() > 1 ? r.At(1) : std::string();
    const std::size_t n = r.Count();
    std::string bad;
    if (sub == "plug" || sub == "unplug" || sub == "released" || sub == "register-end") {
        s.op = sub == "plug" ? Op::BasePlug
             : sub == "unplug" ? Op::BaseUnplug
             : sub == "released" ? Op::BaseReleased
                                 : Op::BaseRegisterEnd;
        if (n != 2) return Bad(m, Usage("base " + sub));
    } else if (sub == "echo" || sub == "replies") {
        s.op = sub == "echo" ? Op::BaseEcho : Op::BaseReplies;
        const std::string odd = sub == "echo" ? "wrong" : "other";
        const std::string mode = n == 3 ? r.At(2) : std::string();
        // The modes in the order of sim::EchoMode and sim::ReplyMode.
        const std::string modes[] = {"on", "off", "twice", odd};
        s.number = -1;
        for (long long i = 0; i < 4; ++i)
            if (mode == modes[i]) s.number = i;
        if (s.number < 0) return Bad(m, Usage("base " + sub + " on|off|twice|" + odd));
        s.on = mode != "off";
    } else if (sub == "hold") {
        s.op = Op::BaseHold;
        if (n != 3 || !OnOff(r.At(2), s.on)) return Bad(m, Usage("base hold on|off"));
    } else if (sub == "release") {
        s.op = Op::BaseRelease;
        if (n > 3 || (n == 3 && r.At(2) != "reversed")) return Bad(m, Usage("base release [reversed]"));
        s.on = n == 3;
    } else if (sub == "version") {
        s.op = Op::BaseVersion;
        s.text = r.TextAfter(1);
    } else if (sub == "send") {
        s.op = Op::BaseSend;
        if (n < 3) return Bad(m, Usage("base send HEX..."));
        if (!HexBytes(r, 2, s.bytes, bad)) return Bad(m, "bad hex '" + bad + "'");
        if (s.bytes.size() > 48) return Bad(m, "a report holds at most 48 data bytes");
    } else if (sub == "packet") {
        s.op = Op::BasePacket;
        if (n < 3) return Bad(m, Usage("base packet CODE HEX..."));
        std::vector<std::uint8_t> code;
        if (!HexWord(r.At(2), code) || code.size() != 1) return Bad(m, "bad packet code '" + r.At(2) + "'");
        s.number = code[0];
        if (!HexBytes(r, 3, s.bytes, bad)) return Bad(m, "bad hex '" + bad + "'");
        if (s.bytes.size() > 43) return Bad(m, "a packet body holds at most 43 bytes");
    } else {
        return Bad(m, "unknown command 'base " + sub + "'");
    }
    return true;
}

bool ParseHandset(const Reader& r, Step& s, Message& m) {
    const std::size_t n = r.Count();
    if (n < 3) return Bad(m, Usage("handset N key|talk|menu|answer|hangup|dial ..."));
    if (!Number(r.At(1), 0, 255, s.number)) return Bad(m, "bad handset number '" + r.At(1) + "'");
    const std::string& what = r.At(2);
    if (what == "talk" || what == "menu" || what == "answer" || what == "hangup") {
        s.op = what == "talk" ? Op::HandsetTalk
             : what == "menu" ? Op::HandsetMenu
             : what == "answer" ? Op::HandsetAnswer
                                : Op::HandsetHangup;
        if (n != 3) return Bad(m, Usage("handset N " + what));
    } else if (what == "key") {
        s.op = Op::HandsetKey;
        if (n != 4 || r.At(3).size() != 1) return Bad(m, Usage("handset N key C (one character)"));
        s.key = r.At(3)[0];
    } else if (what == "dial") {
        s.op = Op::HandsetDial;
        if (n < 4 || n > 5 || (n == 5 && r.At(4) != "repeat"))
            return Bad(m, Usage("handset N dial DIGITS [repeat]"));
        s.text = r.At(3);
        s.on = n == 5;
    } else {
        return Bad(m, "unknown command 'handset N " + what + "'");
    }
    return true;
}

bool ParseClient(const Reader& r, Step& s, Message& m) {
    const std::string sub = r.Count() > 1 ? r.At(1) : std::string();
    const std::size_t n = r.Count();
    std::string bad;
    if (sub == "start") {
        s.op = Op::ClientStart;
        if (n != 3 || (r.At(2) != "skype" && r.At(2) != "softphone"))
            return Bad(m, Usage("client start skype|softphone"));
        s.kind = r.At(2) == "skype" ? sim::ClientKindSim::Skype : sim::ClientKindSim::SoftPhone;
    } else if (sub == "attach") {
        s.op = Op::ClientAttach;
        if (n != 3) return Bad(m, Usage("client attach STATUS"));
        if (!Number(r.At(2), 0, kMaxInt, s.number)) return Bad(m, "bad number '" + r.At(2) + "'");
    } else if (sub == "stop") {
        s.op = Op::ClientStop;
        if (n != 2) return Bad(m, Usage("client stop"));
    } else if (sub == "auto") {
        s.op = Op::ClientAuto;
        if (n != 3 || !OnOff(r.At(2), s.on)) return Bad(m, Usage("client auto on|off"));
    } else if (sub == "contacts") {
        s.op = Op::ClientContacts;
        for (std::size_t i = 2; i < n; ++i) {
            const std::string& w = r.At(i);
            // The status follows the last colon: a handle may hold colons of its own.
            const std::size_t colon = w.rfind(':');
            sim::Contact c;
            c.handle = w.substr(0, colon);
            if (colon != std::string::npos) c.status = w.substr(colon + 1);
            if (c.handle.empty() || c.status.empty()) return Bad(m, "bad contact '" + w + "'");
            s.contacts.push_back(c);
        }
    } else if (sub == "say") {
        s.op = Op::ClientSay;
        s.text = r.TextAfter(1);
    } else if (sub == "send-raw") {
        s.op = Op::ClientSendRaw;
        if (!HexBytes(r, 2, s.bytes, bad)) return Bad(m, "bad hex '" + bad + "'");
    } else {
        return Bad(m, "unknown command 'client " + sub + "'");
    }
    return true;
}

bool ParseUi(const Reader& r, Step& s, Message& m) {
    const std::string sub = r.Count() > 1 ? r.At(1) : std::string();
    const std::size_t n = r.Count();
    if (sub == "command") {
        s.op = Op::UiCommand;
        if (n != 3) return Bad(m, Usage("ui command ID"));
        if (!Number(r.At(2), 0, 65535, s.number)) return Bad(m, "bad number '" + r.At(2) + "'");
    } else if (sub == "tray") {
        s.op = Op::UiTray;
        if (n != 3) return Bad(m, Usage("ui tray dblclick|rclick"));
        if (r.At(2) == "dblclick") s.number = 515;  // WM_LBUTTONDBLCLK
        else if (r.At(2) == "rclick") s.number = 516;  // WM_RBUTTONDOWN
        else if (!Number(r.At(2), 0, 65535, s.number)) return Bad(m, Usage("ui tray dblclick|rclick"));
    } else if (sub == "click" || sub == "check") {
        s.op = sub == "click" ? Op::UiClick : Op::UiCheck;
        if (n != 4) return Bad(m, Usage("ui " + sub + " WINDOW ID"));
        s.text = r.At(2);
        if (!Number(r.At(3), 0, 65535, s.second)) return Bad(m, "bad number '" + r.At(3) + "'");
    } else if (sub == "select") {
        s.op = Op::UiSelect;
        if (n != 5) return Bad(m, Usage("ui select WINDOW ID INDEX"));
        s.text = r.At(2);
        if (!Number(r.At(3), 0, 65535, s.second)) return Bad(m, "bad number '" + r.At(3) + "'");
        if (!Number(r.At(4), 0, kMaxInt, s.third)) return Bad(m, "bad number '" + r.At(4) + "'");
    } else if (sub == "close" || sub == "show") {
        s.op = sub == "close" ? Op::UiClose : Op::UiShow;
        if (n != 3) return Bad(m, Usage("ui " + sub + " WINDOW"));
        s.text = r.At(2);
    } else if (sub == "msgbox") {
        const std::string mode = n == 3 ? r.At(2) : std::string();
        if (mode == "auto") s.op = Op::UiMsgBoxAuto;
        else if (mode == "manual") s.op = Op::UiMsgBoxManual;
        else if (mode == "ok") s.op = Op::UiMsgBoxOk;
        else return Bad(m, Usage("ui msgbox auto|manual|ok"));
    } else {
        return Bad(m, "unknown command 'ui " + sub + "'");
    }
    return true;
}

bool ParseWords(const Reader& r, Step& s, Message& m) {
    const std::string& verb = r.At(0);
    const std::size_t n = r.Count();
    if (verb == "clock") {
        s.op = Op::Clock;
        if (n != 2 || !ParseClock(r.At(1), s.clock)) return Bad(m, Usage("clock HH:MM:SS"));
    } else if (verb == "os") {
        s.op = Op::Os;
        if (n != 2 || !ParseOs(r.At(1), s.os)) return Bad(m, Usage("os MAJOR.MINOR"));
    } else if (verb == "start") {
        s.op = Op::Start;
        s.text = r.TextAfter(0);
    } else if (verb == "run") {
        s.op = Op::Run;
        if (n != 2) return Bad(m, Usage("run MS"));
        if (!Number(r.At(1), 0, kMaxRun, s.number)) return Bad(m, "bad number '" + r.At(1) + "'");
    } else if (verb == "base") {
        return ParseBase(r, s, m);
    } else if (verb == "handset") {
        return ParseHandset(r, s, m);
    } else if (verb == "client") {
        return ParseClient(r, s, m);
    } else if (verb == "ui") {
        return ParseUi(r, s, m);
    } else if (verb == "expect" || verb == "expect-not") {
        s.op = verb == "expect" ? Op::Expect : Op::ExpectNot;
        s.text = r.TextAfter(0);
        // An empty TEXT would be found in any line and prove nothing.
        if (s.text.empty()) return Bad(m, Usage(verb + " TEXT"));
    } else {
        return Bad(m, "unknown command '" + verb + "'");
    }
    return true;
}

}  // namespace

bool ParseLine(const std::string& raw, int number, std::vector<Step>& steps, ScriptError* error) {
    std::string line = raw;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // files saved with CR LF
    std::vector<Word> words = Split(line);
    if (words.empty() || words[0].text[0] == '#') return true;
    Reader reader(line, std::move(words));
    Step step;
    step.line = number;
    std::string message;
    if (!ParseWords(reader, step, message)) return Fail(error, number, message);
    steps.push_back(std::move(step));
    return true;
}

bool ParseScript(std::istream& in, std::vector<Step>& steps, ScriptError* error) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number)
        if (!ParseLine(line, number, steps, error)) return false;
    return true;
}

}  // namespace scn
