// Framework threads of the simulated process.
#pragma once
#include <map>

#include "platform/Threads.h"
#include "platform/headless/Peers.h"

namespace sim {

// Threads are simulated on the bridge's own thread, so their start-up is deterministic:
// Resume runs InitInstance to its end before it returns.
class HeadlessThreads : public plat::Threads {
public:
    explicit HeadlessThreads(EffectLog& transcript) : transcript_(transcript) {}

    plat::Handle CreateSuspended(plat::WinThread& thread) override;
    void Resume(plat::Handle thread) override;
    void Suspend(plat::Handle thread) override;
    int RunMessageLoop() override { return 0; }

    struct State {
        plat::WinThread* thread = nullptr;
        bool started = false;
        int suspendCount = 1;
    };
    const State* Find(plat::Handle thread) const;

private:
    EffectLog& transcript_;
    std::map<plat::Handle, State> threads_;
    plat::Handle next_ = 0x6000;
};

}  // namespace sim
