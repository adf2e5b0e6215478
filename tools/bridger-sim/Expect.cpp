#include "tools/bridger-sim/Expect.h"

namespace scn {

namespace {

// Lines of one channel arrive in the order they were sent; across channels they do not.
std::string Channel(const std::string& kind) {
    if (kind == "usb>" || kind == "usb<") return "usb";
    if (kind == "client>" || kind == "client<") return "client";
    return kind;
}

// Stamped when the driver's thread got round to it, not when the bridge sent it.
bool StampedOnReceipt(const std::string& kind) { return kind == "usb>" || kind == "client>" || kind == "broadcast"; }

}  // namespace

bool ExpectCursor::Contains(const std::vector<sim::Line>& lines, std::size_t i, const std::string& text) const {
    if (!policy_.form) return lines[i].Format().find(text) != std::string::npos;
    while (forms_.size() < lines.size()) forms_.push_back(policy_.form(lines[forms_.size()]));
    return forms_[i].find(text) != std::string::npos;
}

bool ExpectCursor::Follows(const std::vector<sim::Line>& lines, std::size_t i) const {
    if (i < matched_.size() && matched_[i]) return false;
    if (from_ == 0 || i >= from_) return true;
    if (!ReachesBack()) return false;
    // Before the previous match: only where one of the two spans leaves the order open.
    const sim::Line& previous = lines[from_ - 1];
    const sim::Line& line = lines[i];
    if ((previous.span > 0 || line.span > 0) && line.time >= previous.Since()) return true;
    // Or where the previous match's stamp may be late by a thread's wake-up (the bridge
    // acknowledged a report, then told the client: the client's lines were stamped first).
    return StampedOnReceipt(previous.kind) && Channel(previous.kind) != Channel(line.kind) &&
           static_cast<double>(line.time) + policy_.receiptLateMs >= static_cast<double>(previous.time);
}

int ExpectCursor::Expect(const std::vector<sim::Line>& lines, const std::string& text) {
    // A log line found by a look stands for its span, and the bridge logs a command before
    // it sends it: of the lines that may come next, the one that can have happened first.
    // In virtual time that is the first one.
    std::size_t best = lines.size();
    for (std::size_t i = ReachesBack() ? 0 : from_; i < lines.size(); ++i) {
        if (!Follows(lines, i) || !Contains(lines, i, text)) continue;
        if (best == lines.size() || lines[i].Since() < lines[best].Since()) best = i;
        if (!ReachesBack()) break;
    }
    if (best == lines.size()) return -1;
    if (matched_.size() < lines.size()) matched_.resize(lines.size(), false);
    matched_[best] = true;
    from_ = best + 1;
    return static_cast<int>(best);
}

int ExpectCursor::ExpectNot(const std::vector<sim::Line>& lines, const std::string& text) const {
    // A line an earlier expect matched stood before the previous match in the scenario.
    for (std::size_t i = from_; i < lines.size(); ++i) {
        if (i < matched_.size() && matched_[i]) continue;
        if (policy_.fromLastAction && static_cast<double>(lines[i].time) < actedMs_) continue;
        if (Contains(lines, i, text)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace scn
