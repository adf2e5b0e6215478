// Handles and small value types shared by every platform interface.
#pragma once
#include <cstdint>

namespace plat {

// A window as the platform knows it (an HWND value on Windows); 0 is none.
using WindowHandle = std::uintptr_t;
// Opaque handles of the kernel, HID and shell objects the bridge holds.
using Handle = std::uintptr_t;
constexpr Handle kNullHandle = 0;
// What a failed CreateFile yields: not null, so a caller that only tests for null goes on.
constexpr Handle kInvalidHandle = ~static_cast<std::uintptr_t>(0);

// The data block of a copy-data message, as sender and receiver see it.
struct CopyData {
    std::uint32_t tag = 0;       // dwData
    std::uint32_t size = 0;      // cbData
    const void* data = nullptr;  // lpData, size bytes
};

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

}  // namespace plat
