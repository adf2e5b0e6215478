// One line of a transcript, the record of what a scenario's bridge did, in both worlds:
// the headless one on a virtual clock and the real build seen from outside in real time.
#pragma once
#include <cstdint>
#include <string>

namespace sim {

struct Line {
    std::uint64_t time = 0;  // ms: virtual time, or real time since the bridge started
    std::string kind;
    std::string text;
    // How long before `time` it may have happened: 0 unless it was found by a look at the
    // bridge's windows (real time), which only tells that it happened since the previous look.
    std::uint64_t span = 0;

    std::uint64_t Since() const { return time - span; }
    std::string Format() const { return std::to_string(time) + " " + kind + " " + text; }  // "TIME KIND TEXT"
};

}  // namespace sim
