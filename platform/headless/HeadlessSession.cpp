#include "platform/headless/HeadlessSession.h"

#include <algorithm>

namespace sim {

bool HeadlessSession::Watch(plat::WindowHandle window) {
    if (failures_ > 0) {
        --failures_;
        return false;
    }
    if (std::find(watching_.begin(), watching_.end(), window) == watching_.end()) watching_.push_back(window);
    return true;
}

void HeadlessSession::Unwatch(plat::WindowHandle window) {
    watching_.erase(std::remove(watching_.begin(), watching_.end(), window), watching_.end());
}

}  // namespace sim
