// String-table texts in the user's UI language.
#pragma once
#include <string>

namespace plat {

class Resources {
public:
    virtual ~Resources() = default;
    // UTF-8, as the program's other own texts; empty when the id has no text in the table.
    virtual std::string LoadString(int id) = 0;
};

}  // namespace plat
