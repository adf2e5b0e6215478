// The explorer: plays random but reproducible sequences of what the handsets, the base, the
// client and the user may do on the headless bridge under the rule checkers, drawing each
// step from one of its families, then makes everything quiet and proves that a new call
// still rings, is answered and is finished.
#pragma once
#include "tools/explorer/Choices.h"
#include "tools/explorer/Player.h"
#include "tools/explorer/Sequence.h"

namespace explore {

Outcome Explore(Choices& choices, const Limits& limits = {});

}  // namespace explore
