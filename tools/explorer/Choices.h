// Where the explorer's decisions come from: a seeded generator (reproducible runs) or the
// bytes of a fuzzer's input (so that libFuzzer steers the same generator).
#pragma once
#include <cstddef>
#include <cstdint>

namespace explore {

class Choices {
public:
    virtual ~Choices() = default;
    // A number in [0, n); n is at least 1.
    virtual unsigned Pick(unsigned n) = 0;
    // True with the given chance in percent.
    bool Chance(unsigned percent) { return Pick(100) < percent; }
};

// splitmix64: small, fast, and the same sequence on every machine for one seed.
class SeededChoices : public Choices {
public:
    explicit SeededChoices(std::uint64_t seed) : state_(seed) {}
    unsigned Pick(unsigned n) override {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return n <= 1 ? 0 : static_cast<unsigned>(z % n);
    }

private:
    std::uint64_t state_;
};

// One byte per decision; past the end every decision is 0, which ends the sequence.
class ByteChoices : public Choices {
public:
    ByteChoices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    unsigned Pick(unsigned n) override {
        if (n <= 1) return 0;
        const unsigned byte = pos_ < size_ ? data_[pos_++] : 0;
        return byte % n;
    }
    bool Exhausted() const { return pos_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace explore
