// A set of the bridge's rules checked over the simulated peers: it watches what the base and
// the client see, and records each rule it finds broken, once per rule and call.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/sim/PeerObserver.h"

namespace sim {

class SimBase;
class SimClient;

struct Violation {
    std::uint64_t time = 0;
    std::string rule;  // "rule 2 (nothing lost)"
    std::string call;  // empty when no one call is at fault
    std::string text;
    std::string Format() const;  // "RULE, call ID: TEXT"
};

class Checker : public PeerObserver {
public:
    Checker(std::function<std::uint64_t()> clock, std::vector<Violation>& sink)
        : clock_(std::move(clock)), sink_(sink) {}
    // The bridge's status code changed (what the information window shows).
    virtual void OnStatus(int) {}
    // The rules that depend on time passing; after every event.
    virtual void Check() {}

protected:
    std::uint64_t Now() const { return clock_(); }
    void Break(const std::string& rule, const std::string& call, const std::string& text);
    // A call id used again for a new call may break a rule again.
    // (Reports are kept once per rule, kind of break and call.)
    void Forgive(const std::string& call);

private:
    std::function<std::uint64_t()> clock_;
    std::vector<Violation>& sink_;
    std::set<std::pair<std::string, std::string>> reported_;
};

// Every checker of the test world, watching these peers; what they find goes to sink.
std::vector<std::unique_ptr<Checker>> MakeCheckers(const SimBase& base, const SimClient& client,
                                                   std::function<std::uint64_t()> clock,
                                                   std::vector<Violation>& sink);

}  // namespace sim
