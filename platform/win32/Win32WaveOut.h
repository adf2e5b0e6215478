// The multimedia wave-output device list.
#pragma once
#include "platform/WaveOut.h"

namespace win32 {

class Win32WaveOut : public plat::WaveOut {
public:
    unsigned DeviceCount() override;
    bool ProductName(unsigned index, std::string& name) override;
};

}  // namespace win32
