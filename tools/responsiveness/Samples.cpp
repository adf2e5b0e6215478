#include "tools/responsiveness/Samples.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace rsp {

double Samples::Median() const {
    if (values_.empty()) return 0;
    std::vector<double> sorted = values_;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Samples::Worst() const { return values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end()); }

double Samples::Total() const { return std::accumulate(values_.begin(), values_.end(), 0.0); }

std::string Samples::Summary(const std::string& name) const {
    char line[200];
    if (values_.empty()) {
        std::snprintf(line, sizeof line, "%s n=0", name.c_str());
        return line;
    }
    std::snprintf(line, sizeof line, "%s n=%u median=%.1f ms worst=%.1f ms", name.c_str(),
                  static_cast<unsigned>(values_.size()), Median(), Worst());
    return line;
}

}  // namespace rsp
