// A set of timings in milliseconds and the line the figures print for it.
#pragma once
#include <string>
#include <vector>

namespace rsp {

class Samples {
public:
    void Add(double ms) { values_.push_back(ms); }
    std::size_t Count() const { return values_.size(); }
    double Median() const;
    double Worst() const;
    double Total() const;
    // "NAME n=N median=M ms worst=W ms" (one decimal), or "NAME n=0".
    std::string Summary(const std::string& name) const;

private:
    std::vector<double> values_;
};

}  // namespace rsp
