#include "tools/e2e-driver/Transcript.h"

#include <algorithm>

#include "device/Packet.h"
#include "tools/e2e-driver/Checks.h"

namespace e2e {

std::vector<Line> Transcript::Lines() const {
    std::lock_guard<std::mutex> hold(lock_);
    return lines_;
}

void Transcript::Write(Line line) {
    std::printf("%s\n", line.Format().c_str());
    std::fflush(stdout);
    if (copy_) {
        std::fprintf(copy_, "%s\n", line.Format().c_str());
        std::fflush(copy_);
    }
    comparable_.push_back(Comparable(line.kind, line.text));
    matched_.push_back(false);
    lines_.push_back(std::move(line));
}

void Transcript::AddAt(double ms, const std::string& kind, const std::string& text) { AddBetween(ms, ms, kind, text); }

void Transcript::AddBetween(double sinceMs, double ms, const std::string& kind, const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    const auto whole = [](double t) { return t > 0 ? static_cast<std::uint64_t>(t) : std::uint64_t{0}; };
    Line line{whole(ms), whole(std::min(sinceMs, ms)), kind, text};
    waiting_.push_back(Waiting{ms, std::move(line)});
}

void Transcript::Flush(double upToMs) {
    std::lock_guard<std::mutex> hold(lock_);
    std::stable_sort(waiting_.begin(), waiting_.end(),
                     [](const Waiting& a, const Waiting& b) { return a.ms < b.ms; });
    std::size_t n = 0;
    while (n < waiting_.size() && waiting_[n].ms <= upToMs) Write(std::move(waiting_[n++].line));
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n));
}

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

bool Transcript::Follows(std::size_t i) const {
    if (matched_[i]) return false;
    if (from_ == 0 || i >= from_) return true;
    // Before the previous match: only where one of the two spans leaves the order open.
    const Line& previous = lines_[from_ - 1];
    const Line& line = lines_[i];
    const bool spans = previous.since < previous.time || line.since < line.time;
    if (spans && line.time >= previous.since) return true;
    // Or where the previous match's stamp may be late by a thread's wake-up (the bridge
    // acknowledged a report, then told the client: the client's lines were stamped first).
    return StampedOnReceipt(previous.kind) && Channel(previous.kind) != Channel(line.kind) &&
           line.time + kReceiptLateMs >= previous.time;
}

bool Transcript::Expect(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    // Of the lines that may come next, the one that can have happened first: a log line
    // found by a look stands for its span, and the bridge logs a command before it sends it.
    std::size_t best = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!Follows(i) || comparable_[i].find(text) == std::string::npos) continue;
        if (best == lines_.size() || lines_[i].since < lines_[best].since) best = i;
    }
    if (best == lines_.size()) return false;
    matched_[best] = true;
    from_ = best + 1;
    return true;
}

bool Transcript::ExpectNot(const std::string& text) const {
    std::lock_guard<std::mutex> hold(lock_);
    // A line an earlier expect matched stood before the previous match in the scenario.
    for (std::size_t i = from_; i < lines_.size(); ++i)
        if (!matched_[i] && lines_[i].time >= actedMs_ && comparable_[i].find(text) != std::string::npos) return false;
    return true;
}

void Transcript::Acted(double ms) {
    std::lock_guard<std::mutex> hold(lock_);
    actedMs_ = ms;
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    return pkt::Hex(bytes, count);
}

}  // namespace e2e
