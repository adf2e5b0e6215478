// String-table texts from the executable's resources.
#pragma once
#include "platform/Resources.h"
#include "platform/win32/Win32Api.h"

namespace win32 {

// The system chooses the table of the user's UI language among the executable's.
class Win32Resources : public plat::Resources {
public:
    explicit Win32Resources(HINSTANCE instance) : instance_(instance) {}
    std::string LoadString(int id) override;

private:
    HINSTANCE instance_;
};

}  // namespace win32
