// The multimedia wave-output device list.
#pragma once
#include <string>

namespace plat {

class WaveOut {
public:
    virtual ~WaveOut() = default;
    virtual unsigned DeviceCount() = 0;
    // waveOutGetDevCapsA: false when the call fails.
    virtual bool ProductName(unsigned index, std::string& name) = 0;
};

}  // namespace plat
