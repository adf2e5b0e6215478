// The wave-output device list of the simulated machine.
#pragma once
#include <string>
#include <vector>

#include "platform/WaveOut.h"

namespace sim {

class HeadlessWaveOut : public plat::WaveOut {
public:
    unsigned DeviceCount() override { return static_cast<unsigned>(devices_.size()); }
    bool ProductName(unsigned index, std::string& name) override;

    void Add(const std::string& name);
    void Remove(const std::string& name);
    const std::vector<std::string>& Devices() const { return devices_; }

private:
    std::vector<std::string> devices_;
};

}  // namespace sim
