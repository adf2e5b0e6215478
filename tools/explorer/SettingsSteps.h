// The settings family of the explorer (see SettingsSteps.cpp).
#pragma once
#include "tools/explorer/Family.h"

namespace explore {

class SettingsSteps : public Family {
public:
    unsigned Weight() const override { return 30; }
    bool Step(Sequence& s) override;
    bool Quiesce(Sequence& s) override;
};

}  // namespace explore
