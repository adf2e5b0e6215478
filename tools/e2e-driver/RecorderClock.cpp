// The recorder's clock: QueryPerformanceCounter, which Wine keeps one for all processes.
#include "tools/e2e-driver/Recorder.h"

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

void Recorder::Restart() { start_ = Ticks(); }

double Recorder::NowMs() const { return MsAt(Ticks()); }

double Recorder::MsAt(long long ticks) const {
    return static_cast<double>(ticks - start_) * 1000.0 / Frequency();
}

void Recorder::Add(const std::string& kind, const std::string& text) { AddAt(NowMs(), kind, text); }

}  // namespace e2e
