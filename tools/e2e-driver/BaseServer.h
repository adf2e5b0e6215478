// The virtual base station: tools/sim's SimBase behind the named pipe that the test build
// Bridger-vbase.exe reaches instead of SetupAPI and HID.DLL. It answers on a thread of its
// own, as a device would: the bridge's UI thread waits for its replies, and the driver's
// thread may at that moment be waiting for the bridge's UI thread.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/win32/vbase/PipeLink.h"
#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/Transcript.h"
#include "tools/sim/SimBase.h"

namespace e2e {

class BaseServer {
public:
    BaseServer(Transcript& transcript, Latency& latency);
    ~BaseServer();
    BaseServer(const BaseServer&) = delete;
    BaseServer& operator=(const BaseServer&) = delete;

    // Creates the pipe and starts the base's thread, which waits for the bridge on it;
    // false (with why) when it cannot.
    bool Open(const std::string& pipeName, std::string& error);
    bool EverConnected() const { return everConnected_; }

    // Runs what the scenario asks of the base under its lock; what it queued goes out then.
    void With(const std::function<void(sim::SimBase&)>& action);
    void Plug();
    void Unplug();

    static constexpr std::uint16_t kVendorId = 0x0E5E;
    static constexpr std::uint16_t kProductId = 0x6611;
    static constexpr const char* kWaveName = "VA6 USB Audio";

private:
    static DWORD WINAPI Main(LPVOID self);
    HANDLE WaitHandle() const;
    // Handles whatever arrived and hands the base's next report to an outstanding read.
    void Service();
    bool Listen();
    void OnFrame(const vbase::Frame& frame);
    void Deliver();
    void Reply(vbase::Frame& frame);

    Transcript& transcript_;
    Latency& latency_;
    sim::SimBase sim_;
    std::string pipeName_;
    HANDLE listening_ = INVALID_HANDLE_VALUE;  // a pipe instance waiting for its client
    HANDLE connectEvent_ = nullptr;
    OVERLAPPED connectOverlap_{};
    std::unique_ptr<vbase::PipeLink> link_;
    bool present_ = false;
    std::uint32_t generation_ = 0;  // a new one each time the base is plugged in
    std::uint32_t readWanted_ = 0;
    std::atomic<bool> everConnected_{false};
    std::atomic<bool> stop_{false};
    CRITICAL_SECTION lock_;
    HANDLE wake_ = nullptr;
    HANDLE thread_ = nullptr;  // sequence number of the bridge's outstanding read
};

}  // namespace e2e
