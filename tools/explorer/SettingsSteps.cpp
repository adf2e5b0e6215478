// The settings family: the user on the options sheet's settings page at any moment. Opens
// and closes the sheet, picks an action (delete all, delete one handset, paging, loopback,
// version) and presses OK, presses Register or All Reset, whatever the bridge is doing.
#include "tools/explorer/SettingsSteps.h"

#include <string>

#include "tools/world/Harness.h"
#include "res/resource.h"
#include "tools/sim/Checker.h"

namespace explore {

namespace {

const char* const kPage = "options";
const int kActions[] = {IDC_DELETE_ALL, IDC_DELETE_ONE, IDC_PAGING, IDC_LOOPBACK, IDC_GET_VERSION};
const int kHandsetChoices = 4;  // the page lists handsets 1 to 4
const unsigned kRuns[] = {100, 200, 500, 1000, 2500};

std::string Control(const char* verb, int control) {
    return std::string("ui ") + verb + " " + kPage + " " + std::to_string(control);
}

bool Press(Sequence& s, int control) {
    if (!s.Play().Harness().View().Usable(control)) return s.Play("run 200");
    return s.Play(Control("click", control));
}

bool Request(Sequence& s) {
    Choices& c = s.Choose();
    const int action = PickOf(c, kActions);
    if (!s.Play().Harness().View().Usable(action)) return s.Play("run 200");
    if (!s.Play(Control("check", action))) return false;
    if (action == IDC_DELETE_ONE &&
        !s.Play(Control("select", IDC_HANDSET_LIST) + " " + std::to_string(c.Pick(kHandsetChoices))))
        return false;
    return Press(s, IDC_EXECUTE);
}

}  // namespace

bool SettingsSteps::Step(Sequence& s) {
    Choices& c = s.Choose();
    if (!s.Play().Harness().View().SettingsOpen()) {
        if (c.Chance(50)) return s.Play("run " + std::to_string(PickOf(c, kRuns)));
        return s.Play("ui command " + std::to_string(ID_TRAY_OPTIONS)) && s.Play("run 200");
    }
    switch (c.Pick(8)) {
        case 0: return s.Play(std::string("ui close ") + kPage);
        case 1: case 2: case 3: return Request(s);
        case 4: return Press(s, IDC_REGISTER);
        case 5: return Press(s, IDC_ALL_RESET);
        default: return s.Play("run " + std::to_string(PickOf(c, kRuns)));
    }
}

// Every request over (All Reset's chain is the longest) and the sheet closed.
bool SettingsSteps::Quiesce(Sequence& s) {
    if (!s.Play("run 7000")) return false;
    if (s.Play().Harness().View().SettingsOpen() && !s.Play(std::string("ui close ") + kPage)) return false;
    return true;
}

}  // namespace explore
