// A checker that judges only what the bridge heard from an attached client: it follows the
// attachment (from an attach with status 0 until the client's process ends or it reports a
// logout) and keeps the calls the client told the bridge were ringing meanwhile. What a
// checker adds to each event it does in the hooks; every event ends with Check().
#pragma once
#include <set>
#include <string>

#include "tools/sim/Checker.h"

namespace sim {

class AttachFollower : public Checker {
public:
    void OnStatus(int status) final;
    void OnNotificationDelivered(const std::string& text) final;
    void OnAttachDelivered(int status) final;
    void OnClientProcess(bool running) final;

protected:
    using Checker::Checker;
    // Before a notification is read.
    virtual void BeforeNotification() {}
    // The bridge hears what the client says now (attached_ and whatever else the checker asks).
    virtual bool Hears() const { return attached_; }

    int status_ = 0;
    bool attached_ = false;
    std::set<std::string> toldWhileAttached_;  // calls the bridge heard ring from an attached client
};

}  // namespace sim
