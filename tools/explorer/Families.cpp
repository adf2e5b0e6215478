#include <memory>
#include <vector>

#include "tools/explorer/CallSteps.h"
#include "tools/explorer/ContactSteps.h"
#include "tools/explorer/Family.h"
#include "tools/explorer/LinkSteps.h"
#include "tools/explorer/SettingsSteps.h"

namespace explore {

std::vector<std::unique_ptr<Family>> Families() {
    std::vector<std::unique_ptr<Family>> families;
    families.push_back(std::make_unique<CallSteps>());
    families.push_back(std::make_unique<ContactSteps>());
    families.push_back(std::make_unique<LinkSteps>());
    families.push_back(std::make_unique<SettingsSteps>());
    return families;
}

}  // namespace explore
