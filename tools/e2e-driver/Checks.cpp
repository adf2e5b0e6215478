#include "tools/e2e-driver/Checks.h"

#include <cctype>

namespace e2e {

namespace {

bool IsLogKind(const std::string& kind) { return kind == "device-log" || kind == "voip-log"; }

bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// "MM:SS " at `at`: the local time a log line begins with.
bool ClockAt(const std::string& text, std::size_t at) {
    return text.size() >= at + 6 && Digit(text[at]) && Digit(text[at + 1]) && text[at + 2] == ':' &&
           Digit(text[at + 3]) && Digit(text[at + 4]) && text[at + 5] == ' ';
}

// Removes "MM:SS " after a log kind's blank; any other text stays as it is.
std::string WithoutLogClock(const std::string& kind, const std::string& text) {
    const std::size_t at = kind.size() + 1;
    if (!IsLogKind(kind) || text.compare(0, at, kind + " ") != 0 || !ClockAt(text, at)) return text;
    return text.substr(0, at) + text.substr(at + 6);
}

// Cuts " WORD=..." (up to the next blank) out of text; true when it was there.
bool Cut(std::string& text, const std::string& word) {
    const std::size_t at = text.find(" " + word + "=");
    if (at == std::string::npos) return false;
    const std::size_t end = text.find(' ', at + 1);
    text.erase(at, end == std::string::npos ? std::string::npos : end - at);
    return true;
}

}  // namespace

Check PlanCheck(const std::string& expectText) {
    Check check;
    check.text = expectText;
    // A virtual time in front cannot hold in real time; the order still does.
    std::size_t at = 0;
    while (at < check.text.size() && Digit(check.text[at])) ++at;
    if (at > 0 && at + 1 < check.text.size() && check.text[at] == ' ') check.text.erase(0, at + 1);
    check.kind = check.text.substr(0, check.text.find(' '));
    if (check.kind == "thread") {
        check.unseen = "thread state (it lies inside the process)";
        check.text.clear();
    } else if (check.kind == "control") {
        if (Cut(check.text, "icon")) check.unseen = "icon shown (another process's icon cannot be read under Wine)";
    } else if (check.kind == "tray" && check.text.compare(0, 10, "tray menu ") == 0) {
        check.text = "tray menu";
        check.unseen = "menu items (another process's menu cannot be read under Wine)";
    } else if (IsLogKind(check.kind)) {
        check.text = WithoutLogClock(check.kind, check.text);
    }
    return check;
}

std::string Comparable(const std::string& kind, const std::string& text) {
    return WithoutLogClock(kind, kind + " " + text);
}

}  // namespace e2e
