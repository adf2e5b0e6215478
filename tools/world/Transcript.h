// The record of every observable effect of one simulated process, stamped with the
// virtual time.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/Peers.h"
#include "tools/world/Harness.h"

namespace sim {

class Transcript : public EffectLog {
public:
    explicit Transcript(std::function<std::uint64_t()> clock) : clock_(std::move(clock)) {}

    void Add(const std::string& kind, const std::string& text) override;
    // Runs before each line is added (the status observer records a change first).
    void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    // Once a process is being torn down, nothing it does is an observable effect any more.
    void Mute() { muted_ = true; }
    bool Muted() const { return muted_; }

    const std::vector<Line>& Lines() const { return lines_; }

private:
    std::function<std::uint64_t()> clock_;
    std::function<void()> observer_;
    std::vector<Line> lines_;
    bool muted_ = false;
};

}  // namespace sim
