// What the simulated peers tell an onlooker (a checker of the bridge's rules): each event
// after the peer's own model took it in. An onlooker overrides what it needs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/sim/Handsets.h"

namespace sim {

class PeerObserver {
public:
    virtual ~PeerObserver() = default;
    // ---- the base ----
    virtual void OnBaseEvent(const HandsetEvent&) {}  // the bridge read one of the base's reports
    virtual void OnBaseReport(const std::vector<std::uint8_t>&) {}  // ... with these 48 bytes
    virtual void OnBridgeReport(const std::vector<std::uint8_t>&) {}
    virtual void OnBasePower(bool) {}
    // ---- the client ----
    virtual void OnClientCommand(const std::string&) {}
    virtual void OnNotificationDelivered(const std::string&) {}
    virtual void OnAttachDelivered(int) {}
    virtual void OnClientProcess(bool) {}
};

}  // namespace sim
