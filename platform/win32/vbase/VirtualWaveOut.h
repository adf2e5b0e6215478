// The wave-out device list of the test build: the system's devices, followed by the
// virtual base station's own sound device while the base is plugged in (a real base
// brings both its HID interface and its sound device).
#pragma once
#include <string>

#include "platform/WaveOut.h"
#include "platform/win32/vbase/VirtualHid.h"

namespace vbase {

class VirtualWaveOut : public plat::WaveOut {
public:
    VirtualWaveOut(VirtualHid& base, plat::WaveOut& system) : base_(base), system_(system) {}

    unsigned DeviceCount() override;
    bool ProductName(unsigned index, std::string& name) override;

private:
    VirtualHid& base_;
    plat::WaveOut& system_;
    // As the last count saw them, so that the names match the count the caller got.
    unsigned systemCount_ = 0;
    bool basePresent_ = false;
    std::string baseName_;
};

}  // namespace vbase
