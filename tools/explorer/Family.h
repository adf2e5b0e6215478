// A family of explored steps: one part of what the peers and the user may do (calls and
// handsets, the base's link, the settings page, the phone book). A sequence draws each step
// from a family picked by weight; before the closing probe every family makes its part quiet.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "tools/explorer/Sequence.h"

namespace explore {

class Family {
public:
    virtual ~Family() = default;
    // How often this family's steps are drawn, against the other families' weights.
    virtual unsigned Weight() const = 0;
    // The lines that set the family's part up before the first step (after the boot).
    virtual bool Boot(Sequence&) { return true; }
    // One random step: plays one or more lines; false once something failed.
    virtual bool Step(Sequence& s) = 0;
    // Makes its part quiet again, so that a new call can prove the bridge still works.
    virtual bool Quiesce(Sequence&) { return true; }
};

// Every family the explorer draws from, or only the one named (calls, contacts, link,
// settings); none for an unknown name.
std::vector<std::unique_ptr<Family>> Families(const std::string& only = std::string());

}  // namespace explore
