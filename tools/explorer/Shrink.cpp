#include "tools/explorer/Shrink.h"

#include <algorithm>

namespace explore {

namespace {

bool SameFailure(const Outcome& a, const Outcome& b) {
    return b.Failed() && b.status == a.status && b.rule == a.rule;
}

}  // namespace

Outcome Shrink(const Outcome& failing) {
    Outcome best = failing;
    // The lines after the one that failed never ran.
    std::size_t chunk = std::max<std::size_t>(best.lines.size() / 2, 1);
    while (true) {
        bool removed = false;
        for (std::size_t from = 0; from < best.lines.size();) {
            std::vector<std::string> trial = best.lines;
            const std::size_t to = std::min(trial.size(), from + chunk);
            trial.erase(trial.begin() + static_cast<std::ptrdiff_t>(from), trial.begin() + static_cast<std::ptrdiff_t>(to));
            Outcome outcome = Replay(trial);
            if (SameFailure(failing, outcome)) {
                best = std::move(outcome);
                removed = true;
            } else {
                from += chunk;
            }
        }
        if (chunk == 1 && !removed) break;
        if (!removed) chunk = std::max<std::size_t>(chunk / 2, 1);
    }
    return best;
}

std::string ScenarioText(const Outcome& outcome, const std::string& origin) {
    std::string text = "# " + origin + "\n# " + outcome.failure + "\n";
    for (const std::string& line : outcome.lines) text += line + "\n";
    return text;
}

}  // namespace explore
