// Writes every observable effect of one simulated process into its transcript, stamped with
// the virtual time.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/headless/Peers.h"
#include "tools/bridger-sim/Transcript.h"

namespace sim {

class Recorder : public EffectLog {
public:
    Recorder(scn::Transcript& transcript, std::function<std::uint64_t()> clock)
        : transcript_(transcript), clock_(std::move(clock)) {}

    void Add(const std::string& kind, const std::string& text) override;
    // Runs before each line is added (the status observer records a change first).
    void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    // Once a process is being torn down, nothing it does is an observable effect any more.
    void Mute() { muted_ = true; }

private:
    scn::Transcript& transcript_;
    std::function<std::uint64_t()> clock_;
    std::function<void()> observer_;
    bool muted_ = false;
};

}  // namespace sim
