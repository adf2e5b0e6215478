#include "tools/e2e-driver/Transcript.h"

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

double Transcript::NowMs() const { return static_cast<double>(Ticks() - start_) * 1000.0 / Frequency(); }

std::vector<Line> Transcript::Lines() const {
    std::lock_guard<std::mutex> hold(lock_);
    return lines_;
}

void Transcript::Add(const std::string& kind, const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    Line line{static_cast<std::uint64_t>(NowMs()), kind, text};
    std::printf("%s\n", line.Format().c_str());
    std::fflush(stdout);
    if (copy_) {
        std::fprintf(copy_, "%s\n", line.Format().c_str());
        std::fflush(copy_);
    }
    lines_.push_back(std::move(line));
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
