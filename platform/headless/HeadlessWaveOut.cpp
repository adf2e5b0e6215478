#include "platform/headless/HeadlessWaveOut.h"

#include <algorithm>

namespace sim {

bool HeadlessWaveOut::ProductName(unsigned index, std::string& name) {
    if (index >= devices_.size()) return false;
    name = devices_[index];
    return true;
}

void HeadlessWaveOut::Add(const std::string& name) {
    if (std::find(devices_.begin(), devices_.end(), name) == devices_.end()) devices_.push_back(name);
}

void HeadlessWaveOut::Remove(const std::string& name) {
    devices_.erase(std::remove(devices_.begin(), devices_.end(), name), devices_.end());
}

}  // namespace sim
