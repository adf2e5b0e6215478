// expect / expect-not over a growing transcript: a run of expects checks order, because
// each one searches only after the line the previous one matched.
#pragma once
#include <string>
#include <vector>

#include "tools/world/Harness.h"

namespace scn {

class ExpectCursor {
public:
    // Finds the first line after the previous match (from the first line at the start)
    // whose "TIME KIND TEXT" contains text; that line becomes the new starting point.
    // Returns its index, or -1 (the starting point stays).
    int Expect(const std::vector<sim::Line>& lines, const std::string& text);
    // The first line after the previous match that contains text; -1 when there is none.
    int ExpectNot(const std::vector<sim::Line>& lines, const std::string& text) const;
    // Index of the last match; -1 before the first.
    int LastMatch() const { return from_ - 1; }

private:
    int Find(const std::vector<sim::Line>& lines, const std::string& text) const;
    int from_ = 0;
};

}  // namespace scn
