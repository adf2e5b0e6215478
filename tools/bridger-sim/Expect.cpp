#include "tools/bridger-sim/Expect.h"

namespace scn {

int ExpectCursor::Find(const std::vector<sim::Line>& lines, const std::string& text) const {
    for (std::size_t i = static_cast<std::size_t>(from_); i < lines.size(); ++i)
        if (lines[i].Format().find(text) != std::string::npos) return static_cast<int>(i);
    return -1;
}

int ExpectCursor::Expect(const std::vector<sim::Line>& lines, const std::string& text) {
    const int found = Find(lines, text);
    if (found >= 0) from_ = found + 1;
    return found;
}

int ExpectCursor::ExpectNot(const std::vector<sim::Line>& lines, const std::string& text) const {
    return Find(lines, text);
}

}  // namespace scn
