#include "tools/world/Recorder.h"

namespace sim {

void Recorder::Add(const std::string& kind, const std::string& text) {
    if (muted_) return;
    if (observer_) observer_();
    transcript_.Add(Line{clock_(), kind, text});
}

}  // namespace sim
