#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/explorer/CallSteps.h"
#include "tools/explorer/ContactSteps.h"
#include "tools/explorer/Family.h"
#include "tools/explorer/LinkSteps.h"
#include "tools/explorer/SettingsSteps.h"

namespace explore {

std::vector<std::unique_ptr<Family>> Families(const std::string& only) {
    std::vector<std::unique_ptr<Family>> families;
    auto add = [&](const char* name, std::unique_ptr<Family> family) {
        if (only.empty() || only == name) families.push_back(std::move(family));
    };
    add("calls", std::make_unique<CallSteps>());
    add("contacts", std::make_unique<ContactSteps>());
    add("link", std::make_unique<LinkSteps>());
    add("settings", std::make_unique<SettingsSteps>());
    return families;
}

}  // namespace explore
