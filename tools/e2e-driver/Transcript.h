// The driver's transcript: what it observed of the bridge from outside, one line each,
// "TIME KIND TEXT" with the real time in milliseconds since the bridge was started, and
// expect / expect-not over it as bridger-sim has them. The base station's thread adds
// lines too, so every call takes the transcript's lock.
#pragma once
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace e2e {

struct Line {
    std::uint64_t time = 0;
    std::string kind;
    std::string text;
    std::string Format() const { return std::to_string(time) + " " + kind + " " + text; }
};

class Transcript {
public:
    explicit Transcript(std::FILE* copy = nullptr) : copy_(copy) {}
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
    // Writes every waiting line up to this time.
    void Flush(double upToMs);
    std::vector<Line> Lines() const;

    // A line after the previous match containing text becomes the new match; false if none.
    bool Expect(const std::string& text);
    // No line after the previous match contains text.
    bool ExpectNot(const std::string& text) const;

private:
    struct Waiting {
        double ms;
        Line line;
    };
    void Write(Line line);  // with the lock held

    mutable std::mutex lock_;
    long long start_ = 0;
    std::vector<Line> lines_;
    std::vector<Waiting> waiting_;
    std::size_t from_ = 0;
    std::FILE* copy_;
};

// Uppercase hex without separators, as the transcript shows reports.
std::string Hex(const std::uint8_t* bytes, std::size_t count);

}  // namespace e2e
