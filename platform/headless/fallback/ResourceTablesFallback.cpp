// Empty resource tables, linked only while res/ResourceTables.cpp is not in the tree.
#include "res/ResourceTables.h"

namespace res {

const DialogTemplate* FindDialog(int id, Lang lang) {
    (void)id;
    (void)lang;
    return nullptr;
}

std::string FindString(int id, Lang lang) {
    (void)id;
    (void)lang;
    return std::string();
}

const std::vector<MenuItem>* FindMenu(int id, Lang lang) {
    (void)id;
    (void)lang;
    return nullptr;
}

std::vector<int> DialogIds() { return {}; }

}  // namespace res
