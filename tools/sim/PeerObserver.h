// What the simulated peers tell an onlooker (the call checker): each event after the peer's
// own model took it in.
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
    virtual void OnBaseEvent(const HandsetEvent& event) = 0;          // the bridge read it
    virtual void OnBridgeReport(const std::vector<std::uint8_t>& data) = 0;
    virtual void OnBasePower(bool on) = 0;
    // ---- the client ----
    virtual void OnClientCommand(const std::string& command) = 0;
    virtual void OnNotificationDelivered(const std::string& text) = 0;
    virtual void OnAttachDelivered(int status) = 0;
    virtual void OnClientProcess(bool running) = 0;
};

}  // namespace sim
