#include "platform/win32/vbase/VirtualWaveOut.h"

namespace vbase {

unsigned VirtualWaveOut::DeviceCount() {
    systemCount_ = system_.DeviceCount();
    basePresent_ = base_.SoundDevice(baseName_);
    return systemCount_ + (basePresent_ ? 1u : 0u);
}

bool VirtualWaveOut::ProductName(unsigned index, std::string& name) {
    if (index < systemCount_) return system_.ProductName(index, name);
    if (index != systemCount_ || !basePresent_) return false;
    name = baseName_;
    return true;
}

}  // namespace vbase
