// The phone-book family of the explorer (see ContactSteps.cpp).
#pragma once
#include <string>
#include <vector>

#include "tools/explorer/Family.h"

namespace explore {

class ContactSteps : public Family {
public:
    unsigned Weight() const override { return 60; }
    bool Boot(Sequence& s) override;
    bool Step(Sequence& s) override;
    bool Quiesce(Sequence& s) override;

private:
    bool NewList(Sequence& s, bool announce);
    bool PresenceStep(Sequence& s);
    bool BuddyStep(Sequence& s);
    bool MenuStep(Sequence& s);
    bool HashEntryStep(Sequence& s);
    bool ClientStep(Sequence& s);
    std::string SomeHandle(Sequence& s);

    std::vector<std::string> handles_;  // the client's contacts as it last listed them
};

}  // namespace explore
