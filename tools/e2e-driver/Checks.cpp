#include "tools/e2e-driver/Checks.h"

#include <cctype>

namespace e2e {

namespace {

bool IsLogKind(const std::string& kind) { return kind == "device-log" || kind == "voip-log"; }

bool IsKind(const std::string& word) {
    static const char* const kKinds[] = {"usb>",    "usb<",   "client>", "client<",    "broadcast", "attach",
                                         "status",  "msgbox", "balloon", "tray",       "window",    "device-log",
                                         "voip-log", "file",  "control", "shell",      "thread",    "exit"};
    for (const char* kind : kKinds)
        if (word == kind) return true;
    return false;
}

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
    // A virtual time in front of a kind cannot hold in real time; the order still does.
    // A number before anything else is part of the text ("6611 00000000").
    std::size_t at = 0;
    while (at < check.text.size() && Digit(check.text[at])) ++at;
    if (at > 0 && at + 1 < check.text.size() && check.text[at] == ' ' &&
        IsKind(check.text.substr(at + 1, check.text.find(' ', at + 1) - at - 1)))
        check.text.erase(0, at + 1);
    check.kind = check.text.substr(0, check.text.find(' '));
    if (check.kind == "thread") {
        check.unseen = "thread state (it lies inside the process)";
        check.text.clear();
    } else if (check.kind == "control") {
        if (Cut(check.text, "icon")) check.unseen = "icon shown (another process's icon cannot be read under Wine)";
    } else if (check.kind == "tray" && check.text.compare(0, 10, "tray menu ") == 0) {
        check.text = "tray menu";
        check.unseen = "menu items (another process's menu cannot be read under Wine)";
    } else if (check.kind == "exit" && check.text != "exit") {
        check.text = "exit";
        check.unseen = "dialog result (from outside the process's exit code is seen, not the dialog's result)";
    } else if (IsLogKind(check.kind)) {
        check.text = WithoutLogClock(check.kind, check.text);
    }
    return check;
}

std::map<int, std::string> MarkedChecks(std::istream& scenario) {
    static const std::string kMarker = "# not checked on the real build: ";
    std::map<int, std::string> marked;
    std::string line, reason;
    for (int number = 1; std::getline(scenario, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) continue;
        if (line.compare(first, kMarker.size(), kMarker) == 0) {
            reason = line.substr(first + kMarker.size());
            while (!reason.empty() && (reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
        } else if (line[first] != '#') {
            if (!reason.empty()) marked[number] = reason;
            reason.clear();
        }
    }
    return marked;
}

std::string Comparable(const std::string& kind, const std::string& text) {
    return WithoutLogClock(kind, kind + " " + text);
}

}  // namespace e2e
