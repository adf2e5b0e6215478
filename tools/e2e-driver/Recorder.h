// The driver's recorder: what it observed of the bridge from outside, one line each into the
// scenario's transcript, "TIME KIND TEXT" with the real time in milliseconds since the bridge
// was started, and a copy on stdout and in the copy file. The base station's thread adds
// lines too, so every call takes the recorder's lock; the transcript itself is read and
// written by the driver's thread alone (Flush).
//
// Some lines come from a look at the bridge's windows (every 40 ms or so): such a line
// happened at some time after the previous look, and that span is kept with it. The order
// an expect checks is then the order as far as it can be told: a line whose span reaches
// back over the previous match may stand before it in the transcript and still follow it.
// So may a line of another channel a few milliseconds before a match whose stamp was taken
// on receipt: which of the two the bridge sent first cannot be told from outside.
#pragma once
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "tools/bridger-sim/Expect.h"
#include "tools/bridger-sim/Line.h"
#include "tools/bridger-sim/Transcript.h"

namespace e2e {

class Recorder {
public:
    // How late a stamp taken on receipt may be (the receiving thread's wake-up on a busy machine).
    static constexpr double kReceiptLateMs = 50;
    // The expect cursor's real-time policy for the transcript this records into: an expect
    // may reach back over the previous match, an expect-not looks from the last action on.
    static scn::ExpectPolicy Policy();

    explicit Recorder(scn::Transcript& transcript, std::FILE* copy = nullptr);
    // Real milliseconds since Restart() (fractions kept for latencies).
    double NowMs() const;
    // The same clock for a QueryPerformanceCounter value taken in another process.
    double MsAt(long long ticks) const;
    void Restart();
    // A line that happened now, or at an earlier time that its source stamped. Lines come
    // over different channels (window messages, the base's pipe, window enumeration), so
    // they wait a moment and are then written in the order of their times.
    void Add(const std::string& kind, const std::string& text);
    void AddAt(double ms, const std::string& kind, const std::string& text);
    // A line found at ms that happened after sinceMs.
    void AddBetween(double sinceMs, double ms, const std::string& kind, const std::string& text);
    // Writes every waiting line up to this time into the transcript (the driver's thread).
    void Flush(double upToMs);

private:
    struct Waiting {
        double ms;
        sim::Line line;
    };
    void Write(sim::Line line);  // with the lock held

    std::mutex lock_;
    long long start_ = 0;
    std::vector<Waiting> waiting_;
    scn::Transcript& transcript_;
    std::FILE* copy_;
};

}  // namespace e2e
