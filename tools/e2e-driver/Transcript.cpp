#include "tools/e2e-driver/Transcript.h"

#include <algorithm>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace e2e {

namespace {
long long Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}
double Frequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
}
}  // namespace

void Transcript::Restart() { start_ = Ticks(); }

double Transcript::NowMs() const { return MsAt(Ticks()); }

double Transcript::MsAt(long long ticks) const {
    return static_cast<double>(ticks - start_) * 1000.0 / Frequency();
}

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
    lines_.push_back(std::move(line));
}

void Transcript::Add(const std::string& kind, const std::string& text) { AddAt(NowMs(), kind, text); }

void Transcript::AddAt(double ms, const std::string& kind, const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    const std::uint64_t time = ms > 0 ? static_cast<std::uint64_t>(ms) : 0;
    waiting_.push_back(Waiting{ms, Line{time, kind, text}});
}

void Transcript::Flush(double upToMs) {
    std::lock_guard<std::mutex> hold(lock_);
    std::stable_sort(waiting_.begin(), waiting_.end(),
                     [](const Waiting& a, const Waiting& b) { return a.ms < b.ms; });
    std::size_t n = 0;
    while (n < waiting_.size() && waiting_[n].ms <= upToMs) Write(std::move(waiting_[n++].line));
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n));
}

bool Transcript::Expect(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    for (std::size_t i = from_; i < lines_.size(); ++i) {
        if (lines_[i].Format().find(text) != std::string::npos) {
            from_ = i + 1;
            return true;
        }
    }
    return false;
}

bool Transcript::ExpectNot(const std::string& text) const {
    std::lock_guard<std::mutex> hold(lock_);
    for (std::size_t i = from_; i < lines_.size(); ++i)
        if (lines_[i].Format().find(text) != std::string::npos) return false;
    return true;
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

}  // namespace e2e
