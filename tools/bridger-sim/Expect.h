// expect / expect-not over a growing transcript: a run of expects checks order, because
// each one searches only after the line the previous one matched. One cursor for both
// worlds; what real time needs more is its policy.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "tools/bridger-sim/Line.h"

namespace scn {

struct ExpectPolicy {
    // The form of a line an expect's text is looked for in: "TIME KIND TEXT" unless set.
    std::function<std::string(const sim::Line&)> form;
    // Real time: the order of two lines cannot always be told, so a line standing before
    // the previous match may still follow it, where one of the two spans (Line::span)
    // reaches back over the other, or where the previous match was stamped on receipt
    // (usb>, client>, broadcast) and the line, of another channel, came at most this many
    // ms before it. Of the lines that may come next, the one that can have happened first
    // is taken. Negative: virtual time, where the order is exact.
    double receiptLateMs = -1;
    // An expect-not asks only about lines from the scenario's last action on (see Acted).
    bool fromLastAction = false;
};

class ExpectCursor {
public:
    explicit ExpectCursor(ExpectPolicy policy = {}) : policy_(std::move(policy)) {}

    // Finds the line after the previous match (from the first line at the start) that
    // contains text; that line becomes the new starting point. Returns its index, or -1
    // (the starting point stays). Lines only ever grow at the end.
    int Expect(const std::vector<sim::Line>& lines, const std::string& text);
    // The first line after the previous match that contains text and no earlier expect
    // matched; -1 when there is none.
    int ExpectNot(const std::vector<sim::Line>& lines, const std::string& text) const;
    // Index of the last match; -1 before the first.
    int LastMatch() const { return static_cast<int>(from_) - 1; }
    // The scenario acted on the bridge (base, client, user) at this time. In real time the
    // bridge goes on between a match and the scenario's next action (keep-alives, repeated
    // alerts) by however long the driver took to get there; what an expect-not asks is what
    // followed the action.
    void Acted(double ms) { actedMs_ = ms; }

private:
    bool ReachesBack() const { return policy_.receiptLateMs >= 0; }
    bool Follows(const std::vector<sim::Line>& lines, std::size_t i) const;
    bool Contains(const std::vector<sim::Line>& lines, std::size_t i, const std::string& text) const;

    ExpectPolicy policy_;
    std::size_t from_ = 0;                     // one past the previous match
    mutable std::vector<std::string> forms_;   // each line in its policy form, when set
    mutable std::vector<bool> matched_;
    double actedMs_ = 0;
};

}  // namespace scn
