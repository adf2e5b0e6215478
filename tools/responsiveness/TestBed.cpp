#include "tools/responsiveness/TestBed.h"

namespace rsp {

namespace {
constexpr double kWatchEveryMs = 200;
constexpr double kStartMs = 20000;  // the start-up link test takes about 4 s
}  // namespace

TestBed::TestBed(std::FILE* transcriptCopy)
    : transcript_(e2e::Recorder::Policy()),
      recorder_(transcript_, transcriptCopy),
      base_(recorder_, latency_),
      client_(recorder_, latency_),
      watch_(recorder_) {}

TestBed::~TestBed() { End(); }

bool TestBed::Start(const std::string& bridger, const std::string& inf, std::string& error) {
    if (!base_.Open(inf, error) || !client_.Open(error) || !watch_.Load(bridger, error)) return false;
    recorder_.Restart();
    if (!base_.Plug(error)) return false;
    if (!watch_.Start("", error)) return false;
    started_ = true;
    if (!WaitFor([this] { return Bridge() != nullptr; }, kStartMs)) {
        error = "the bridge's main dialog did not appear";
        return false;
    }
    // The second echo of the start-up test, then the first keep-alive: the link is idle.
    if (!WaitLine("usb< 24240810080203040506CC", kStartMs) || !WaitLine("usb> 00000000", kStartMs)) {
        error = base_.EverConnected() ? "the bridge's start-up link test did not pass"
                                      : "the virtual base's minidriver never connected";
        return false;
    }
    return true;
}

void TestBed::End() {
    if (!started_) return;
    started_ = false;
    watch_.EndAll([this](DWORD ms) { Pump(ms); });
    std::string error;
    if (base_.Plugged() && !base_.Unplug(error)) std::fprintf(stderr, "responsiveness: %s\n", error.c_str());
    recorder_.Flush(recorder_.NowMs() + 1);
}

void TestBed::PumpOnce(DWORD waitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    client_.Flush(replyStalls_);
    const double now = recorder_.NowMs();
    if (now - lastWatch_ >= kWatchEveryMs) {
        lastWatch_ = now;
        watch_.Poll();
    }
    recorder_.Flush(now);
}

void TestBed::Pump(double ms, DWORD sliceMs) {
    const double until = Now() + ms;
    do {
        const double left = until - Now();
        PumpOnce(left < sliceMs ? static_cast<DWORD>(left > 0 ? left : 0) : sliceMs);
    } while (Now() < until);
}

bool TestBed::WaitFor(const std::function<bool()>& done, double timeoutMs) {
    const double until = Now() + timeoutMs;
    while (!done()) {
        if (Now() >= until) return false;
        PumpOnce(kSliceMs);
    }
    return true;
}

bool TestBed::WaitReport(const std::string& hexPrefix, double sinceMs, double timeoutMs, double* atMs) {
    // Transcript times are whole milliseconds.
    const auto since = static_cast<std::uint64_t>(sinceMs > 0 ? sinceMs : 0);
    std::size_t from = 0;
    const auto seen = [&] {
        const std::vector<sim::Line>& lines = transcript_.Lines();
        for (; from < lines.size(); ++from) {
            const sim::Line& l = lines[from];
            if (l.kind != "usb>" || l.time < since || l.text.rfind(hexPrefix, 0) != 0) continue;
            if (atMs) *atMs = static_cast<double>(l.time);
            return true;
        }
        return false;
    };
    return WaitFor(seen, timeoutMs);
}

bool TestBed::WaitExit(double timeoutMs, std::string* code) {
    const auto ended = [&] {
        for (const sim::Line& l : transcript_.Lines()) {
            if (l.kind != "exit") continue;
            if (code) *code = l.text;
            return true;
        }
        return false;
    };
    return WaitFor(ended, timeoutMs);
}

bool TestBed::WaitLine(const std::string& text, double timeoutMs) {
    return WaitFor([&] { return transcript_.Expect(text) >= 0; }, timeoutMs);
}

}  // namespace rsp
