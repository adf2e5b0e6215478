// String-table texts in the language the simulated user chose.
#pragma once
#include <string>

#include "platform/Resources.h"
#include "res/ResourceTables.h"

namespace sim {

class HeadlessResources : public plat::Resources {
public:
    explicit HeadlessResources(res::Lang lang) : lang_(lang) {}
    std::string LoadString(int id) override { return res::FindString(id, lang_); }

private:
    res::Lang lang_;
};

}  // namespace sim
