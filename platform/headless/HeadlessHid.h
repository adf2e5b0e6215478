// A simulated HID bus: devices that can be present or unplugged, unreadable or
// unopenable, one of which may be the simulated base station. There is never any real
// waiting. By default a read completes only when the bridge starts or looks at it and the
// base has a report then, and a poll's wait is over as it begins: the base's report reaches
// the bus just as the bridge's poll looks for one. With live reads the bus behaves as a
// real one in virtual time: a read completes at the first turn of the process's loop after
// the base has a report, setting the read's event, and a poll's wait lasts its full time.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/HidBus.h"
#include "platform/headless/Peers.h"

namespace sim {

struct SimHidDevice {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;
    bool present = true;
    bool readable = true;   // HidD_GetAttributes succeeds
    bool openable = true;   // CreateFileA succeeds
    HidPeer* base = nullptr;  // the device behind the reports (the base station), if any
    int generation = 0;     // a device plugged in again is a new device: old handles stay dead
};

class HeadlessHid : public plat::HidBus {
public:
    HeadlessHid(EffectLog& transcript, std::function<std::uint64_t()> clock)
        : transcript_(transcript), clock_(std::move(clock)) {}

    plat::Guid HidGuid() override;
    plat::Handle GetClassDevs(const plat::Guid& guid) override;
    bool EnumInterface(plat::Handle set, const plat::Guid& guid, int index, plat::InterfaceRef& out) override;
    bool DetailSize(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t& required) override;
    bool Detail(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t size, std::string& path) override;
    void DestroyClassDevs(plat::Handle set) override;
    plat::Handle Open(const std::string& path) override;
    bool GetAttributes(plat::Handle device, std::uint16_t& vendorId, std::uint16_t& productId) override;
    void SetFeature(plat::Handle device, const std::uint8_t* report, std::size_t reportSize,
                    std::size_t usedLength) override;
    void Close(plat::Handle device) override;
    plat::Handle CreateReadEvent() override;
    void CloseEvent(plat::Handle event) override;
    void StartRead(plat::Handle device, std::uint8_t* buffer, std::size_t size, plat::ReadOverlap& overlap) override;
    bool WaitRead(plat::Handle device, plat::ReadOverlap& overlap, unsigned timeoutMs) override;
    void CancelRead(plat::Handle device, plat::ReadOverlap& overlap) override;
    void StartWait(plat::ReadOverlap& overlap) override;
    unsigned WaitLeft(const plat::ReadOverlap& overlap, unsigned waitMs) override;

    // ---- the bus ----
    // Adds a present device at the end of the enumeration order; its index.
    int AddDevice(std::uint16_t vendorId, std::uint16_t productId, const std::string& path);
    SimHidDevice& Device(int index) { return devices_.at(static_cast<std::size_t>(index)); }
    int DeviceCount() const { return static_cast<int>(devices_.size()); }
    void Plug(int index);
    void Unplug(int index);
    // Handles open and reads outstanding (for checks of leaks and double reads).
    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    int PendingReads() const;
    // Reads started over a block whose read was still outstanding (a fault of the caller).
    int ReadsStartedOverPending() const { return overPending_; }
    // Reads started so far.
    int ReadsStarted() const { return started_; }
    // When the last poll's wait on an outstanding read began (virtual ms); -1 when no read is out.
    std::int64_t WaitStartedAt() const;

    // ---- live reads and the reads' events ----
    void SetLiveReads(bool live) { live_ = live; }
    bool LiveReads() const { return live_; }
    // Completes the outstanding reads the base has reports for (live reads only).
    void Service();
    // WaitForSingleObject(event, 0) on an auto-reset event: true (and reset) when it was set.
    bool TakeEvent(plat::Handle event);
    int OpenSets() const { return static_cast<int>(sets_.size()); }

private:
    struct OpenDevice {
        int index;
        int generation;
    };
    struct Read {
        plat::Handle device;
        std::uint8_t* buffer;
        std::size_t size;
        bool completed;
        plat::Handle event;
        std::uint64_t waitStart;
    };
    SimHidDevice* Live(plat::Handle device);
    const SimHidDevice* InSet(plat::Handle set, const plat::InterfaceRef& ref) const;
    void TryComplete(Read& read);

    EffectLog& transcript_;
    std::function<std::uint64_t()> clock_;
    std::vector<SimHidDevice> devices_;
    std::map<plat::Handle, std::vector<int>> sets_;
    std::map<plat::Handle, OpenDevice> handles_;
    std::map<std::uintptr_t, Read> reads_;
    plat::Handle nextHandle_ = 0x3000;
    std::uintptr_t nextRead_ = 0;
    std::map<plat::Handle, bool> events_;  // read events: set or not
    bool live_ = false;
    int overPending_ = 0;
    int started_ = 0;
};

}  // namespace sim
