#include "tools/bridger-sim/Scenario.h"

#include <cctype>
#include <limits>

namespace scn {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Word {
    std::string text;
    std::size_t end = 0;  // offset just past the word
};

std::vector<Word> Split(const std::string& line) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t begin = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > begin) words.push_back(Word{line.substr(begin, i - begin), i});
    }
    return words;
}

// What a command's parser sees: the words and the raw line, for TEXT.
class Reader {
public:
    Reader(const std::string& line, std::vector<Word> words) : line_(line), words_(std::move(words)) {}

    std::size_t Count() const { return words_.size(); }
    const std::string& At(std::size_t i) const { return words_[i].text; }
    // Everything after the one blank that follows word `last`, kept as written.
    std::string TextAfter(std::size_t last) const {
        const std::size_t from = words_[last].end + 1;
        return from < line_.size() ? line_.substr(from) : std::string();
    }
    std::string Usage(const std::string& form) const { return "usage: " + form; }

private:
    const std::string& line_;
    std::vector<Word> words_;
};

bool Number(const std::string& word, long long low, long long high, long long& out) {
    if (word.empty() || word.size() > 18) return false;
    long long value = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool HexWord(const std::string& w, std::vector<std::uint8_t>& out) {
    if (w.size() % 2 != 0) return false;
    for (std::size_t k = 0; k < w.size(); k += 2) {
        const int hi = HexDigit(w[k]);
        const int lo = HexDigit(w[k + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

// Hex pairs; blanks may stand between pairs but never inside one.
bool HexBytes(const Reader& r, std::size_t from, std::vector<std::uint8_t>& out, std::string& bad) {
    for (std::size_t i = from; i < r.Count(); ++i) {
        if (!HexWord(r.At(i), out)) {
            bad = r.At(i);
            return false;
        }
    }
    return true;
}

bool OnOff(const std::string& word, bool& on) {
    if (word == "on") on = true;
    else if (word == "off") on = false;
    else return false;
    return true;
}

bool Fail(ScriptError* error, int line, const std::string& message) {
    if (error) *error = ScriptError{line, message};
    return false;
}

bool ParseClock(const std::string& w, plat::TimeOfDay& t) {
    if (w.size() != 8 || w[2] != ':' || w[5] != ':') return false;
    long long h = 0, m = 0, s = 0;
    if (!Number(w.substr(0, 2), 0, 23, h) || !Number(w.substr(3, 2), 0, 59, m) || !Number(w.substr(6, 2), 0, 59, s))
        return false;
    t = plat::TimeOfDay{static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)};
    return true;
}

bool ParseOs(const std::string& w, plat::OsVersion& os) {
    const std::size_t dot = w.find('.');
    long long major = 0, minor = 0;
    if (dot == std::string::npos || !Number(w.substr(0, dot), 0, 255, major) ||
        !Number(w.substr(dot + 1), 0, 255, minor))
        return false;
    os = plat::OsVersion{static_cast<unsigned>(major), static_cast<unsigned>(minor)};
    return true;
}

constexpr long long kMaxRun = 24LL * 3600 * 1000;  // one virtual day per command is plenty
constexpr long long kMaxInt = std::numeric_limits<int>::max();

// Each returns false with a message; `s` is filled in place.
using Message = std::string;

bool Bad(Message& m, const std::string& text) {
    m = text;
    return false;
}

bool ParseBase(const Reader& r, Step& s, Message& m) {
    const std::string sub = r.Count() > 1 ? r.At(1) : std::string();
    const std::size_t n = r.Count();
    std::string bad;
    if (sub == "plug" && n == 2) s.op = Op::BasePlug;
    else if (sub == "unplug" && n == 2) s.op = Op::BaseUnplug;
    else if (sub == "released" && n == 2) s.op = Op::BaseReleased;
    else if (sub == "register-end" && n == 2) s.op = Op::BaseRegisterEnd;
    else if (sub == "echo" || sub == "replies") {
        s.op = sub == "echo" ? Op::BaseEcho : Op::BaseReplies;
        if (n != 3 || !OnOff(r.At(2), s.on)) return Bad(m, r.Usage("base " + sub + " on|off"));
    } else if (sub == "version") {
        s.op = Op::BaseVersion;
        s.text = r.TextAfter(1);
    } else if (sub == "send") {
        s.op = Op::BaseSend;
        if (n < 3) return Bad(m, r.Usage("base send HEX..."));
        if (!HexBytes(r, 2, s.bytes, bad)) return Bad(m, "bad hex '" + bad + "'");
        if (s.bytes.size() > 48) return Bad(m, "a report holds at most 48 data bytes");
    } else if (sub == "packet") {
        s.op = Op::BasePacket;
        if (n < 3) return Bad(m, r.Usage("base packet CODE HEX..."));
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
    if (n < 3) return Bad(m, r.Usage("handset N key|talk|menu|answer|hangup|dial ..."));
    if (!Number(r.At(1), 0, 255, s.number)) return Bad(m, "bad handset number '" + r.At(1) + "'");
    const std::string& what = r.At(2);
    if (what == "talk" && n == 3) s.op = Op::HandsetTalk;
    else if (what == "menu" && n == 3) s.op = Op::HandsetMenu;
    else if (what == "answer" && n == 3) s.op = Op::HandsetAnswer;
    else if (what == "hangup" && n == 3) s.op = Op::HandsetHangup;
    else if (what == "key") {
        s.op = Op::HandsetKey;
        if (n != 4 || r.At(3).size() != 1) return Bad(m, r.Usage("handset N key C (one character)"));
        s.key = r.At(3)[0];
    } else if (what == "dial") {
        s.op = Op::HandsetDial;
        if (n < 4 || n > 5 || (n == 5 && r.At(4) != "repeat"))
            return Bad(m, r.Usage("handset N dial DIGITS [repeat]"));
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
            return Bad(m, r.Usage("client start skype|softphone"));
        s.kind = r.At(2) == "skype" ? sim::ClientKindSim::Skype : sim::ClientKindSim::SoftPhone;
    } else if (sub == "attach") {
        s.op = Op::ClientAttach;
        if (n != 3) return Bad(m, r.Usage("client attach STATUS"));
        if (!Number(r.At(2), 0, kMaxInt, s.number)) return Bad(m, "bad number '" + r.At(2) + "'");
    } else if (sub == "stop" && n == 2) {
        s.op = Op::ClientStop;
    } else if (sub == "auto") {
        s.op = Op::ClientAuto;
        if (n != 3 || !OnOff(r.At(2), s.on)) return Bad(m, r.Usage("client auto on|off"));
    } else if (sub == "contacts") {
        s.op = Op::ClientContacts;
        for (std::size_t i = 2; i < n; ++i) {
            const std::string& w = r.At(i);
            const std::size_t colon = w.find(':');
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
        if (n != 3) return Bad(m, r.Usage("ui command ID"));
        if (!Number(r.At(2), 0, 65535, s.number)) return Bad(m, "bad number '" + r.At(2) + "'");
    } else if (sub == "tray") {
        s.op = Op::UiTray;
        if (n != 3) return Bad(m, r.Usage("ui tray dblclick|rclick"));
        if (r.At(2) == "dblclick") s.number = 515;  // WM_LBUTTONDBLCLK
        else if (r.At(2) == "rclick") s.number = 516;  // WM_RBUTTONDOWN
        else if (!Number(r.At(2), 0, 65535, s.number)) return Bad(m, r.Usage("ui tray dblclick|rclick"));
    } else if (sub == "click" || sub == "check") {
        s.op = sub == "click" ? Op::UiClick : Op::UiCheck;
        if (n != 4) return Bad(m, r.Usage("ui " + sub + " WINDOW ID"));
        s.text = r.At(2);
        if (!Number(r.At(3), 0, 65535, s.second)) return Bad(m, "bad number '" + r.At(3) + "'");
    } else if (sub == "select") {
        s.op = Op::UiSelect;
        if (n != 5) return Bad(m, r.Usage("ui select WINDOW ID INDEX"));
        s.text = r.At(2);
        if (!Number(r.At(3), 0, 65535, s.second)) return Bad(m, "bad number '" + r.At(3) + "'");
        if (!Number(r.At(4), 0, kMaxInt, s.third)) return Bad(m, "bad number '" + r.At(4) + "'");
    } else if (sub == "close" || sub == "show") {
        s.op = sub == "close" ? Op::UiClose : Op::UiShow;
        if (n != 3) return Bad(m, r.Usage("ui " + sub + " WINDOW"));
        s.text = r.At(2);
    } else if (sub == "msgbox") {
        const std::string mode = n == 3 ? r.At(2) : std::string();
        if (mode == "auto") s.op = Op::UiMsgBoxAuto;
        else if (mode == "manual") s.op = Op::UiMsgBoxManual;
        else if (mode == "ok") s.op = Op::UiMsgBoxOk;
        else return Bad(m, r.Usage("ui msgbox auto|manual|ok"));
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
        if (n != 2 || !ParseClock(r.At(1), s.clock)) return Bad(m, r.Usage("clock HH:MM:SS"));
    } else if (verb == "os") {
        s.op = Op::Os;
        if (n != 2 || !ParseOs(r.At(1), s.os)) return Bad(m, r.Usage("os MAJOR.MINOR"));
    } else if (verb == "start") {
        s.op = Op::Start;
        s.text = r.TextAfter(0);
    } else if (verb == "run") {
        s.op = Op::Run;
        if (n != 2) return Bad(m, r.Usage("run MS"));
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
        if (s.text.empty()) return Bad(m, r.Usage(verb + " TEXT"));
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
