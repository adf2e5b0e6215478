#include "platform/win32/Win32Hid.h"

#include <cstring>
#include <vector>

namespace win32 {

namespace {

HANDLE ToHandle(plat::Handle handle) { return reinterpret_cast<HANDLE>(handle); }
plat::Handle FromHandle(HANDLE handle) { return reinterpret_cast<plat::Handle>(handle); }
HDEVINFO ToSet(plat::Handle set) { return reinterpret_cast<HDEVINFO>(set); }

constexpr DWORD kCancelWaitMs = 1000;

GUID ToGuid(const plat::Guid& in) {
    GUID out;
    out.Data1 = in.data1;
    out.Data2 = in.data2;
    out.Data3 = in.data3;
    std::memcpy(out.Data4, in.data4, sizeof out.Data4);
    return out;
}

}  // namespace

plat::Guid Win32Hid::HidGuid() {
    GUID guid;
    HidD_GetHidGuid(&guid);
    plat::Guid out;
    out.data1 = guid.Data1;
    out.data2 = guid.Data2;
    out.data3 = guid.Data3;
    std::memcpy(out.data4, guid.Data4, sizeof out.data4);
    return out;
}

plat::Handle Win32Hid::GetClassDevs(const plat::Guid& guid) {
    const GUID classGuid = ToGuid(guid);
    HDEVINFO set = SetupDiGetClassDevsA(&classGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return plat::kInvalidHandle;
    return reinterpret_cast<plat::Handle>(set);
}

bool Win32Hid::EnumInterface(plat::Handle set, const plat::Guid& guid, int index, plat::InterfaceRef& out) {
    if (set == plat::kInvalidHandle || set == plat::kNullHandle || index < 0) return false;
    const GUID classGuid = ToGuid(guid);
    SP_DEVICE_INTERFACE_DATA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = sizeof data;  // 28 on a 32-bit build, 32 on a 64-bit one
    if (!SetupDiEnumDeviceInterfaces(ToSet(set), nullptr, &classGuid, static_cast<DWORD>(index), &data)) return false;
    interfaces_[set][index] = data;
    out.impl = set;
    out.index = index;
    return true;
}

const SP_DEVICE_INTERFACE_DATA* Win32Hid::Interface(plat::Handle set, const plat::InterfaceRef& ref) const {
    auto s = interfaces_.find(set);
    if (s == interfaces_.end()) return nullptr;
    auto i = s->second.find(ref.index);
    return i == s->second.end() ? nullptr : &i->second;
}

bool Win32Hid::DetailSize(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t& required) {
    const SP_DEVICE_INTERFACE_DATA* data = Interface(set, ref);
    if (!data) return false;
    SP_DEVICE_INTERFACE_DATA copy = *data;
    DWORD size = 0;
    const BOOL ok = SetupDiGetDeviceInterfaceDetailA(ToSet(set), &copy, nullptr, 0, &size, nullptr);
    required = size;
    return ok != FALSE;
}

bool Win32Hid::Detail(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t size, std::string& path) {
    const SP_DEVICE_INTERFACE_DATA* data = Interface(set, ref);
    if (!data || size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return false;
    SP_DEVICE_INTERFACE_DATA copy = *data;
    // DWORD-aligned, as the structure needs.
    std::vector<DWORD> block((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);  // the fixed part of this build's ABI
    if (!SetupDiGetDeviceInterfaceDetailA(ToSet(set), &copy, detail, size, nullptr, nullptr)) return false;
    const char* begin = detail->DevicePath;
    const std::size_t room = size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    path.assign(begin, strnlen(begin, room));
    return true;
}

void Win32Hid::DestroyClassDevs(plat::Handle set) {
    interfaces_.erase(set);
    if (set != plat::kInvalidHandle && set != plat::kNullHandle) SetupDiDestroyDeviceInfoList(ToSet(set));
}

plat::Handle Win32Hid::Open(const std::string& path) {
    HANDLE device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    return FromHandle(device);  // INVALID_HANDLE_VALUE is kInvalidHandle
}

bool Win32Hid::GetAttributes(plat::Handle device, std::uint16_t& vendorId, std::uint16_t& productId) {
    if (device == plat::kNullHandle || device == plat::kInvalidHandle) return false;
    HIDD_ATTRIBUTES attributes;
    ZeroMemory(&attributes, sizeof attributes);
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(ToHandle(device), &attributes)) return false;
    vendorId = attributes.VendorID;
    productId = attributes.ProductID;
    return true;
}

void Win32Hid::SetFeature(plat::Handle device, const std::uint8_t* report, std::size_t reportSize,
                          std::size_t usedLength) {
    (void)usedLength;
    if (!report || reportSize == 0 || device == plat::kNullHandle || device == plat::kInvalidHandle) return;
    std::vector<std::uint8_t> copy(report, report + reportSize);  // the call takes a writable buffer
    HidD_SetFeature(ToHandle(device), copy.data(), static_cast<ULONG>(copy.size()));
}

void Win32Hid::Close(plat::Handle device) {
    if (device != plat::kNullHandle && device != plat::kInvalidHandle) CloseHandle(ToHandle(device));
}

plat::Handle Win32Hid::CreateReadEvent() {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // auto-reset, not signalled, unnamed
    return FromHandle(event);
}

void Win32Hid::CloseEvent(plat::Handle event) {
    if (event != plat::kNullHandle) CloseHandle(ToHandle(event));
}

void Win32Hid::Finish(PendingRead* read, bool cancel) {
    if (!read) return;
    if (read->issued && !HasOverlappedIoCompleted(&read->overlapped)) {
        if (cancel) CancelIo(read->device);
        // The buffer and the block stay in use until the system has let go of them; a read
        // that will not let go (its handle closed under it) keeps its block for good.
        WaitForSingleObject(read->overlapped.hEvent, kCancelWaitMs);
        if (!HasOverlappedIoCompleted(&read->overlapped)) return;
    }
    delete read;
}

void Win32Hid::StartRead(plat::Handle device, std::uint8_t* buffer, std::size_t size, plat::ReadOverlap& overlap) {
    // A block still in flight is never reused under a running read.
    Finish(reinterpret_cast<PendingRead*>(overlap.impl), true);
    overlap.impl = 0;
    if (device == plat::kNullHandle || device == plat::kInvalidHandle || !buffer) return;
    auto* read = new PendingRead();
    ZeroMemory(&read->overlapped, sizeof read->overlapped);
    read->overlapped.Offset = overlap.offset;
    read->overlapped.OffsetHigh = overlap.offsetHigh;
    read->overlapped.hEvent = ToHandle(overlap.event);
    read->device = ToHandle(device);
    read->waitStart = GetTickCount();
    overlap.impl = reinterpret_cast<std::uintptr_t>(read);
    const BOOL done = ReadFile(read->device, buffer, static_cast<DWORD>(size), nullptr, &read->overlapped);
    read->issued = done || GetLastError() == ERROR_IO_PENDING;
}

bool Win32Hid::WaitRead(plat::Handle device, plat::ReadOverlap& overlap, unsigned timeoutMs) {
    (void)device;
    auto* read = reinterpret_cast<PendingRead*>(overlap.impl);
    if (!read) return false;
    // A look without waiting costs no call into the system while nothing has arrived; a
    // read that has completed still has its event reset, so no loop wakes for it later.
    if (timeoutMs == 0 && read->issued && !HasOverlappedIoCompleted(&read->overlapped)) return false;
    const DWORD waited = WaitForSingleObject(read->overlapped.hEvent, timeoutMs);
    if (!read->issued) {
        // ReadFile itself failed: nothing arrives, and the block is free again.
        delete read;
        overlap.impl = 0;
        return false;
    }
    if (waited != WAIT_OBJECT_0 && !HasOverlappedIoCompleted(&read->overlapped)) return false;
    DWORD transferred = 0;
    const BOOL ok = GetOverlappedResult(read->device, &read->overlapped, &transferred, FALSE);
    delete read;
    overlap.impl = 0;
    // A read that ended in an error (device gone) left nothing new in the buffer.
    return ok != FALSE;
}

void Win32Hid::StartWait(plat::ReadOverlap& overlap) {
    if (auto* read = reinterpret_cast<PendingRead*>(overlap.impl)) read->waitStart = GetTickCount();
}

unsigned Win32Hid::WaitLeft(const plat::ReadOverlap& overlap, unsigned waitMs) {
    const auto* read = reinterpret_cast<const PendingRead*>(overlap.impl);
    if (!read || !read->issued) return 0;
    const DWORD waited = GetTickCount() - read->waitStart;
    return waited >= waitMs ? 0 : static_cast<unsigned>(waitMs - waited);
}

void Win32Hid::CancelRead(plat::Handle device, plat::ReadOverlap& overlap) {
    (void)device;
    Finish(reinterpret_cast<PendingRead*>(overlap.impl), true);
    overlap.impl = 0;
}

}  // namespace win32
