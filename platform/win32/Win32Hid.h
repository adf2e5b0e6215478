// The HID bus through SetupAPI and HID.DLL, with overlapped reads of the device file.
#pragma once
#include <map>

#include "platform/HidBus.h"
#include "platform/win32/Win32Api.h"

namespace win32 {

class Win32Hid : public plat::HidBus {
public:
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

private:
    // The OVERLAPPED block the system writes to while a read is outstanding.
    struct PendingRead {
        OVERLAPPED overlapped;
        HANDLE device;
        bool issued;  // ReadFile started it (done or pending)
        DWORD waitStart;  // GetTickCount when the current poll's wait on it began
    };
    const SP_DEVICE_INTERFACE_DATA* Interface(plat::Handle set, const plat::InterfaceRef& ref) const;
    static void Finish(PendingRead* read, bool cancel);

    // The interface blocks each enumerated index of a set yielded, until the set goes.
    std::map<plat::Handle, std::map<int, SP_DEVICE_INTERFACE_DATA>> interfaces_;
};

}  // namespace win32
