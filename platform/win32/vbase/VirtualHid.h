// The HID bus of the test build: the base station is a simulated one behind a named
// pipe. CUSB sees what it sees on SetupAPI and HID.DLL: one interface of vendor 0x0E5E
// while the base is plugged, a device handle that stops answering once it is unplugged,
// feature reports, and overlapped reads that complete when the base sends a report and
// are waited for on the read event with the caller's bounded wait.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/HidBus.h"
#include "platform/win32/vbase/PipeLink.h"

namespace vbase {

class VirtualHid : public plat::HidBus {
public:
    explicit VirtualHid(std::string pipeName);
    ~VirtualHid() override;
    VirtualHid(const VirtualHid&) = delete;
    VirtualHid& operator=(const VirtualHid&) = delete;

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

    // The base's sound device, while the base is plugged in.
    bool SoundDevice(std::string& name);

private:
    struct Snapshot {
        bool present = false;
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        std::string path;
        std::string waveName;
    };
    struct Device {
        std::uint32_t generation = 0;
    };
    struct Read {
        std::uint8_t* buffer = nullptr;
        std::size_t size = 0;
        HANDLE event = nullptr;
        std::uint32_t sequence = 0;
        bool done = false;
    };

    bool Connect();
    bool Request(const Frame& request, std::uint8_t replyType, Frame& reply);
    bool Enumerate(Snapshot& out);
    void Drop(Read* read);
    static DWORD WINAPI ReaderMain(LPVOID self);
    void Receive();

    std::string pipeName_;
    std::unique_ptr<PipeLink> link_;
    HANDLE reader_ = nullptr;
    HANDLE replyEvent_;
    CRITICAL_SECTION lock_;
    // Guarded by lock_: the reply awaited and the reads outstanding, by sequence number.
    std::uint8_t awaited_ = 0;
    Frame reply_;
    std::map<std::uint32_t, Read*> reads_;
    std::uint32_t nextSequence_ = 1;
};

}  // namespace vbase
