// The calls family of the explorer (see CallSteps.cpp).
#pragma once
#include "tools/explorer/Family.h"

namespace explore {

class CallSteps : public Family {
public:
    unsigned Weight() const override { return 100; }
    bool Step(Sequence& s) override;
    bool Quiesce(Sequence& s) override;
};

}  // namespace explore
