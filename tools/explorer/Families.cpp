#include <memory>
#include <vector>

#include "tools/explorer/CallSteps.h"
#include "tools/explorer/ContactSteps.h"
#include "tools/explorer/Family.h"

namespace explore {

std::vector<std::unique_ptr<Family>> Families() {
    std::vector<std::unique_ptr<Family>> families;
    families.push_back(std::make_unique<CallSteps>());
    families.push_back(std::make_unique<ContactSteps>());
    return families;
}

}  // namespace explore
