// The shipped Bridger.exe with its peers, for measuring and for the Wine checks: the
// virtual HID base of tools/base-device (served by the end-to-end driver's BaseServer),
// the client stand-in, and the bridge's process and windows (BridgeWatch). Everything
// but the base's own thread runs on the caller's thread, which keeps its messages pumped
// while it waits, as a client's UI thread would.
#pragma once
#include <functional>
#include <string>

#include "tools/e2e-driver/BaseServer.h"
#include "tools/e2e-driver/BridgeWatch.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/Recorder.h"
#include "tools/responsiveness/StandIn.h"

namespace rsp {

class TestBed {
public:
    static constexpr DWORD kSliceMs = 5;

    explicit TestBed(std::FILE* transcriptCopy = nullptr);
    ~TestBed();
    TestBed(const TestBed&) = delete;
    TestBed& operator=(const TestBed&) = delete;

    // Plugs the base in, starts the bridge and waits until its link test is over and the
    // keep-alives run; the client is not attached yet.
    bool Start(const std::string& bridger, const std::string& inf, std::string& error);
    // Ends the bridge through its Exit command and takes the base away.
    void End();

    // Keeps messages and the client's replies going for this long, waking at least every
    // sliceMs (messages wake it at once; the times measured are taken where things happen).
    void Pump(double ms, DWORD sliceMs = kSliceMs);
    // Pumps until done() holds; false when it did not within timeoutMs.
    bool WaitFor(const std::function<bool()>& done, double timeoutMs);
    // Pumps until a transcript line after the previous match contains text.
    bool WaitLine(const std::string& text, double timeoutMs);
    // Pumps until the base receives a report beginning with these hex digits, at or after
    // `sinceMs`; its time in *atMs. False when none came within timeoutMs.
    bool WaitReport(const std::string& hexPrefix, double sinceMs, double timeoutMs, double* atMs = nullptr);
    // Where the stand-in's replies have their stalls recorded (null: nowhere).
    void RecordReplies(Samples* stalls) { replyStalls_ = stalls; }

    // Pumps until the bridge's process has ended; its exit code in *code.
    bool WaitExit(double timeoutMs, std::string* code);

    double Now() const { return recorder_.NowMs(); }
    HWND Bridge() const { return watch_.MainDialog(); }
    e2e::Latency& Latency() { return latency_; }
    e2e::BaseServer& Base() { return base_; }
    StandIn& Client() { return client_; }
    e2e::BridgeWatch& Watch() { return watch_; }

private:
    void PumpOnce(DWORD waitMs);

    scn::Transcript transcript_;
    e2e::Recorder recorder_;
    e2e::Latency latency_;
    e2e::BaseServer base_;
    StandIn client_;
    e2e::BridgeWatch watch_;
    Samples* replyStalls_ = nullptr;
    double lastWatch_ = -1e9;
    bool started_ = false;
};

}  // namespace rsp
