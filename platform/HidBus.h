// HID device enumeration and reports, shaped after SetupAPI and HID.DLL.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace plat {

// One enumerated device interface (SP_DEVICE_INTERFACE_DATA), opaque to the caller.
struct InterfaceRef {
    std::uintptr_t impl = 0;
    int index = -1;
};

// The block of one overlapped read: its event and the backend's own I/O state.
struct ReadOverlap {
    Handle event = kNullHandle;
    std::uint32_t offset = 0;
    std::uint32_t offsetHigh = 0;
    std::uintptr_t impl = 0;
};

class HidBus {
public:
    virtual ~HidBus() = default;

    virtual Guid HidGuid() = 0;
    // SetupDiGetClassDevsA(present | device-interface); kInvalidHandle on failure.
    virtual Handle GetClassDevs(const Guid& guid) = 0;
    virtual bool EnumInterface(Handle set, const Guid& guid, int index, InterfaceRef& out) = 0;
    // The first SetupDiGetDeviceInterfaceDetailA call, without a buffer: its result (normally
    // false) and the size it asks for.
    virtual bool DetailSize(Handle set, const InterfaceRef& ref, std::uint32_t& required) = 0;
    // The second call, with a buffer of that size: the device path.
    virtual bool Detail(Handle set, const InterfaceRef& ref, std::uint32_t size, std::string& path) = 0;
    virtual void DestroyClassDevs(Handle set) = 0;

    // CreateFileA read/write, shared, open-existing, overlapped; kInvalidHandle on failure.
    virtual Handle Open(const std::string& path) = 0;
    virtual bool GetAttributes(Handle device, std::uint16_t& vendorId, std::uint16_t& productId) = 0;
    // HidD_SetFeature of the whole report; usedLength says how many bytes after the report ID
    // the sender filled (for traces only; the device always gets the whole report).
    virtual void SetFeature(Handle device, const std::uint8_t* report, std::size_t reportSize,
                            std::size_t usedLength) = 0;
    virtual void Close(Handle device) = 0;

    // Auto-reset, not signalled, unnamed.
    virtual Handle CreateReadEvent() = 0;
    virtual void CloseEvent(Handle event) = 0;
    // ReadFile of size bytes into buffer with the overlap block; the buffer must stay put
    // until the read completes or is cancelled.
    virtual void StartRead(Handle device, std::uint8_t* buffer, std::size_t size, ReadOverlap& overlap) = 0;
    // WaitForSingleObject on the overlap's event: true when the read has completed.
    virtual bool WaitRead(Handle device, ReadOverlap& overlap, unsigned timeoutMs) = 0;
    // A poll's wait on the outstanding read, kept without blocking: StartWait notes when it
    // began, WaitLeft says how much of waitMs is still to run (0 once over). A backend
    // whose waits take no time keeps the defaults: every wait is over as it begins.
    virtual void StartWait(ReadOverlap& overlap) { (void)overlap; }
    virtual unsigned WaitLeft(const ReadOverlap& overlap, unsigned waitMs) {
        (void)overlap;
        (void)waitMs;
        return 0;
    }
    // Gives up an outstanding read (used when the device is closed).
    virtual void CancelRead(Handle device, ReadOverlap& overlap) = 0;
};

}  // namespace plat
