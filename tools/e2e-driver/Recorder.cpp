#include "tools/e2e-driver/Recorder.h"

#include <algorithm>

#include "tools/e2e-driver/Checks.h"

namespace e2e {

scn::ExpectPolicy Recorder::Policy() {
    return scn::ExpectPolicy{[](const sim::Line& line) { return Comparable(line.kind, line.text); }, kReceiptLateMs,
                             true};
}

Recorder::Recorder(scn::Transcript& transcript, std::FILE* copy) : transcript_(transcript), copy_(copy) {}

void Recorder::Write(sim::Line line) {
    std::printf("%s\n", line.Format().c_str());
    std::fflush(stdout);
    if (copy_) {
        std::fprintf(copy_, "%s\n", line.Format().c_str());
        std::fflush(copy_);
    }
    transcript_.Add(std::move(line));
}

void Recorder::AddAt(double ms, const std::string& kind, const std::string& text) { AddBetween(ms, ms, kind, text); }

void Recorder::AddBetween(double sinceMs, double ms, const std::string& kind, const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    const auto whole = [](double t) { return t > 0 ? static_cast<std::uint64_t>(t) : std::uint64_t{0}; };
    waiting_.push_back(Waiting{ms, sim::Line{whole(ms), kind, text, whole(ms) - whole(std::min(sinceMs, ms))}});
}

void Recorder::Flush(double upToMs) {
    std::lock_guard<std::mutex> hold(lock_);
    std::stable_sort(waiting_.begin(), waiting_.end(),
                     [](const Waiting& a, const Waiting& b) { return a.ms < b.ms; });
    std::size_t n = 0;
    while (n < waiting_.size() && waiting_[n].ms <= upToMs) Write(std::move(waiting_[n++].line));
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n));
}

}  // namespace e2e
