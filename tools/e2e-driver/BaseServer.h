// The virtual base station: tools/sim's SimBase behind the two named pipes that the base's
// HID minidriver (tools/base-device) connects to once Wine has loaded it for the device
// node that `base plug` adds. It answers on a thread of its own, as a device would: the
// bridge's UI thread may wait for a report while the driver's thread waits for that UI thread.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/base-device/BaseWire.h"

#include "tools/e2e-driver/Latency.h"
#include "tools/e2e-driver/Recorder.h"
#include "tools/sim/SimBase.h"

#include <windows.h>

namespace e2e {

class BaseServer {
public:
    BaseServer(Recorder& recorder, Latency& latency);
    ~BaseServer();
    BaseServer(const BaseServer&) = delete;
    BaseServer& operator=(const BaseServer&) = delete;

    // Creates the pipes, takes away a base a previous run left plugged in and starts the
    // base's thread; false (with why) when it cannot. infPath installs the minidriver.
    bool Open(const std::string& infPath, std::string& error);
    bool EverConnected() const { return everConnected_; }

    // Runs what the scenario asks of the base under its lock; what it queued goes out then.
    void With(const std::function<void(sim::SimBase&)>& action);
    // Adds / removes the device node through SetupAPI; false (with why) when Wine refuses.
    bool Plug(std::string& error);
    bool Unplug(std::string& error);
    bool Plugged() const { return present_; }
    // The keep-alive reports (all zero) the bridge has written so far.
    const std::atomic<unsigned long>& KeepAlives() const { return keepAlives_; }

private:
    // A frame on its way up: never waited for, so that this thread keeps reading the
    // host's frames while the minidriver's thread is busy writing them.
    struct Write {
        OVERLAPPED overlap{};
        std::uint8_t frame[BASE_FRAME_BYTES];
    };
    struct Pipe {
        HANDLE handle = INVALID_HANDLE_VALUE;
        HANDLE event = nullptr;
        OVERLAPPED overlap{};
        bool connected = false;
    };

    static DWORD WINAPI Main(LPVOID self);
    bool Listen(Pipe& pipe);
    void Disconnect();
    // Handles whatever arrived and hands the base's next report to a waiting read.
    void Service();
    void Collect();
    void OnFrame(const std::uint8_t* frame);
    void Deliver();
    bool Send(const std::uint8_t* frame);
    void Reap(bool wait);

    Recorder& recorder_;
    Latency& latency_;
    sim::SimBase sim_;
    std::string infPath_;
    Pipe up_;    // we write the base's input reports
    Pipe down_;  // we read the host's requests and feature reports
    bool reading_ = false;
    std::vector<std::uint8_t> received_;
    std::uint8_t chunk_[256];
    std::vector<Write*> writes_;
    std::atomic<bool> present_{false};
    bool readWanted_ = false;  // the host waits for an input report
    std::atomic<bool> everConnected_{false};
    std::atomic<unsigned long> keepAlives_{0};
    std::atomic<bool> stop_{false};
    CRITICAL_SECTION lock_;
    HANDLE wake_ = nullptr;
    HANDLE thread_ = nullptr;
};

}  // namespace e2e
