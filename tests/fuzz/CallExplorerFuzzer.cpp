// libFuzzer target: the call explorer steered by the input's bytes instead of a seed. Each
// input is one sequence of calls, handset actions, client and base comings and goings and
// time passing, played on the headless bridge under the call checker and closed by the
// probe that a new call still rings, is answered and is finished. A broken rule aborts
// with the sequence as a scenario file, so that bridger-sim replays it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tools/explorer/Explorer.h"
#include "tools/explorer/Shrink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    explore::ByteChoices choices(data, size);
    const explore::Outcome outcome = explore::Explore(choices);
    if (!outcome.Failed()) return 0;
    std::fputs(explore::ScenarioText(outcome, "Found by the call explorer's fuzz target").c_str(), stderr);
    std::abort();
}
