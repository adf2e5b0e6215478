#include "tools/e2e-driver/Latency.h"

#include <algorithm>
#include <cstdio>

namespace e2e {

std::vector<double> Latency::KeyToClient() const {
    std::lock_guard<std::mutex> hold(lock_);
    return keyToClient_;
}

std::vector<double> Latency::RingingToAlert() const {
    std::lock_guard<std::mutex> hold(lock_);
    return ringingToAlert_;
}

void Latency::HandsetEvent(double nowMs, std::vector<std::string> commands) {
    std::lock_guard<std::mutex> hold(lock_);
    handset_.push_back(Pending{nowMs, std::move(commands)});
}

namespace {
bool Matches(const std::string& command, const std::vector<std::string>& wanted) {
    for (const std::string& w : wanted)
        if (command.find(w) != std::string::npos) return true;
    return false;
}
}  // namespace

void Latency::ClientCommand(double nowMs, const std::string& command) {
    std::lock_guard<std::mutex> hold(lock_);
    for (auto it = handset_.begin(); it != handset_.end();) {
        if (nowMs - it->since > kGiveUpMs) {
            it = handset_.erase(it);
        } else if (Matches(command, it->commands)) {
            keyToClient_.push_back(nowMs - it->since);
            handset_.erase(it);
            return;
        } else {
            ++it;
        }
    }
}

void Latency::Ringing(double nowMs) {
    std::lock_guard<std::mutex> hold(lock_);
    if (ringingSince_ < 0) ringingSince_ = nowMs;
}

void Latency::Alert(double nowMs) {
    std::lock_guard<std::mutex> hold(lock_);
    if (ringingSince_ < 0) return;
    if (nowMs - ringingSince_ <= kGiveUpMs) ringingToAlert_.push_back(nowMs - ringingSince_);
    ringingSince_ = -1;
}

std::string Latency::Summary(const std::string& name, std::vector<double> samples) {
    char line[160];
    if (samples.empty()) {
        std::snprintf(line, sizeof line, "latency %s n=0", name.c_str());
        return line;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::snprintf(line, sizeof line, "latency %s n=%u median=%.0fms worst=%.0fms", name.c_str(),
                  static_cast<unsigned>(n), median, samples.back());
    return line;
}

}  // namespace e2e
