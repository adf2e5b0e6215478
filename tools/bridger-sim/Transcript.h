// The transcript of one scenario's bridge: its lines in the order they were written and the
// one expect cursor over them. Both worlds record into it, the headless one on the virtual
// clock (tools/world/Recorder.h) and the real build in real time (tools/e2e-driver/Recorder.h,
// which orders the lines of several threads first); only one thread reads and writes it.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "tools/bridger-sim/Expect.h"
#include "tools/bridger-sim/Line.h"

namespace scn {

class Transcript {
public:
    explicit Transcript(ExpectPolicy policy = {}) : cursor_(std::move(policy)) {}

    void Add(sim::Line line) { lines_.push_back(std::move(line)); }
    const std::vector<sim::Line>& Lines() const { return lines_; }

    // expect / expect-not as ExpectCursor has them: the index of the line found, or -1.
    int Expect(const std::string& text) { return cursor_.Expect(lines_, text); }
    int ExpectNot(const std::string& text) const { return cursor_.ExpectNot(lines_, text); }
    int LastMatch() const { return cursor_.LastMatch(); }
    // The scenario acted on the bridge at this time (see ExpectCursor::Acted).
    void Acted(double ms) { cursor_.Acted(ms); }

private:
    std::vector<sim::Line> lines_;
    ExpectCursor cursor_;
};

}  // namespace scn
