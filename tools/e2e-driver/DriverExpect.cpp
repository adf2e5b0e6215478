// expect and expect-not on the real build: what of a line can be seen from outside, waited
// for up to kExpectWaitMs.
#include <cstdio>

#include "tools/e2e-driver/Driver.h"

namespace e2e {

using scn::kAllHeld;
using scn::kExpectFailed;

namespace {


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

void Driver::Reread(const std::string& controlText) {
    if (recorder_.NowMs() - lastReread_ < kPollEveryMs) return;
    lastReread_ = recorder_.NowMs();
    // "control WINDOW ID ..." or "control WINDOW caption ..."
    const std::string name = Word(controlText, 1);
    if (HWND window = Window(name)) reader_.Refresh(name, window, Word(controlText, 2));
}

int Driver::Expect(const scn::Step& s) {
    const Check check = PlanCheck(s.text);
    if (!Visible(s, check)) return kAllHeld;
    const bool held = WaitFor([&] {
        if (transcript_.Expect(check.text) >= 0) return true;
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
    if (transcript_.ExpectNot(check.text) >= 0) return Fail(s, kExpectFailed, "not expected: " + s.text);
    ++held_;
    return kAllHeld;
}

}  // namespace e2e
