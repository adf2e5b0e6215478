#include "tools/world/Transcript.h"

namespace sim {

void Transcript::Add(const std::string& kind, const std::string& text) {
    if (muted_) return;
    if (observer_) observer_();
    lines_.push_back(Line{clock_(), kind, text});
}

}  // namespace sim
