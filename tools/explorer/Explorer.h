// The call explorer: plays random but reproducible sequences of what the handsets, the base
// and the client may do (up to three calls in both directions, statuses in any order, late
// or missing replies, two or three handsets, the client and the base going and coming back,
// time passing) on the headless bridge under the call checker, then makes everything quiet
// and proves that a new call still rings, is answered and is finished.
#pragma once
#include "tools/explorer/Choices.h"
#include "tools/explorer/Player.h"

namespace explore {

struct Limits {
    int maxSteps = 40;   // random steps before the closing probe
    int maxCalls = 3;    // call ids the client uses (incoming, placed and its own)
    int handsets = 3;    // handsets 1 .. this many act
};

Outcome Explore(Choices& choices, const Limits& limits = {});

}  // namespace explore
