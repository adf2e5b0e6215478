// The simulated process's user session: at the console or not, and the windows that asked
// to hear when that changes.
#pragma once
#include <vector>

#include "platform/Session.h"

namespace sim {

class HeadlessSession : public plat::Session {
public:
    bool Watch(plat::WindowHandle window) override;
    void Unwatch(plat::WindowHandle window) override;
    bool AtConsole() override { return atConsole_; }

    // The session's place as the system sees it; no window hears of a change made here.
    void SetAtConsole(bool atConsole) { atConsole_ = atConsole; }
    // The next `count` Watch requests fail (the session service not up yet).
    void FailWatches(int count) { failures_ = count; }
    // The windows that asked, in order.
    const std::vector<plat::WindowHandle>& Watching() const { return watching_; }

private:
    bool atConsole_ = true;
    int failures_ = 0;
    std::vector<plat::WindowHandle> watching_;
};

}  // namespace sim
