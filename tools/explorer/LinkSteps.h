// The link family of the explorer (see LinkSteps.cpp).
#pragma once
#include "tools/explorer/Family.h"

namespace explore {

class LinkSteps : public Family {
public:
    unsigned Weight() const override { return 40; }
    bool Step(Sequence& s) override;
    bool Quiesce(Sequence& s) override;
};

}  // namespace explore
